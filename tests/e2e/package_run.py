#!/usr/bin/python3
"""The program as a desktop user gets it: a Debian package, installed, started by an ordinary user.

Builds the package from the Release build with `./run.sh --package` and checks it: lintian finds no
error and no warning that the README does not explain; the desktop entry and the AppStream metadata
pass their validators; the dependencies hold the libraries found and those loaded at run time.
Installs it with apt-get, makes a user with a fresh home folder, and starts `mivo` from that user's
PATH on a real X server with a tray host:
1. the first start shows the window and makes ~/.local/share/mivo/mivo.mdb, which the program has open;
   a contact added on the address book lands in that file;
2. a second start keeps it; the settings saved on the settings page land in client.ini beside it, the
   start entry names the installed program, and a backup with no folder chosen lands beside it too;
3. removing the package leaves the user's folder as it was; installed again, the program opens it;
4. with mivo.mdb deleted, a start shows "001", ends, and makes no new file.
What it installed and the user it made are removed at the end, also when it fails; a run that was
killed before it could is cleaned up by the next.
"""

import argparse
import contextlib
import fcntl
import glob
import hashlib
import json
import os
import pwd
import re
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

from mivoe2e import (TITLE, Failure, check_tools, clean_screenshots, end_with_exit_item, item_point, log,
                     snapshot, wait_for, x_session)

SKIPPED = 77
STATE = "/var/tmp/mivo-package-run.json"
LOCK = "/var/tmp/mivo-package-run.lock"
RUN_TIME_DEPENDENCIES = ["libqt6sql6-sqlite", "qt6-qpa-plugins", "qt6-translations-l10n", "libqt6svg6",
                         "fonts-wqy-microhei | fonts-noto-cjk"]
APP_ID = "org.mivo.Mivo"
# The address book's tree: its first row (the root) from the window's top-left corner, as on the
# assets page (both are one group-tree page).
ROOT_ROW = (111 + 60, 3 + 28 + 10)
# The settings page's General tab: "随 Windows 一起启动" and "启动时窗口最大化", 80 layout units right
# of the page's left edge (17 pixels; the text begins after the box), 60 and 180 units below its top.
START_WITH_SYSTEM = (112 + 2 + 17 + 30, 3 + 27 + 25)
START_MAXIMIZED = (112 + 2 + 17 + 30, 3 + 27 + 55)
# The settings page's second tab, "备份", in its tab bar (the export tab between them is hidden).
BACKUP_TAB = (220, 17)
CONTACT = "Wang Wu"


def command(argv, log_path=None, check=True, **kwargs):
    """Runs a command; its output goes to `log_path` (appended) and, on a failure, into the Failure."""
    done = subprocess.run(argv, capture_output=True, text=True, **kwargs)
    if log_path:
        with open(log_path, "a", encoding="utf-8") as f:
            f.write("$ %s\n%s%s\n" % (" ".join(argv), done.stdout, done.stderr))
    if check and done.returncode != 0:
        raise Failure("%s ended with status %d:\n%s" % (argv[0], done.returncode,
                                                        "\n".join((done.stdout + done.stderr).splitlines()[-30:])))
    return done


def installed_packages():
    out = command(["dpkg-query", "-W", "-f", "${Package}\t${db:Status-Abbrev}\n"]).stdout
    return {p for p, status in (line.split("\t") for line in out.splitlines()) if status.startswith("ii")}


def apt(*arguments, log_path):
    env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
    return command(["apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=300"] + list(arguments), log_path, env=env)


