#!/usr/bin/python3
"""The settings page as a user uses it, on a real X server with a tray host.

Starts the real program with an extra word on its command line and opens "配置", read as a screen
reader reads it: on the Backup tab the folder field's menu and the real save dialog speak Chinese, and
a backup onto the file of today's name asks exactly one question, "030", before it replaces the file.
Then it switches the lock on with Ctrl+K, 5 minutes and lock at start (a click, then the keyboard) and
saves it with
"保存设置(&O)" (box "029"; the settings file must say so); adds an address-book group with
"添加(&A)", types its code and name and saves it with "保存(&S)" (box "015"); closes the page with
"关闭(&C)", which asks "021", and answers with the preselected Yes. The program must end with
status 0 and a new copy must come up from the same executable with the same command line and
working folder; it starts locked, as saved, until Ctrl+K; the new group is in the database and its
address book.
"""

import os
import re
import shutil
import sqlite3
import sys
import time

from mivoe2e import (TITLE, Accessible, Failure, Session, check_tools, clean_screenshots, content_region, item_point, log, main_for,
                     prepare_app, snapshot, start_mivo, start_tray_host, wait_for)

EXTRA = "/e2e-restart-check"
# Where "启用锁定功能" lies at the window's first size: the content area starts 112 pixels right of
# the window's edge (510 layout units) and 3 below; the check box lies 1000 units (219 pixels) right
# of the General page's left edge and 60 units (15 pixels) below its top, under the tab bar.
LOCK_BOX = (112 + 2 + 219 + 30, 3 + 27 + 25)
# An empty spot inside the General page's frame: a click there only brings the window back to the
# keyboard after a box (there is no window manager to do it).
NEUTRAL = (112 + 2 + 140, 3 + 27 + 150)


def settings_file(app):
    path = os.path.join(app, "client.ini")
    if not os.path.exists(path):
        return ""
    with open(path, encoding="utf-8") as f:
        return f.read()


def box_closed(session, code, window=None):
    """Waits for message box `code`, looks at it, and closes it with Return (its preselected button);
    then gives the keyboard back to `window`."""
    wait_for('box "%s"' % code, lambda: session.viewable("^%s$" % code), timeout=15)
    session.shot("box-" + code)
    session.key("Return")
    wait_for('box "%s" to close' % code, lambda: not session.viewable("^%s$" % code), timeout=10)
    if window:
        time.sleep(0.3)
        session.click((window["x"] + NEUTRAL[0], window["y"] + NEUTRAL[1]))
        time.sleep(0.3)


def backup_over_todays_file(session, app, database):
    """Backs up onto the file of today's name in the program's folder (the backup folder when none
    was chosen), through the real save dialog; returns with the General tab shown again."""
    reader = Accessible()
    main = wait_for("the window through the accessibility interface", lambda: reader.window(TITLE), timeout=20)
    target = os.path.join(app, time.strftime("%Y%m%d") + ".mdb")
    with open(target, "wb") as f:
        f.write(b"an earlier backup")
    session.click(reader.centre(reader.find(main, "page tab", "备份")))
    time.sleep(0.5)

    # A text field's own menu, as the toolkit makes it.
    field = reader.find(main, "text", "备份路径")
    items = reader.menu_items(lambda: (session.click(reader.centre(field), button=3), time.sleep(0.5), session.key("Down")))
    session.shot("field-menu")
    session.key("Escape")
    log("the field's menu: %r" % items)
    words = " ".join(items)
    if not all(w in words for w in ("撤消", "剪切", "复制", "粘贴", "全选")) or re.search("Undo|Cut|Copy|Paste|Select", words):
        raise Failure("the field's menu is not in Chinese: %r" % items)

    session.key("alt+b")
    dialog = wait_for("the save dialog", lambda: reader.window("选择备份名称及路径"), timeout=15)
    captions = {(role, name) for role, name, _ in reader.nodes(dialog)}
    session.shot("save-dialog")
    for caption in (("push button", "保存(S)"), ("push button", "取消"), ("label", "查找范围："), ("label", "文件名称(N)：")):
        if caption not in captions:
            raise Failure("the save dialog lacks %r: %r" % (caption, sorted(captions)))
    english = [name for _, name in captions if re.search("Save|Cancel|Look in|File name|Files of type", name)]
    if english:
        raise Failure("the save dialog speaks English: %r" % english)

    # Today's name is proposed; accepting it over the existing file asks "030" and nothing before it.
    session.key("Return")

    def questions():
        shown = [w for w in reader.windows() if w.get_role() == reader.Atspi.Role.ALERT
                 and w.get_state_set().contains(reader.Atspi.StateType.SHOWING)]
        return [w.get_name() for w in shown]
    asked = wait_for("a question", questions, timeout=15)
    session.shot("question")
    if asked != ["030"]:
        raise Failure('asked %r, expected "030" alone' % asked)
    session.key("y")
    wait_for('box "025"', lambda: questions() == ["025"], timeout=30)
    session.shot("box-025")
    session.key("Return")
    wait_for('box "025" to close', lambda: not questions(), timeout=10)
    if snapshot(target) != snapshot(database):
        raise Failure("the backup does not hold what the database holds")
    session.click(reader.centre(reader.find(main, "page tab", "常规")))
    time.sleep(0.5)


