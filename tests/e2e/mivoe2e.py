"""What the end-to-end runs share: a real X server (Xvfb, display chosen by the server through
-displayfd) with a tray host, the program started from a copy of the runtime folder, input through
xdotool and screenshots through imagemagick.

Needs xvfb, trayer, xdotool, imagemagick and x11-utils (./test.sh installs them); installs nothing.
A run that reads what a screen reader reads also needs dbus-daemon, at-spi2-core and Atspi's Python
binding.
"""

import argparse
import contextlib
import os
import re
import select
import shutil
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

TITLE = "Mivo V2.2"
# The navigation list as the window lays it out at 96 dpi: the list starts 10 layout units from the
# window's top-left corner (2 x 3 pixels), inside a 1-pixel frame; every item is a 66-pixel cell.
LIST_LEFT, LIST_TOP, LIST_WIDTH, ITEM_HEIGHT = 2, 3, 105, 66
ITEMS = ["通讯录", "笔记本", "个人资产", "记帐", "配置", "锁定", "退出", "帮助"]
TOOLS = ["Xvfb", "trayer", "xdotool", "import", "compare", "convert", "xwininfo", "xdpyinfo"]


class Failure(Exception):
    pass


def log(message):
    print(message, flush=True)


def wait_for(what, condition, timeout=20.0, interval=0.05):
    """Polls `condition` until it returns something true; fails after `timeout` seconds."""
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise Failure("timed out after %.0f s waiting for %s" % (timeout, what))
        time.sleep(interval)