class Machine:
    """What the run changes on the machine, written down before it is done, so that it can be undone
    by this run or, after a kill, by the next."""

    def __init__(self, log_path):
        self.log_path = log_path
        self.state = {"packages": [], "user": None, "home": None}

    def save(self):
        with open(STATE, "w") as f:
            json.dump(self.state, f)

    def undo(self, state=None):
        state = state or self.state
        # The user's processes are the copies of the program this run started.
        if state["user"]:
            try:
                uid = pwd.getpwnam(state["user"]).pw_uid
            except KeyError:
                uid = None
            if uid is not None:
                for pid in user_processes(uid):
                    with contextlib.suppress(OSError):
                        os.kill(pid, signal.SIGKILL)
                command(["userdel", state["user"]], self.log_path, check=False)
        if state["home"]:
            shutil.rmtree(state["home"], ignore_errors=True)
        present = [p for p in state["packages"] if p in installed_packages()]
        if present:
            apt("purge", *present, log_path=self.log_path)
        with contextlib.suppress(FileNotFoundError):
            os.remove(STATE)

    def undo_leftovers(self):
        if os.path.exists(STATE):
            with open(STATE) as f:
                leftover = json.load(f)
            log("undoing what a killed run left: %r" % leftover)
            # Killed while dpkg worked, the run left dpkg's own work unfinished too.
            command(["dpkg", "--configure", "-a"], self.log_path, check=False)
            self.undo(leftover)

    def install(self, deb):
        # Written first: a kill during the install still leaves the package to be removed.
        self.state["packages"] = sorted(set(self.state["packages"]) | {"mivo"})
        self.save()
        done = apt("install", "--no-install-recommends", deb, log_path=self.log_path)
        # What this install set up, dependencies included; not what others installed meanwhile.
        set_up = set(re.findall(r"^Setting up ([^ :]+)", done.stdout, re.M))
        self.state["packages"] = sorted(set(self.state["packages"]) | set_up)
        self.save()
        log("installed %s" % ", ".join(self.state["packages"]))

    def make_user(self):
        name = "mivo%d" % os.getpid()
        home = tempfile.mkdtemp(prefix="mivo-home-")
        os.rmdir(home)
        self.state.update(user=name, home=home)
        self.save()
        command(["useradd", "--create-home", "--home-dir", home, "--shell", "/bin/sh", name], self.log_path)
        return name, home


def user_processes(uid):
    pids = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            with contextlib.suppress(OSError):
                if os.stat("/proc/" + entry).st_uid == uid:
                    pids.append(int(entry))
    return pids


def files_of(folder):
    """Every file below `folder` with its content's digest."""
    found = {}
    for root, _, names in os.walk(folder):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                found[os.path.relpath(path, folder)] = hashlib.sha256(f.read()).hexdigest()
    return found


def contacts(database):
    db = sqlite3.connect("file:%s?mode=ro" % database, uri=True)
    rows = db.execute("SELECT zuhao0, xingm0 FROM t_telinfo ORDER BY xingm0").fetchall()
    db.close()
    return rows


def check_package(deb, readme, log_path):
    """lintian, the validators of the desktop entry and the metadata, the dependencies."""
    lint = command(["lintian", "--tag-display-limit", "0", deb], log_path, check=False)
    log("lintian:\n%s" % (lint.stdout.strip() or "(nothing)"))
    tags = re.findall(r"^([EWIP]): mivo(?: \w+)?: (\S+)", lint.stdout, re.M)
    errors = [t for kind, t in tags if kind == "E"]
    if errors or lint.returncode != 0:
        raise Failure("lintian: %s" % (errors or lint.stderr))
    with open(readme, encoding="utf-8") as f:
        install = re.search(r"(?ms)^## Install$(.*?)^## ", f.read())
    explained = set(re.findall(r"`([a-z0-9-]+)`", install.group(1) if install else ""))
    unexplained = sorted({t for kind, t in tags if kind == "W"} - explained)
    if unexplained:
        raise Failure("lintian warnings the README does not explain: %s" % unexplained)

    depends = command(["dpkg-deb", "--field", deb, "Depends"]).stdout
    wanted = RUN_TIME_DEPENDENCIES + ["libqt6widgets6", "libsqlite3-0", "libc6"]
    missing = [d for d in wanted if not re.search(r"(^|, )%s( \(|,|$)" % re.escape(d), depends.strip())]
    if missing:
        raise Failure("the package does not depend on %s: %s" % (missing, depends))

    unpacked = tempfile.mkdtemp(prefix="mivo-deb-")
    try:
        command(["dpkg-deb", "--extract", deb, unpacked])
        command(["desktop-file-validate", "%s/usr/share/applications/%s.desktop" % (unpacked, APP_ID)], log_path)
        command(["appstreamcli", "validate", "--no-net", "%s/usr/share/metainfo/%s.metainfo.xml" % (unpacked, APP_ID)],
                log_path)
        for size in (16, 32, 48, 64, 128, 256):
            icon = "%s/usr/share/icons/hicolor/%dx%d/apps/%s.png" % (unpacked, size, size, APP_ID)
            if not os.path.exists(icon):
                raise Failure("no %d-pixel icon" % size)
    finally:
        shutil.rmtree(unpacked, ignore_errors=True)


