#!/usr/bin/python3
"""The personal-assets page used as a user uses it, on a real X server with a tray host.

Opens the page from the navigation list, chooses a group in the tree with the mouse and the
keyboard, adds an item with the button's key, types its name in Chinese, its price and its
quantity (the total value follows while typing), saves it and answers the box; ends the program,
starts it again, finds the item in the tree, deletes it and answers both boxes. The database is
read back after each step; screenshots of the page go to the screenshots folder.
"""

import datetime
import re
import shutil
import sqlite3
import sys
import time

from mivoe2e import (TITLE, Failure, check_tools, clean_screenshots, content_region, end_with_exit_item,
                     item_point, log, main_for, prepare_app, start_mivo, wait_for, x_session)

# The tree's first row (the root "个人资产") on the screen, from the window's top-left corner: the
# content area starts right of the list (2 + 105 pixels, then 20 layout units), the page's tree
# 110 layout units below the content area's top.
ROOT_ROW = (111 + 60, 3 + 28 + 10)


def items(database):
    db = sqlite3.connect("file:%s?mode=ro" % database, uri=True)
    rows = db.execute("SELECT gid, name, num, buyprice, worth, buydate FROM ca_info ORDER BY id").fetchall()
    db.close()
    return rows


def open_page(session, app, work):
    mivo = start_mivo(session, app, work, log_name="mivo%d.log" % len(session.processes))
    wait_for("the main window", lambda: session.main_window_state() == "shown", timeout=40)
    window = session.info(session.viewable("^%s$" % re.escape(TITLE)))
    empty = session.shot("before-assets")
    session.click(item_point(window, 3))
    page = wait_for("the assets page", lambda: session.changed_shot("assets-page", empty, content_region(window)))
    return mivo, window, page


def choose_group(session, window, downs):
    """A click on the tree's root, then down the groups with the arrow key."""
    session.click((window["x"] + ROOT_ROW[0], window["y"] + ROOT_ROW[1]))
    time.sleep(0.3)
    for _ in range(downs):
        session.key("Down")
        time.sleep(0.2)


def answer(session, code, key):
    wait_for('box "%s"' % code, lambda: session.viewable("^%s$" % code))
    session.shot("box-" + code)
    session.key(key)
    wait_for('box "%s" to close' % code, lambda: session.viewable("^%s$" % code) is None)


def run(args):
    check_tools()
    clean_screenshots(args.screenshots)
    work, app, database = prepare_app(args.runtime, args.mkdb)
    stored = items(database)
    with x_session(args.screenshots) as session:
        # Add and save an item in the group "家具" (the second group).
        mivo, window, _ = open_page(session, app, work)
        choose_group(session, window, 2)
        session.key("alt+a")
        time.sleep(0.5)
        # From "Id:" on: the group, then the name.
        session.key("Tab", "Tab")
        session.x("xdotool", "type", "--delay", "80", "书桌")
        session.key("Tab")
        session.x("xdotool", "type", "--delay", "80", "250.5")
        # Past the purchase date, the total, the description, the disposal date and the brand.
        for _ in range(6):
            session.key("Tab")
        session.key("ctrl+a")
        session.x("xdotool", "type", "2")
        time.sleep(0.5)
        session.shot("form-typed")
        today = datetime.date.today().strftime("%Y%m%d")
        session.key("alt+s")
        answer(session, "C10", "Return")
        added = wait_for("the item in the database", lambda: items(database)[len(stored):])
        if added != [("2", "书桌", 2, 250.5, 501.0, today)]:
            raise Failure("stored %r" % added)
        session.shot("saved")
        end_with_exit_item(session, mivo, window)

        # Started again: the item is there; open it from the tree and delete it.
        mivo, window, page = open_page(session, app, work)
        choose_group(session, window, 2)
        session.key("Right")
        time.sleep(0.3)
        session.key("Down")
        wait_for("the item's form", lambda: session.changed_shot("reopened", page, content_region(window)))
        # Only the form of a stored item asks "C03" (the list refuses with "C01").
        session.key("alt+d")
        answer(session, "C03", "alt+y")
        answer(session, "C04", "Return")
        wait_for("the item to be gone", lambda: items(database) == stored)
        session.shot("deleted")
        end_with_exit_item(session, mivo, window)
    shutil.rmtree(work, ignore_errors=True)
    log("%d screenshots in %s" % (len(session.shots), args.screenshots))


if __name__ == "__main__":
    sys.exit(main_for(__doc__.splitlines()[0], run))