class Session:
    def __init__(self, screenshots):
        self.screenshots = screenshots
        self.processes = []
        self.env = None
        self.shots = []
        self.runtime = None
        self.display_pipe = None

    # ---- processes

    def start(self, name, argv, **kwargs):
        log("starting %s" % name)
        process = subprocess.Popen(argv, **kwargs)
        self.processes.append((name, process))
        return process

    def stop_all(self):
        for name, process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        if self.runtime:
            shutil.rmtree(self.runtime, ignore_errors=True)
        if self.display_pipe is not None:
            os.close(self.display_pipe)

    def start_x(self):
        read_end, write_end = os.pipe()
        self.start("Xvfb", ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1280x800x24",
                            "-nolisten", "tcp", "-noreset"],
                   pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        ready, _, _ = select.select([read_end], [], [], 20)
        if not ready:
            raise Failure("Xvfb did not report its display")
        display = os.read(read_end, 64).decode().strip()
        # Kept open while the server runs: a server writing to a closed pipe would die of it.
        self.display_pipe = read_end
        if not display.isdigit():
            raise Failure("Xvfb reported no display number: %r" % display)
        runtime = self.runtime = tempfile.mkdtemp(prefix="mivo-xdg-")
        os.chmod(runtime, 0o700)
        self.env = dict(os.environ, DISPLAY=":" + display, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8",
                        XDG_RUNTIME_DIR=runtime, ASAN_OPTIONS="detect_leaks=0",
                        # No session bus: the tray icon goes to the X tray host.
                        DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent")
        self.env.pop("WAYLAND_DISPLAY", None)
        log("X display :%s" % display)
        wait_for("the X server to accept clients", lambda: self.x("xdpyinfo") is not None)

    def start_accessibility(self):
        """A session bus with the accessibility bus's launcher, where a screen reader finds the
        program's windows and controls; the program and this script are given its address."""
        launcher = "/usr/libexec/at-spi-bus-launcher"
        if shutil.which("dbus-daemon") is None or not os.path.exists(launcher):
            raise Failure("missing dbus-daemon or at-spi2-core (./test.sh installs them)")
        read_end, write_end = os.pipe()
        self.start("session bus", ["dbus-daemon", "--session", "--nofork", "--print-address=%d" % write_end],
                   pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        ready, _, _ = select.select([read_end], [], [], 20)
        address = os.read(read_end, 512).decode().strip() if ready else ""
        os.close(read_end)
        if not address:
            raise Failure("the session bus did not report its address")
        self.env["DBUS_SESSION_BUS_ADDRESS"] = os.environ["DBUS_SESSION_BUS_ADDRESS"] = address
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        os.environ["DISPLAY"] = self.env["DISPLAY"]
        self.start("accessibility bus", [launcher, "--launch-immediately", "--a11y=1"],
                   env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        log("session bus %s" % address)

    def x(self, *argv):
        """Runs an X tool; returns its output, or None when it failed."""
        done = subprocess.run(list(argv), env=self.env, capture_output=True, text=True, timeout=20)
        return done.stdout if done.returncode == 0 else None

    def failed(self):
        """What the screen showed when it went wrong, and what was on it."""
        if self.env:
            self.x("import", "-window", "root", os.path.join(self.screenshots, "failure.png"))
            log(self.x("xwininfo", "-root", "-tree") or "")
        # What the program said, and where each of its threads stood: a hang and a lost event look
        # alike on the screen.
        for name in sorted(os.listdir(self.screenshots)):
            if name.startswith("mivo") and name.endswith(".log"):
                with open(os.path.join(self.screenshots, name), errors="replace") as f:
                    lines = f.read().splitlines()[-40:]
                log("-- %s (last %d lines)\n%s" % (name, len(lines), "\n".join(lines)))
        for name, process in self.processes:
            if name == "mivo" and process.poll() is None and shutil.which("gdb"):
                stacks = subprocess.run(["gdb", "-p", str(process.pid), "-batch", "-ex", "thread apply all bt 25"],
                                        capture_output=True, text=True, timeout=120)
                log("-- threads of mivo (pid %d)\n%s" % (process.pid, stacks.stdout[-6000:]))

    # ---- windows

    def windows_named(self, pattern):
        out = self.x("xdotool", "search", "--name", pattern)
        return [int(w) for w in out.split()] if out else []

    def info(self, window):
        out = self.x("xwininfo", "-id", str(window))
        if not out:
            return None
        fields = dict(re.findall(r"^\s*([A-Za-z -]+):\s+(.*)$", out, re.M))
        return {
            "x": int(fields["Absolute upper-left X"]), "y": int(fields["Absolute upper-left Y"]),
            "width": int(fields["Width"]), "height": int(fields["Height"]),
            "viewable": fields["Map State"] == "IsViewable",
        }

    def viewable(self, pattern):
        for window in self.windows_named(pattern):
            info = self.info(window)
            if info and info["viewable"] and info["width"] > 10:
                return window
        return None

    def main_window_state(self):
        windows = self.windows_named("^%s$" % re.escape(TITLE))
        infos = [self.info(w) for w in windows]
        infos = [i for i in infos if i and i["width"] > 100]
        if not infos:
            return None
        return "shown" if any(i["viewable"] for i in infos) else "hidden"

    def popup_menu(self):
        """The tray menu while it is up: a small top-level window of the program."""
        children = self.x("xwininfo", "-root", "-children") or ""
        for window, w, h in re.findall(r'^\s*(0x[0-9a-f]+) "[^"]*": \("mivo" "mivo"\)\s+(\d+)x(\d+)', children, re.M):
            if 40 < int(w) < 400 and 20 < int(h) < 300:
                info = self.info(int(window, 16))
                if info and info["viewable"]:
                    return window
        return None

    def tray_icon(self):
        """The centre of the program's icon inside trayer's panel."""
        tree = self.x("xwininfo", "-root", "-tree") or ""
        match = re.search(r'^\s*(0x[0-9a-f]+) "panel": \("panel" "trayer"\)', tree, re.M)
        if not match:
            return None
        panel = self.x("xwininfo", "-tree", "-id", match.group(1)) or ""
        icon = re.search(r'(0x[0-9a-f]+) "mivo": \("mivo" "mivo"\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)', panel)
        if not icon:
            return None
        w, h, x, y = (int(v) for v in icon.groups()[1:])
        if w <= 1 or h <= 1:
            return None
        # Docked is not yet clickable: a click before the host maps the icon goes to the host.
        info = self.info(int(icon.group(1), 16))
        return (x + w // 2, y + h // 2) if info and info["viewable"] else None

    # ---- input and output

    def click(self, point, button=1):
        self.x("xdotool", "mousemove", str(point[0]), str(point[1]), "click", str(button))

    def key(self, *keys):
        self.x("xdotool", "key", *keys)

    def shot(self, name):
        path = os.path.join(self.screenshots, "%02d-%s.png" % (len(self.shots) + 1, name))
        if self.x("import", "-window", "root", path) is None:
            raise Failure("screenshot %s failed" % path)
        self.shots.append(path)
        log("screenshot %s" % path)
        return path

    def changed_shot(self, name, previous, region):
        """A screenshot whose `region` differs from `previous`, or None (and no screenshot kept)."""
        path = os.path.join(self.screenshots, "%02d-%s.png" % (len(self.shots) + 1, name))
        if self.x("import", "-window", "root", path) is None:
            raise Failure("screenshot %s failed" % path)
        if self.differing_pixels(previous, path, region) < 50:
            os.remove(path)
            return None
        self.shots.append(path)
        log("screenshot %s" % path)
        return path

    def drawn_shot(self, name, region):
        """A screenshot in which `region` holds more than a few colours, or None."""
        path = self.shot(name)
        colours = self.x("convert", "%s[%s]" % (path, region), "-format", "%k", "info:")
        if colours and int(colours) > 20:
            return path
        os.remove(path)
        self.shots.pop()
        return None

    def differing_pixels(self, a, b, region=None):
        if region:
            a, b = "%s[%s]" % (a, region), "%s[%s]" % (b, region)
        done = subprocess.run(["compare", "-metric", "AE", a, b, "null:"], env=self.env,
                              capture_output=True, text=True, timeout=30)
        return int(float(done.stderr.split()[0]))


class Accessible:
    """The program's windows and controls as a screen reader reads them (AT-SPI, after
    Session.start_accessibility)."""

    def __init__(self, application="mivo"):
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
        self.Atspi = Atspi
        self.application = application

    def windows(self):
        desktop = self.Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == self.application:
                return [w for w in (app.get_child_at_index(j) for j in range(app.get_child_count())) if w is not None]
        return []

    def window(self, name):
        for w in self.windows():
            if w.get_name() == name and w.get_state_set().contains(self.Atspi.StateType.SHOWING):
                return w
        return None

    def menu_items(self, open_menu, timeout=10):
        """Runs `open_menu`, which opens a menu and moves into it, and returns the names of the menu's
        items as a screen reader comes to them: through the item that takes the focus (a menu is no
        window the application lists)."""
        from gi.repository import GLib
        focused = []
        listener = self.Atspi.EventListener.new(lambda event: focused.append(event.source))
        listener.register("object:state-changed:focused")
        try:
            open_menu()
            deadline = time.monotonic() + timeout
            while time.monotonic() < deadline:
                while GLib.MainContext.default().iteration(False):
                    pass
                for source in focused:
                    if source is not None and source.get_role() == self.Atspi.Role.MENU_ITEM:
                        menu = source.get_parent()
                        return [menu.get_child_at_index(i).get_name() for i in range(menu.get_child_count())]
                time.sleep(0.05)
        finally:
            listener.deregister("object:state-changed:focused")
        raise Failure("no menu item took the focus")

    def nodes(self, root, depth=12):
        """(role, name, node) of every control below `root` that is shown; lists and tables are not
        entered (their rows are data, not captions)."""
        found = []
        if root is None or depth == 0:
            return found
        skip = (self.Atspi.Role.LIST, self.Atspi.Role.TABLE, self.Atspi.Role.TREE_TABLE, self.Atspi.Role.TREE,
                self.Atspi.Role.LIST_BOX)
        for i in range(root.get_child_count()):
            child = root.get_child_at_index(i)
            if child is None or not child.get_state_set().contains(self.Atspi.StateType.SHOWING):
                continue
            found.append((child.get_role_name(), child.get_name(), child))
            if child.get_role() not in skip:
                found += self.nodes(child, depth - 1)
        return found

    def find(self, root, role, name):
        for r, n, node in self.nodes(root):
            if r == role and n == name:
                return node
        raise Failure("no %s %r" % (role, name))

    def centre(self, node):
        box = node.get_extents(self.Atspi.CoordType.SCREEN)
        return (box.x + box.width // 2, box.y + box.height // 2)


def fill_database(path):
    db = sqlite3.connect(path)
    db.executescript("""
        INSERT INTO t_telinfo (zuhao0, xingm0, shouji, email0, dizhi0, gxrq00)
            VALUES ('1', '张三', '13800000000', 'zhang@example.com', '北京市海淀区', '20090214'),
                   ('2', '李四', '13900000000', NULL, '上海', '20090213');
        INSERT INTO p_info (gid, title, content) VALUES ('1', '第一篇日记', '今天天气很好。'), ('2', '会议', 'x');
        INSERT INTO ca_info (gid, name, num, worth, buydate) VALUES ('1', '电视机', 1, 3000.5, '20080101');
        INSERT INTO t_account (vtype, vdate, vname, vmoney, vremark)
            VALUES ('0', '20090201', '午饭', 25.5, NULL), ('1', '20090205', '工资', 5000, '二月');
    """)
    db.commit()
    db.close()


def snapshot(path):
    """Every table's rows; fails when the file does not pass SQLite's integrity check."""
    db = sqlite3.connect("file:%s?mode=ro" % path, uri=True)
    tables = [r[0] for r in db.execute("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")]
    rows = {t: db.execute('SELECT * FROM "%s" ORDER BY 1' % t).fetchall() for t in tables}
    check = db.execute("PRAGMA integrity_check").fetchall()
    db.close()
    if check != [("ok",)]:
        raise Failure("integrity check: %r" % check)
    return rows




def check_tools():
    missing = [t for t in TOOLS if shutil.which(t) is None]
    if missing:
        raise Failure("missing tools (./test.sh installs them): %s" % ", ".join(missing))


def clean_screenshots(folder):
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.endswith(".png"):
            os.remove(os.path.join(folder, old))


def prepare_app(runtime, mkdb, settings=None):
    """A copy of the runtime folder in a folder whose name has a blank and Chinese, with a fresh
    database holding a few records and, when given, a client.ini. Returns (work, app, database)."""
    work = tempfile.mkdtemp(prefix="mivo-e2e-")
    app = os.path.join(work, "程序 folder")
    shutil.copytree(runtime, app, ignore=shutil.ignore_patterns("mivo.mdb", "client.ini"))
    database = os.path.join(app, "mivo.mdb")
    subprocess.run([mkdb, database], check=True)
    fill_database(database)
    if settings is not None:
        with open(os.path.join(app, "client.ini"), "w", encoding="utf-8") as f:
            f.write(settings)
    return work, app, database


def item_point(window, index):
    """The centre of navigation item `index` (from 1) on the screen."""
    return (window["x"] + LIST_LEFT + LIST_WIDTH // 2,
            window["y"] + LIST_TOP + 1 + ITEM_HEIGHT * (index - 1) + ITEM_HEIGHT // 2)


def list_region(window):
    return "%dx%d+%d+%d" % (LIST_WIDTH, window["height"] - 2 * LIST_TOP, window["x"] + LIST_LEFT, window["y"] + LIST_TOP)


def content_region(window):
    """The upper half of the content area: the banner runs below it."""
    return "%dx%d+%d+%d" % (window["width"] - 140, window["height"] // 2, window["x"] + 130, window["y"] + 10)


def start_tray_host(session):
    session.start("trayer", ["trayer", "--edge", "top", "--align", "right", "--widthtype", "request",
                             "--height", "24", "--SetDockType", "true", "--transparent", "false"],
                  env=session.env, stdout=subprocess.DEVNULL,
                  stderr=open(os.path.join(session.screenshots, "trayer.log"), "w"))
    wait_for("trayer's panel", lambda: '"panel": ("panel" "trayer")' in (session.x("xwininfo", "-root", "-tree") or ""))


def start_mivo(session, app, work, arguments=(), log_name="mivo.log"):
    out = open(os.path.join(session.screenshots, log_name), "w")
    return session.start("mivo", [os.path.join(app, "mivo")] + list(arguments), cwd=work, env=session.env,
                         stdout=out, stderr=subprocess.STDOUT)


def end_with_exit_item(session, mivo, window):
    """Leaves through "退出"; the program must end with status 0."""
    session.click(item_point(window, 7))
    try:
        status = mivo.wait(20)
    except subprocess.TimeoutExpired:
        raise Failure('the program did not end after "退出"')
    if status != 0:
        raise Failure("the program ended with status %d" % status)
    log("ended with status 0")


@contextlib.contextmanager
def x_session(screenshots):
    """A Session on its own X server with a tray host; on a failure the screen is kept, and every
    process it started is stopped at the end."""
    session = Session(screenshots)
    try:
        session.start_x()
        start_tray_host(session)
        yield session
    except Failure:
        session.failed()
        raise
    finally:
        session.stop_all()


def main_for(description, run):
    """The command line every run takes, and its exit status."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("--runtime", required=True, help="the build's runtime folder (bin)")
    parser.add_argument("--mkdb", required=True, help="the tool that makes a new database")
    parser.add_argument("--screenshots", required=True, help="where the screenshots go")
    args = parser.parse_args()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    start = time.monotonic()
    try:
        run(args)
    except Failure as failure:
        log("FAILED: %s" % failure)
        return 1
    log("passed in %.1f s" % (time.monotonic() - start))
    return 0
