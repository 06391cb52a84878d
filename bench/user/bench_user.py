#!/usr/bin/python3
"""What the user waits for, measured on the real program (a Release build) under X: start-up against
a bare window, and the address book's lists and tree against SQLite stepping the same statements.
Prints one table: each action, today's figure, the goal. bench/user/run.sh builds and runs it.

Needs Xvfb, trayer, xdotool, imagemagick, x11-utils and valgrind; the e2e helpers of tests/e2e.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tests", "e2e"))

import mivoe2e  # noqa: E402  the X session every run of the real program uses
from lists import Baseline, ListsBench  # noqa: E402
from callprofile import ACTIONS, SMALL, profile  # noqa: E402
from startup import StartupBench, kinds  # noqa: E402
from table import Figures, table  # noqa: E402
from userwait import Failure  # noqa: E402

# The program's window at 96 dpi: the bare windows get the same size.
WINDOW = (793, 552)
DATABASES = {
    # name: contacts, groups, notes, ledger entries
    "100k": (100000, 10, 5000, 100000),
    "10k": (10000, 10, 0, 0),
    "300k": (300000, 10, 0, 0),
}


def log(message):
    print(message, flush=True)


def make_database(tool, path, contacts, groups, notes, ledger):
    argv = [tool, "make", path, "--contacts", str(contacts), "--groups", str(groups)]
    if notes:
        argv += ["--notes", str(notes), "--note-bytes", "2000"]
    if ledger:
        argv += ["--ledger", str(ledger)]
    subprocess.run(argv, check=True, stdout=subprocess.DEVNULL)


def make_app(runtime, folder, database):
    """A copy of the runtime folder with the database as mivo.mdb."""
    shutil.copytree(runtime, folder, ignore=shutil.ignore_patterns("mivo.mdb", "client.ini"))
    shutil.copy(database, os.path.join(folder, "mivo.mdb"))
    return folder


def statement(tool, view):
    return subprocess.run([tool, "sql", view], check=True, capture_output=True, text=True).stdout.strip()


def run_startup(session, args, tools, app, figures):
    bench = StartupBench(session, kinds(tools["bench_bare_window"], app, WINDOW), log)
    bench.calibrate()
    results = bench.run(args.rounds, args.instruction_rounds)
    figures.startup(results)


def baselines(tools, databases):
    """name -> Baseline of that database."""
    sql = {v: statement(tools["bench_user_data"], v) for v in ("dw_telall", "ds_xingm0", "dw_telper")}

    def baseline(name):
        pragmas = subprocess.run([tools["bench_user_data"], "pragmas", databases[name]], check=True, capture_output=True,
                                 text=True).stdout.strip()
        return Baseline(tools["bench_sqlite_steps"], databases[name], sql, pragmas)
    return baseline


def run_lists(session, args, tools, apps, databases, shots, figures):
    baseline = baselines(tools, databases)
    r = args.rounds

    log("the program's connection: %s" % baseline("100k").pragmas)
    bench = ListsBench(session, apps["100k"], baseline("100k"), shots, log)
    bench.start()
    bench.program.shot("root-100k")
    figures.action("group", bench.click_groups(r))
    figures.action("root100k", bench.click_root(r))
    figures.action("sort", bench.sort_by_name(r))
    bench.program.shot("sorted")
    bench.stop()
    figures.action("expand", bench.expand_groups(r))

    for name, key in (("10k", "root10k"), ("300k", "root300k")):
        bench = ListsBench(session, apps[name], baseline(name), shots, log)
        bench.start()
        figures.action(key, bench.click_root(r))
        if name == "10k":
            run_small(bench, r, figures)
        bench.stop()


def run_small(bench, rounds, figures):
    """Groups of 1,000 (the 10,000-contact database): a group's list and a card, against one frame."""
    figures.action("group1k", bench.click_groups(rounds))
    figures.action("card", bench.open_cards(rounds))
    bench.program.shot("card")