class User:
    """Starts the installed program as the test's user: a login shell, so `mivo` comes from the PATH
    a user gets, on the test's display."""

    def __init__(self, session, name, home):
        self.session, self.name, self.home = session, name, home
        self.uid = pwd.getpwnam(name).pw_uid
        # Inside the home folder, which goes with the user.
        self.runtime = os.path.join(home, ".runtime")
        os.mkdir(self.runtime, 0o700)
        os.chown(self.runtime, self.uid, -1)
        self.data = os.path.join(home, ".local/share/mivo")
        self.database = os.path.join(self.data, "mivo.mdb")
        self.starts = 0

    def start(self):
        self.starts += 1
        env = dict(self.session.env, XDG_RUNTIME_DIR=self.runtime)
        keep = "DISPLAY,XDG_RUNTIME_DIR,LC_ALL,QT_QPA_PLATFORM,DBUS_SESSION_BUS_ADDRESS"
        out = open(os.path.join(self.session.screenshots, "mivo%d.log" % self.starts), "w")
        return self.session.start("mivo", ["runuser", "-l", self.name, "-w", keep, "-c", "exec mivo"],
                                  env=env, stdout=out, stderr=subprocess.STDOUT)

    def program(self):
        """The pid of the user's running program."""
        for pid in user_processes(self.uid):
            with contextlib.suppress(OSError):
                if os.readlink("/proc/%d/exe" % pid) == "/usr/bin/mivo":
                    return pid
        return None

    def has_open(self, path):
        pid = self.program()
        if pid is None:
            return False
        for fd in os.listdir("/proc/%d/fd" % pid):
            with contextlib.suppress(OSError):
                if os.readlink("/proc/%d/fd/%s" % (pid, fd)) == path:
                    return True
        return False

    def open_window(self, name):
        mivo = self.start()
        wait_for("the main window", lambda: self.session.main_window_state() == "shown", timeout=60)
        window = self.session.info(self.session.viewable("^%s$" % re.escape(TITLE)))
        self.session.shot(name)
        wait_for("the program to open %s" % self.database, lambda: self.has_open(self.database))
        return mivo, window

    def click(self, window, point, pause=0.3):
        """A click `point` pixels from the window's top-left corner, then time to answer it."""
        self.session.click((window["x"] + point[0], window["y"] + point[1]))
        time.sleep(pause)

    def box(self, code, key="Return"):
        wait_for('box "%s"' % code, lambda: self.session.viewable("^%s$" % code), timeout=20)
        self.session.shot("box-" + code)
        self.session.key(key)
        wait_for('box "%s" to close' % code, lambda: self.session.viewable("^%s$" % code) is None)


def add_contact(user, window):
    session = user.session
    session.click(item_point(window, 1))
    time.sleep(1)
    user.click(window, ROOT_ROW)
    session.key("Down")
    time.sleep(0.3)
    session.key("alt+a")
    time.sleep(0.5)
    # From the group on: the name.
    session.key("Tab")
    session.x("xdotool", "type", "--delay", "50", CONTACT)
    session.key("Tab")
    session.shot("contact-typed")
    session.key("alt+s")
    user.box("T10")
    wait_for("the contact in %s" % user.database, lambda: ("1", CONTACT) in contacts(user.database))


def settings_and_backup(user, window):
    session = user.session
    session.click(item_point(window, 5))
    time.sleep(1)
    user.click(window, START_WITH_SYSTEM)
    user.click(window, START_MAXIMIZED)
    session.shot("settings-ticked")
    session.key("alt+o")
    user.box("029")
    settings = os.path.join(user.data, "client.ini")
    text = open(settings, encoding="utf-8").read() if os.path.exists(settings) else ""
    if not re.search(r"(?m)^startMax=1\s*$", text):
        raise Failure("startMax=1 is not in %s:\n%s" % (settings, text))
    entry = os.path.join(user.home, ".config/autostart/Mivo.desktop")
    text = open(entry, encoding="utf-8").read() if os.path.exists(entry) else ""
    if not re.search(r"(?m)^Exec=/usr/bin/mivo /hide\s*$", text):
        raise Failure("the start entry does not start the installed program:\n%s" % text)

    # With no backup folder chosen, a backup goes beside the database, under today's name.
    user.click(window, BACKUP_TAB, 0.5)
    session.key("alt+b")
    wait_for("the save dialog", lambda: session.viewable("^选择备份名称及路径$"), timeout=20)
    session.shot("backup-dialog")
    session.key("Return")
    user.box("032")
    backup = os.path.join(user.data, time.strftime("%Y%m%d") + ".mdb")
    if not os.path.exists(backup) or ("1", CONTACT) not in contacts(backup):
        raise Failure("no backup holding the contact in %s: %s" % (user.data, os.listdir(user.data)))


