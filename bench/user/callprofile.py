"""Where one action's time goes: the program under callgrind, its counters set to zero just before
the click and written out once the program is quiet again (for start-up: from exec until the first
frame is up and the program idle); prints the functions that executed the most instructions, by their
own code and with what they call. Instrumented throughout, so that its idle level, which tells when
it is quiet, stays the same."""

import glob
import os
import re
import shutil
import subprocess
import tempfile

from lists import Program, groups_of, names_of
from startup import VALGRIND_WINDOW, Kind, Start
from userwait import Failure, calibrate_idle

ACTIONS = ("startup", "root", "group", "sort", "expand", "group1k", "card")
# The small clicks run on groups of 1,000 (the 10,000-contact database), the others on 100,000.
SMALL = ("group1k", "card")


def control(pid, *args):
    done = subprocess.run(["callgrind_control", *args, str(pid)], capture_output=True, text=True, timeout=300)
    if done.returncode != 0:
        raise Failure("callgrind_control %s: %s" % (" ".join(args), done.stderr.strip()))


def profile_startup(session, app, out, log):
    kind = Kind("program", [os.path.join(app, "mivo")], "Mivo V2.2", cwd=app)
    # The idle level under callgrind first, then a start ended once quiet.
    start = Start(session, kind, ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out + ".idle"])
    start.wait_mapped(600)
    idle = calibrate_idle(start.cpu, seconds=2.0, busy=0.2e9, timeout=600)
    start.end()
    start = Start(session, kind, ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out])
    try:
        end = start.first_quiet(VALGRIND_WINDOW, idle, 5e6, 600)
    finally:
        start.end()
    log("start-up under callgrind: %.0f ms CPU" % (end.total / 1e6))


def profile_click(session, app, database, shots, action, out, log):
    """Returns the profile of the click alone."""
    groups = groups_of(database)
    full = [i + 1 for i, (_, n) in enumerate(groups) if n > 0]
    log("starting the program under callgrind")
    program = Program(session, app, shots, ["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out],
                      window=VALGRIND_WINDOW)
    try:
        program.open_addressbook(len(groups))
        lay = program.layout
        # The root's list is shown now; each action starts from where a user would.
        if action == "root":
            program.click(lay.group(full[0]))
        if action == "card":
            # The last group's names below every group; expanding selects it and lists it. As in
            # the benchmark's rounds, a card was shown before: its second name, then its list again;
            # then its first name is opened.
            if len(names_of(database, groups[full[-1] - 1][0])) < 2:
                raise Failure("the last group has fewer than two names")
            program.click(lay.handle(full[-1]))
            program.click(lay.member(full[-1] + 2))
            program.click(lay.group(full[-1]))
        target = {"root": lay.root(), "group": lay.group(full[0]), "sort": lay.name_header(),
                  "expand": lay.handle(full[-1]), "group1k": lay.group(full[0]),
                  "card": lay.member(full[-1] + 1)}[action]
        pid = program.process.pid
        cpu, _ = program.click(target, armed=lambda: control(pid, "--zero"))
        control(pid, "--dump")
        log("%s under callgrind: %.0f ms CPU" % (action, cpu / 1e6))
    finally:
        program.end()
    dumps = sorted(glob.glob(out + ".*"), key=os.path.getmtime)
    if not dumps:
        raise Failure("callgrind wrote no profile of the click")
    return dumps[-1]


def share(line):
    """The percentage a callgrind_annotate line gives, or 0."""
    m = re.search(r"\(\s*([\d.]+)%\)", line)
    return float(m.group(1)) if m else 0.0


def profile(session, app, database, shots, action, log, top=25, keep=None):
    """`app` and `database`: those of 100,000 contacts, or of 10,000 for the actions in SMALL.
    `keep`: a folder the profile is copied to (callgrind-ACTION.out), for callgrind_annotate."""
    if action not in ACTIONS:
        raise Failure("no action %r to profile (%s)" % (action, ", ".join(ACTIONS)))
    folder = tempfile.mkdtemp(prefix="mivo-profile-")
    out = os.path.join(folder, "callgrind.out")
    if action == "startup":
        profile_startup(session, app, out, log)
    else:
        out = profile_click(session, app, database, shots, action, out, log)
    if keep:
        shutil.copy(out, os.path.join(keep, "callgrind-%s.out" % action))
    report = []
    for inclusive in ("no", "yes"):
        done = subprocess.run(["callgrind_annotate", "--inclusive=" + inclusive, "--threshold=100", out],
                              capture_output=True, text=True, timeout=600)
        lines = done.stdout.splitlines()
        at = next((i for i, line in enumerate(lines) if "file:function" in line), None)
        total = next((line for line in lines if line.strip().endswith("PROGRAM TOTALS")), "")
        report.append("%s (%s)" % ("by their own code" if inclusive == "no" else "with what they call", total.strip()))
        # The event loop's frames, which hold nearly everything, say nothing.
        rows = [line for line in (lines[at + 2:] if at is not None else lines) if share(line) < 95]
        report += rows[:top if inclusive == "no" else 2 * top]
        report.append("")
    shutil.rmtree(folder, ignore_errors=True)
    return "\n".join(report)
