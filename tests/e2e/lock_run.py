#!/usr/bin/python3
"""The lock as a user has it: a client.ini with a hotkey, the real program on a real X server.

Nothing is set up inside the program: the settings file alone must arm the lock. With
lockshortCut=110K (Ctrl+K), lockTime=1 and Lockstart=1 the window opens locked; the list chooses
nothing; wrong keys leave it locked; Ctrl+K unlocks; "锁定" locks again; a minute without input
locks again, also while the notebook asks "N01" whether to delete a note: the question goes with
the lock, answered No, and the note stays. Started with "/hide", the window comes back from the
tray still locked.
"""

import os
import re
import shutil
import sqlite3
import sys
import time

from mivoe2e import (TITLE, Failure, check_tools, clean_screenshots, content_region, end_with_exit_item,
                     item_point, log, main_for, prepare_app, start_mivo, wait_for, x_session)

SETTINGS = "[setting]\nlockshortCut=110K\nlockTime=1\nLockstart=1\n"
# The notebook at the window's initial size, from its top-left corner: the tree's root row and the
# page's delete button; the first note of the first group in the database the runs fill.
NOTE_TREE_ROOT, NOTE_DELETE = (180, 41), (675, 16)
NOTE = "第一篇日记"


def open_window(session, app, work, arguments=()):
    mivo = start_mivo(session, app, work, arguments, log_name="mivo%d.log" % len(session.processes))

    def up():
        # The lock set-up runs before the window shows: a box would stand in its way.
        for code in ("011", "010"):
            if session.viewable("^%s$" % code):
                raise Failure('box "%s" at start: the settings file did not arm the lock' % code)
        return session.main_window_state() == "shown"

    if arguments:
        # Started in the tray: the icon is there and no window is on the screen.
        icon = wait_for("the tray icon", session.tray_icon, timeout=40)
        time.sleep(1)
        if session.main_window_state() == "shown":
            raise Failure('"/hide" showed the window')
        # A click that lands while a slow start (sanitizers, a loaded machine) still holds the event
        # loop can be lost; bringing the window back is idempotent, so click again until it shows.
        last_click = [0.0]

        def clicked_up():
            if up():
                return True
            if time.monotonic() - last_click[0] > 5:
                session.click(session.tray_icon() or icon, 1)
                last_click[0] = time.monotonic()
            return False

        wait_for("the main window", clicked_up, timeout=60)
    else:
        wait_for("the main window", up, timeout=40)
    return mivo, session.info(session.viewable("^%s$" % re.escape(TITLE)))


class Content:
    """Tells whether the content area shows a page, against how it looks with none."""

    def __init__(self, session, window):
        self.session, self.window = session, window
        self.empty = session.shot("empty-content")

    def shows_page(self, name, keep=True):
        if keep:
            path = self.session.shot(name)
        else:
            path = os.path.join(self.session.screenshots, "probe.png")
            if self.session.x("import", "-window", "root", path) is None:
                raise Failure("screenshot %s failed" % path)
        return self.session.differing_pixels(self.empty, path, content_region(self.window)) > 500

    def expect_locked(self, name):
        # The list refuses the choice: the address book does not come.
        self.session.click(item_point(self.window, 1))
        time.sleep(0.7)
        if self.shows_page(name):
            raise Failure("%s: a page showed while locked" % name)

    def expect_unlocks(self, keys, name):
        self.session.key(keys)
        self.session.click(item_point(self.window, 1))
        wait_for("the address book after %s" % keys, lambda: self.shows_page(name), timeout=10)


def at(window, point):
    return (window["x"] + point[0], window["y"] + point[1])


def notes_titled(database, title):
    db = sqlite3.connect("file:%s?mode=ro" % database, uri=True)
    count = db.execute("SELECT COUNT(*) FROM p_info WHERE title = ?", (title,)).fetchone()[0]
    db.close()
    return count


def locked_at_start(args, session, app, work, database):
    mivo, window = open_window(session, app, work)
    content = Content(session, window)
    content.expect_locked("locked-at-start")
    for wrong in ("k", "ctrl+shift+k", "ctrl+j", "shift+k"):
        session.key(wrong)
        content.expect_locked("still-locked-after-" + wrong.replace("+", "-"))
    content.expect_unlocks("ctrl+k", "unlocked-by-hotkey")

    # The item locks again, without a box.
    session.click(item_point(window, 6))
    wait_for("the page to go", lambda: not content.shows_page("locked-by-item"), timeout=10)
    if session.viewable("^010$"):
        raise Failure('"锁定" answered "010" with a hotkey set')
    content.expect_locked("locked-by-item-list-refuses")
    content.expect_unlocks("ctrl+k", "unlocked-again")

    # A note of the notebook opened and its delete asked for; the question stays unanswered.
    session.click(item_point(window, 2))
    time.sleep(0.7)
    session.click(at(window, NOTE_TREE_ROOT))
    for key in ("Down", "Right", "Down"):
        session.key(key)
        time.sleep(0.3)
    session.click(at(window, NOTE_DELETE))
    wait_for('box "N01"', lambda: session.viewable("^N01$"))
    session.shot("delete-asked")

    # A minute without input locks: the page goes by itself, and the question with it, answered No.
    log("waiting a minute without input")
    started = time.monotonic()
    wait_for("the idle lock", lambda: not session.viewable("^N01$") and not content.shows_page("idle", keep=False),
             timeout=120, interval=2)
    waited = time.monotonic() - started
    if waited < 50:
        raise Failure("locked after %.0f s of idleness, before the minute" % waited)
    if session.viewable("^N02$"):
        raise Failure('the note was deleted ("N02") when the lock closed its question')
    content.expect_locked("idle-locked-list-refuses")
    content.expect_unlocks("ctrl+k", "unlocked-after-idle")
    end_with_exit_item(session, mivo, window)
    if notes_titled(database, NOTE) != 1:
        raise Failure("the note is gone after the lock closed its delete question")


def locked_from_the_tray(args, session, app, work, database):
    mivo, window = open_window(session, app, work, ["/hide"])
    content = Content(session, window)
    content.expect_locked("hidden-start-locked")
    content.expect_unlocks("ctrl+k", "hidden-start-unlocked")
    end_with_exit_item(session, mivo, window)


def run(args):
    check_tools()
    clean_screenshots(args.screenshots)
    for scenario in (locked_at_start, locked_from_the_tray):
        log("== %s" % scenario.__name__)
        work, app, database = prepare_app(args.runtime, args.mkdb, SETTINGS)
        screenshots = os.path.join(args.screenshots, scenario.__name__)
        clean_screenshots(screenshots)
        with x_session(screenshots) as session:
            scenario(args, session, app, work, database)
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main_for(__doc__.splitlines()[0], run))