def run(args):
    check_tools()
    clean_screenshots(args.screenshots)
    steps = os.path.join(args.screenshots, "steps.log")
    open(steps, "w").close()
    machine = Machine(steps)
    machine.undo_leftovers()
    if "mivo" in installed_packages():
        log("SKIPPED: mivo is installed on this machine, and this run would remove it")
        return SKIPPED

    started = time.monotonic()
    # One compiler at a time: the other tests, some of which time what they see, keep the other core.
    built = command([os.path.join(args.source, "run.sh"), "--package"], steps,
                    env=dict(os.environ, CMAKE_BUILD_PARALLEL_LEVEL="1"))
    deb = os.path.abspath(os.path.join(args.source, built.stdout.strip().splitlines()[-1].removeprefix("Built: ")))
    log("built %s in %.0f s" % (deb, time.monotonic() - started))
    check_package(deb, os.path.join(args.source, "README.md"), steps)

    try:
        machine.install(deb)
        for path in ("/usr/share/applications/%s.desktop" % APP_ID, "/usr/share/mivo/mivo.mdb", "/usr/share/man/man1/mivo.1.gz"):
            if not os.path.exists(path):
                raise Failure("%s was not installed" % path)
        name, home = machine.make_user()
        with x_session(args.screenshots) as session:
            user = User(session, name, home)

            # 1. The first start makes the folder; a contact lands in its database.
            mivo, window = user.open_window("first-start")
            if os.stat(user.database).st_uid != user.uid:
                raise Failure("%s does not belong to the user" % user.database)
            snapshot(user.database)
            add_contact(user, window)
            end_with_exit_item(session, mivo, window)

            # 2. A second start keeps it; the settings and a backup land beside it.
            mivo, window = user.open_window("second-start")
            if ("1", CONTACT) not in contacts(user.database):
                raise Failure("the contact is gone")
            settings_and_backup(user, window)
            end_with_exit_item(session, mivo, window)

            # 3. Removed, the package leaves the user's folder as it was; installed again, the program
            # opens it.
            kept = files_of(user.data)
            apt("remove", "mivo", log_path=steps)
            if os.path.exists("/usr/bin/mivo") or files_of(user.data) != kept:
                raise Failure("removing the package changed %s or left /usr/bin/mivo" % user.data)
            machine.install(deb)
            mivo, window = user.open_window("installed-again")
            if session.viewable("^001$"):
                raise Failure('box "001" after installing again')
            end_with_exit_item(session, mivo, window)
            if files_of(user.data) != kept:
                raise Failure("the folder changed without a change")

            # 4. A deleted database is "001", and no new one is made.
            os.remove(user.database)
            left = sorted(os.listdir(user.data))
            mivo = user.start()
            user.box("001")
            status = mivo.wait(30)
            if status != 1:
                raise Failure('the program ended with status %d after "001"' % status)
            if sorted(os.listdir(user.data)) != left:
                raise Failure("the start made %s" % sorted(set(os.listdir(user.data)) - set(left)))
    finally:
        machine.undo()
    if "mivo" in installed_packages() or glob.glob("/usr/share/mivo"):
        raise Failure("the package is still installed")
    log("%d screenshots in %s" % (len(session.shots), args.screenshots))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--source", required=True, help="the repository, where run.sh lies")
    parser.add_argument("--screenshots", required=True, help="where the screenshots and logs go")
    args = parser.parse_args()
    if os.geteuid() != 0:
        log("SKIPPED: installing a package and making a user needs root")
        return SKIPPED
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    start = time.monotonic()
    os.makedirs(args.screenshots, exist_ok=True)
    # One run at a time on a machine: the package and the program's path are the machine's.
    with open(LOCK, "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        try:
            status = run(args)
        except Failure as failure:
            log("FAILED: %s" % failure)
            return 1
    if status == 0:
        log("passed in %.1f s" % (time.monotonic() - start))
    return status


if __name__ == "__main__":
    sys.exit(main())
