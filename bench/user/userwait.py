"""A process measured from outside, as its user waits for it: its CPU time read from /proc, and the
moment its main thread falls quiet again.

Quiet means: over a window of `window` seconds the main thread used no more CPU than `rate`
nanoseconds per second plus `floor` nanoseconds. An idle event loop that serves only a periodic
timer (the program's moving banner) stays under that; a thread that is working, even one the
scheduler starves on a loaded machine, does not. The work ended where the first quiet window began,
and what the process used until then is the figure.
"""

import os
import statistics
import time
from collections import namedtuple

# One reading: monotonic seconds, the main thread's CPU and the whole process's CPU, in nanoseconds.
Sample = namedtuple("Sample", "t main total")


class Failure(Exception):
    pass


def _on_cpu_ns(path):
    # The first field of schedstat: time spent on a CPU, in nanoseconds (finer than stat's ticks).
    with open(path) as f:
        return int(f.read().split()[0])


class Cpu:
    """The CPU time of a running process, read from /proc."""

    def __init__(self, pid):
        self.pid = pid
        self.threads = {}  # thread id -> its CPU at the last reading

    def main(self):
        return _on_cpu_ns("/proc/%d/schedstat" % self.pid)

    def total(self):
        """All threads', a thread that has ended (a worker done) counted with its last reading."""
        for tid in os.listdir("/proc/%d/task" % self.pid):
            try:
                self.threads[tid] = _on_cpu_ns("/proc/%d/task/%s/schedstat" % (self.pid, tid))
            except (OSError, ValueError, IndexError):
                pass  # a thread that ended meanwhile
        return sum(self.threads.values())

    def sample(self):
        return Sample(time.monotonic(), self.main(), self.total())

    def rate(self, seconds):
        """The main thread's CPU in nanoseconds per second over the next `seconds`."""
        first = self.sample()
        time.sleep(seconds)
        last = self.sample()
        return (last.main - first.main) / (last.t - first.t)


class Quiet:
    """Fed samples in time order, says where the first quiet window began."""

    def __init__(self, window, rate, floor):
        self.window = window
        self.rate = rate
        self.floor = floor
        self.samples = []

    def feed(self, sample):
        """The sample that began a quiet window ending at `sample`, or None while there is none."""
        self.samples.append(sample)
        # The latest sample at least a window before this one starts the window to look at.
        start = None
        while len(self.samples) >= 2 and sample.t - self.samples[1].t >= self.window:
            self.samples.pop(0)
        if sample.t - self.samples[0].t >= self.window:
            start = self.samples[0]
        if start is None:
            return None
        allowed = self.rate * (sample.t - start.t) + self.floor
        return start if sample.main - start.main <= allowed else None


def wait_quiet(cpu, quiet, timeout, since=0.0, started=None, start_timeout=10.0, poll=0.01):
    """Samples `cpu` until `quiet` finds a quiet window that begins at or after `since`; returns its
    first sample. `started`, when given, is a test on each sample that must hold once before quiet
    counts: the work has begun (a click takes a moment to reach the program, and a click that did
    nothing must not pass for a quick one)."""
    now = time.monotonic()
    deadline, start_deadline = now + timeout, now + start_timeout
    begun = started is None
    while True:
        sample = cpu.sample()
        if not begun:
            begun = started(sample)
            if not begun and sample.t > start_deadline:
                raise Failure("nothing happened within %.0f s" % start_timeout)
        if begun and sample.t >= since:
            end = quiet.feed(sample)
            if end is not None:
                return end
        if sample.t > deadline:
            raise Failure("still busy after %.0f s" % timeout)
        time.sleep(poll)


def calibrate_idle(cpu, seconds=1.0, busy=0.1e9, timeout=60.0):
    """The main thread's CPU per second once it idles: two windows in a row that agree, each below
    `busy` (a tenth of a core). The smaller of the two."""
    deadline = time.monotonic() + timeout
    previous = cpu.rate(seconds)
    while True:
        rate = cpu.rate(seconds)
        if rate < busy and previous < busy and abs(rate - previous) <= 0.3 * max(rate, previous) + 0.5e6:
            return min(rate, previous)
        if time.monotonic() > deadline:
            raise Failure("never idle: %.1f ms/s" % (rate / 1e6))
        previous = rate


# ---- figures

def median(values):
    return statistics.median(values)


def per_round_ratios(numerators, denominators):
    """Each round's ratio: both sides of a round ran back to back, under the same load."""
    if len(numerators) != len(denominators) or not numerators:
        raise ValueError("rounds differ: %d against %d" % (len(numerators), len(denominators)))
    return [a / b for a, b in zip(numerators, denominators)]


def quartiles(values):
    """The lower and upper quartile (the middle half of the rounds lies between them)."""
    if len(values) < 2:
        return values[0], values[0]
    q = statistics.quantiles(values, n=4, method="inclusive")
    return q[0], q[2]


def describe(values, unit="", scale=1.0, digits=1):
    """'median (quartiles lower-upper, all min-max), n' of a list of figures."""
    v = [x * scale for x in values]
    low, high = quartiles(v)
    f = "%%.%df" % digits
    return ("%s%s (middle half %s-%s, all %s-%s, n=%d)"
            % (f % median(v), unit, f % low, f % high, f % min(v), f % max(v), len(v)))
