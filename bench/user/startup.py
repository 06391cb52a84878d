"""Start-up: what a process costs from exec until its first frame is up and it is idle, for the bare
window, the bare window with one line of Chinese text and the program on a filled database.

Each start is a fresh process on the X server. The first frame is up once the window is mapped
(xdotool finds it visible) and the main thread has fallen quiet after that (userwait.Quiet: no more
CPU than the program's moving banner uses when idle). The figures are the CPU time of the main
thread and of all of the process's threads at the start of that quiet window, read from
/proc/<pid>/task/*/schedstat.

Instructions come from valgrind's callgrind (the hardware counters `perf stat` reads are not
available everywhere, this machine included): the same start under callgrind, ended by SIGTERM
once quiet, whose profiles (one a thread, the main thread's first) hold every instruction executed.
The instructions the idle banner ran
between the start of the quiet window and the end are taken off, at the rate a calibration run
measured (the bare windows run nothing when idle).
"""

import glob
import os
import re
import shutil
import signal
import subprocess
import tempfile
import threading
import time

from userwait import Cpu, Failure, Quiet, calibrate_idle, wait_quiet

# Quiet windows: short natively, longer under valgrind, which is some fifty times slower.
NATIVE_WINDOW, VALGRIND_WINDOW = 0.3, 1.0


class Kind:
    def __init__(self, name, argv, title, cwd=None):
        self.name = name
        self.argv = argv
        self.title = title
        self.cwd = cwd


def kinds(bare_window, app, size):
    w, h = str(size[0]), str(size[1])
    return [
        Kind("bare window", [bare_window, w, h], "bare window"),
        Kind("bare window with Chinese text", [bare_window, w, h, "--caption"], "bare caption"),
        Kind("program", [os.path.join(app, "mivo")], "Mivo V2.2", cwd=app),
    ]


class MapWatch(threading.Thread):
    """Notes when a window of the title first shows on the screen."""

    def __init__(self, session, title):
        super().__init__(daemon=True)
        self.session = session
        self.pattern = "^%s$" % re.escape(title)
        self.mapped_at = None
        self.stop = False

    def run(self):
        while not self.stop and self.mapped_at is None:
            if self.session.x("xdotool", "search", "--onlyvisible", "--name", self.pattern):
                self.mapped_at = time.monotonic()
            else:
                time.sleep(0.02)