def process_alive(pid):
    try:
        with open("/proc/%d/stat" % pid) as f:
            # A process that ended but was not yet reaped is a zombie: it is gone as far as we care.
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False


def command_line(pid):
    with open("/proc/%d/cmdline" % pid, "rb") as f:
        return [a.decode("utf-8") for a in f.read().split(b"\0")[:-1]]


def run(args):
    check_tools()
    clean_screenshots(args.screenshots)
    work, app, database = prepare_app(args.runtime, args.mkdb)
    session = Session(args.screenshots)
    restarted = None
    try:
        session.start_x()
        session.start_accessibility()
        start_tray_host(session)
        mivo = start_mivo(session, app, work, [EXTRA])
        wait_for("the main window", lambda: session.main_window_state() == "shown", timeout=40)
        window = session.info(session.viewable("^%s$" % re.escape(TITLE)))
        empty = session.shot("opened")

        session.click(item_point(window, 5))
        time.sleep(1)
        session.shot("settings-page")
        backup_over_todays_file(session, app, database)
        # The lock on; then its controls in their order: Ctrl, Shift, the key, the minutes, lock at start.
        session.click((window["x"] + LOCK_BOX[0], window["y"] + LOCK_BOX[1]))
        time.sleep(0.3)
        for keys in ("Tab", "space", "Tab", "Tab", "k", "Tab", "ctrl+a", "5", "Tab", "space"):
            session.key(keys)
            time.sleep(0.1)
        session.shot("lock-set")
        session.key("alt+o")
        box_closed(session, "029", window)
        saved = settings_file(app)
        for line in ("lockshortCut=110K", "lockTime=5", "Lockstart=1"):
            if not re.search(r"(?m)^%s\s*$" % re.escape(line), saved):
                raise Failure("%s was not saved:\n%s" % (line, saved))

        # A new address-book group: the code takes the keyboard right after "添加(&A)".
        session.key("alt+a")
        time.sleep(0.5)
        session.x("xdotool", "type", "--delay", "50", "q")
        session.key("Tab")
        session.x("xdotool", "type", "--delay", "50", "Friends")
        session.key("Tab")
        session.shot("group-typed")
        session.key("alt+s")
        box_closed(session, "015", window)

        session.key("alt+c")
        box_closed(session, "021")
        try:
            status = mivo.wait(30)
        except Exception:
            raise Failure("the first copy did not end after the restart")
        if status != 0:
            raise Failure("the first copy ended with status %d" % status)
        log("the first copy ended with status 0")

        def new_window():
            for w in session.windows_named("^%s$" % re.escape(TITLE)):
                info = session.info(w)
                pid = (session.x("xdotool", "getwindowpid", str(w)) or "").strip()
                if info and info["viewable"] and pid.isdigit() and int(pid) != mivo.pid:
                    return w, info, int(pid)
            return None

        window_id, _, pid = wait_for("the restarted window", new_window, timeout=40)
        restarted = pid
        argv = command_line(pid)
        expected = [os.path.join(app, "mivo"), EXTRA]
        if argv != expected:
            raise Failure("restarted with %r, expected %r" % (argv, expected))
        if os.path.realpath("/proc/%d/cwd" % pid) != os.path.realpath(work):
            raise Failure("restarted in %s, expected %s" % (os.path.realpath("/proc/%d/cwd" % pid), work))

        window = session.info(window_id)
        db = sqlite3.connect("file:%s?mode=ro" % database, uri=True)
        row = db.execute("SELECT zuming FROM t_group WHERE zuhao0 = 'q'").fetchone()
        db.close()
        if row != ("Friends",):
            raise Failure("the new group is not in the database: %r" % (row,))

        # Locked at start, as saved: the list shows nothing until Ctrl+K.
        def shows_page(name):
            path = session.shot(name)
            return session.differing_pixels(empty, path, content_region(window)) > 500

        session.click(item_point(window, 1))
        time.sleep(1)
        if shows_page("restarted-locked"):
            raise Failure("the restarted copy is not locked")
        session.key("ctrl+k")
        session.click(item_point(window, 1))
        wait_for("the address book after Ctrl+K", lambda: shows_page("restarted-unlocked"), timeout=10)

        session.click(item_point(window, 7))
        wait_for("the restarted copy to end", lambda: not process_alive(pid), timeout=20)
        restarted = None
        log("the restarted copy ended")
    except Failure:
        session.failed()
        raise
    finally:
        if restarted and process_alive(restarted):
            os.kill(restarted, 15)
        session.stop_all()
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main_for(__doc__.splitlines()[0], run))