def run_memory(tools, figures):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    done = subprocess.run([tools["bench_views"], "100000", "10"], env=env, capture_output=True, text=True, timeout=1800)
    if done.returncode != 0:
        raise Failure("bench_views: %s" % done.stderr.strip())
    figures.memory(done.stdout)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="the Release build folder (build/bench)")
    parser.add_argument("--rounds", type=int, default=15, help="rounds of every CPU measurement (default 15)")
    parser.add_argument("--instruction-rounds", type=int, default=15,
                        help="rounds of start-up under callgrind (default 15; 0 leaves it out)")
    parser.add_argument("--only", default="startup,lists,memory", help="a comma-separated choice of startup, lists, memory; or, of the "
                        "lists alone, small (the group of 1,000 and the card) and expand (a group of 10,000)")
    parser.add_argument("--keep", help="keep the databases, the screenshots and the figures in this folder")
    parser.add_argument("--profile", choices=ACTIONS,
                        help="instead of the table: where one action spends its instructions (on 100,000 contacts; "
                             "group1k and card on 10,000)")
    args = parser.parse_args()
    only = {"profile"} if args.profile else set(args.only.split(","))

    tools = {name: os.path.join(args.build, "bench", name)
             for name in ("bench_user_data", "bench_bare_window", "bench_sqlite_steps", "bench_views")}
    runtime = os.path.join(args.build, "bin")
    work = args.keep or tempfile.mkdtemp(prefix="mivo-bench-user-")
    os.makedirs(work, exist_ok=True)
    shots = os.path.join(work, "screenshots")
    os.makedirs(shots, exist_ok=True)
    figures = Figures()
    started = time.monotonic()

    session = mivoe2e.Session(shots)
    databases, apps = {}, {}
    try:
        mivoe2e.check_tools()
        if shutil.which("valgrind") is None and args.instruction_rounds and "startup" in only:
            raise Failure("valgrind is missing (scripts/packages.sh lists it)")
        wanted = {"startup": ["100k"], "lists": list(DATABASES), "small": ["10k"], "expand": ["100k"], "profile": ["10k" if args.profile in SMALL else "100k"]}
        for name in sorted({d for part in only for d in wanted.get(part, [])}):
            databases[name] = os.path.join(work, "contacts-%s.mdb" % name)
            if not os.path.exists(databases[name]):
                log("generating the %s database" % name)
                make_database(tools["bench_user_data"], databases[name], *DATABASES[name])
            apps[name] = make_app(runtime, tempfile.mkdtemp(prefix="mivo-app-%s-" % name) + "/app", databases[name])
        if "memory" in only:
            log("store memory (bench_views)")
            run_memory(tools, figures)
        if only & {"startup", "lists", "small", "expand", "profile"}:
            session.start_x()
            mivoe2e.start_tray_host(session)
        if args.profile:
            name = "10k" if args.profile in SMALL else "100k"
            print(profile(session, apps[name], databases[name], shots, args.profile, log, keep=args.keep))
            return 0
        if "startup" in only:
            run_startup(session, args, tools, apps["100k"], figures)
        if "lists" in only:
            run_lists(session, args, tools, apps, databases, shots, figures)
        else:
            # Parts of the lists alone: the small clicks, the first expansion of a group of 10,000.
            for part, name in (("small", "10k"), ("expand", "100k")):
                if part not in only:
                    continue
                bench = ListsBench(session, apps[name], baselines(tools, databases)(name), shots, log)
                try:
                    if part == "small":
                        bench.start()
                        run_small(bench, args.rounds, figures)
                    else:
                        figures.action("expand", bench.expand_groups(args.rounds))
                finally:
                    bench.stop()
    except (Failure, mivoe2e.Failure) as failure:
        log("FAILED: %s" % failure)
        session.failed()
        return 1
    finally:
        session.stop_all()
        for app in apps.values():
            shutil.rmtree(os.path.dirname(app), ignore_errors=True)

    text = table(figures)
    print()
    print(text)
    log("\n(measured in %.0f minutes; screenshots in %s)" % ((time.monotonic() - started) / 60, shots))
    if args.keep:
        with open(os.path.join(work, "figures.md"), "w") as f:
            f.write(text + "\n")
    else:
        shutil.rmtree(work, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