class Start:
    """One start of one kind: the process, its CPU and where its first quiet window began."""

    def __init__(self, session, kind, prefix=()):
        self.session = session
        self.kind = kind
        self.t0 = time.monotonic()
        self.process = subprocess.Popen(list(prefix) + kind.argv, cwd=kind.cwd, env=session.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.cpu = Cpu(self.process.pid)
        self.watch = MapWatch(session, kind.title)
        self.watch.start()

    def wait_mapped(self, timeout):
        deadline = time.monotonic() + timeout
        while self.watch.mapped_at is None:
            # Read meanwhile too: a worker that ends before the first frame still counts.
            try:
                self.cpu.total()
            except OSError:
                pass  # not started yet, or ended: said below
            if self.process.poll() is not None:
                raise Failure("%s ended with status %d before showing" % (self.kind.name, self.process.returncode))
            if time.monotonic() > deadline:
                raise Failure("%s showed no window within %.0f s" % (self.kind.name, timeout))
            time.sleep(0.01)
        return self.watch.mapped_at

    def first_quiet(self, window, idle_rate, floor, timeout):
        """The sample at which the process fell quiet after its window was mapped."""
        mapped = self.wait_mapped(timeout)
        return wait_quiet(self.cpu, Quiet(window, 2 * idle_rate + 1e6, floor), timeout, since=mapped)

    def end(self):
        self.watch.stop = True
        if self.process.poll() is None:
            self.process.send_signal(signal.SIGTERM)
        try:
            self.process.wait(30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        return time.monotonic()


def instructions(profile):
    """The instruction count a callgrind profile reports."""
    with open(profile) as f:
        for line in f:
            if line.startswith(("totals:", "summary:")):
                return int(line.split()[1])
    raise Failure("no totals in %s" % profile)


def thread_instructions(profile):
    """The instructions of the main thread and of all threads, from the profiles callgrind's
    --separate-threads writes beside `profile`, one a thread numbered from 01, the main thread."""
    files = glob.glob(glob.escape(profile) + "-[0-9]*")
    if not files:
        raise Failure("callgrind wrote no profile beside %s" % profile)
    counts = {f: instructions(f) for f in files}
    main = counts.get(profile + "-01")
    if main is None:
        raise Failure("no profile of the main thread beside %s" % profile)
    return main, sum(counts.values())


class StartupBench:
    def __init__(self, session, kinds_, log):
        self.session = session
        self.kinds = kinds_
        self.log = log
        self.idle = {}       # kind name -> main thread's idle CPU, ns per second
        self.idle_vg = {}    # the same under valgrind
        self.idle_ir = {}    # instructions per second the idle process runs under callgrind
        self.profiles = tempfile.mkdtemp(prefix="mivo-callgrind-")

    # ---- calibration

    def calibrate(self):
        """Each kind's idle level natively; the program's also under callgrind, with its instruction
        rate. The bare windows run nothing when idle."""
        for kind in self.kinds:
            start = Start(self.session, kind)
            start.wait_mapped(60)
            self.idle[kind.name] = calibrate_idle(start.cpu)
            start.end()
            self.log("idle %s: %.2f ms CPU per second" % (kind.name, self.idle[kind.name] / 1e6))
        for kind in self.kinds:
            self.idle_ir[kind.name] = 0.0
            self.idle_vg[kind.name] = 0.0
        program = self.kinds[-1]
        profile = os.path.join(self.profiles, "calibration.out")
        start = Start(self.session, program, self.callgrind(profile))
        start.wait_mapped(300)
        self.idle_vg[program.name] = calibrate_idle(start.cpu, seconds=2.0, busy=0.2e9, timeout=300)
        # A dump now, then the idle run alone until the end.
        subprocess.run(["callgrind_control", "--dump", str(start.process.pid)], capture_output=True, timeout=60)
        dumped = self.wait_for_file(profile + ".1", 60)
        time.sleep(8)
        ended = start.end()
        self.idle_ir[program.name] = instructions(profile) / (ended - dumped)
        self.log("idle %s under callgrind: %.1f ms CPU and %.2f million instructions per second"
                 % (program.name, self.idle_vg[program.name] / 1e6, self.idle_ir[program.name] / 1e6))

    @staticmethod
    def wait_for_file(path, timeout):
        deadline = time.monotonic() + timeout
        while not os.path.exists(path):
            if time.monotonic() > deadline:
                raise Failure("callgrind wrote no %s" % path)
            time.sleep(0.02)
        return time.monotonic()

    @staticmethod
    def callgrind(profile):
        return ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + profile]

    # ---- measurements

    def cpu_once(self, kind):
        """CPU nanoseconds of all threads and of the main thread, and wall seconds, of one start."""
        start = Start(self.session, kind)
        try:
            end = start.first_quiet(NATIVE_WINDOW, self.idle[kind.name], 1e6, 120)
        finally:
            start.end()
        return end.total, end.main, end.t - start.t0

    def instructions_once(self, kind, index):
        """Instructions of all threads and of the main thread, less the idle banner's (which runs on
        the main thread) after the work ended."""
        profile = os.path.join(self.profiles, "%s-%d.out" % (kind.name.replace(" ", "-"), index))
        start = Start(self.session, kind, self.callgrind(profile) + ["--separate-threads=yes"])
        try:
            end = start.first_quiet(VALGRIND_WINDOW, self.idle_vg[kind.name], 5e6, 600)
        finally:
            ended = start.end()
        main, total = thread_instructions(profile)
        idle = self.idle_ir[kind.name] * (ended - end.t)
        for f in glob.glob(glob.escape(profile) + "*"):
            os.remove(f)
        return total - idle, main - idle

    def run(self, rounds, instruction_rounds):
        """Per kind, for all threads and the main thread: CPU ns, wall s and instructions, one of each
        per round; the kinds take turns."""
        results = {k.name: {"cpu": [], "main": [], "wall": [], "ir": [], "ir_main": []} for k in self.kinds}
        for kind in self.kinds:
            self.cpu_once(kind)   # the system's caches warm up; not counted
        for r in range(rounds):
            for kind in self.kinds:
                cpu, main, wall = self.cpu_once(kind)
                results[kind.name]["cpu"].append(cpu)
                results[kind.name]["main"].append(main)
                results[kind.name]["wall"].append(wall)
            self.log("start-up round %d/%d, main thread (all threads): %s" % (r + 1, rounds, ", ".join(
                "%.1f (%.1f) ms" % (results[k.name]["main"][-1] / 1e6, results[k.name]["cpu"][-1] / 1e6)
                for k in self.kinds)))
        for r in range(instruction_rounds):
            for kind in self.kinds:
                total, main = self.instructions_once(kind, r)
                results[kind.name]["ir"].append(total)
                results[kind.name]["ir_main"].append(main)
            self.log("instructions round %d/%d, main thread (all threads): %s" % (r + 1, instruction_rounds, ", ".join(
                "%.1f (%.1f) M" % (results[k.name]["ir_main"][-1] / 1e6, results[k.name]["ir"][-1] / 1e6)
                for k in self.kinds)))
        shutil.rmtree(self.profiles, ignore_errors=True)
        return results
