#!/usr/bin/python3
"""The program used as a user uses it, on a real X server with a tray host.

Copies the runtime folder into a temporary folder with a fresh database holding a few records,
starts Xvfb and trayer, starts the real executable, chooses every navigation item with the mouse,
hides and restores the window through the tray icon (left click and the right-click menu), and
leaves through the item "退出". A screenshot of every state goes to the screenshots folder. The
program must end with status 0 and leave the database intact and unchanged.
"""

import os
import re
import shutil
import sys

from mivoe2e import (ITEMS, TITLE, Failure, check_tools, clean_screenshots, content_region,
                     end_with_exit_item, item_point, list_region, log, main_for, prepare_app, snapshot,
                     start_mivo, wait_for, x_session)


def run(args):
    check_tools()
    clean_screenshots(args.screenshots)
    work, app, database = prepare_app(args.runtime, args.mkdb)
    before = snapshot(database)

    with x_session(args.screenshots) as session:
        mivo = start_mivo(session, app, work)
        wait_for("the main window", lambda: session.main_window_state() == "shown", timeout=40)
        icon = wait_for("the tray icon", session.tray_icon)
        window = session.info(session.viewable("^%s$" % re.escape(TITLE)))
        log("window at %d,%d, %dx%d; tray icon at %d,%d"
            % (window["x"], window["y"], window["width"], window["height"], icon[0], icon[1]))
        if (window["width"], window["height"]) != (793, 552):
            raise Failure("initial size %dx%d, expected 793x552" % (window["width"], window["height"]))
        # The banner moves all the time; the list on the left changes only when an item is chosen.
        navigation = list_region(window)
        # Drawn once the list shows its pictures.
        wait_for("the list to be drawn", lambda: session.drawn_shot("opened", navigation))

        def item(index):
            return item_point(window, index)

        previous = session.shots[-1]
        for index in (1, 2, 3, 4, 5, 8):
            session.click(item(index))
            # The selection moves (and the help page appears): the screen must change.
            current = wait_for("the list to show %s chosen" % ITEMS[index - 1],
                               lambda: session.changed_shot("item%d" % index, previous, navigation), timeout=10)
            previous = current
        # The help page fills the content area; the banner runs below the part looked at.
        colours = session.x("convert", "%s[%s]" % (previous, content_region(window)), "-format", "%k", "info:")
        if not colours or int(colours) <= 20:
            raise Failure("the help page does not show (%s colours)" % colours)

        # "锁定" without a lock set up says so in box "010".
        session.click(item(6))
        wait_for('box "010"', lambda: session.viewable("^010$"))
        session.shot("lock-010")
        session.key("Return")
        wait_for('box "010" to close', lambda: session.viewable("^010$") is None)

        # Through the tray: the menu hides, a left click brings back, the menu shows.
        def menu_choose_first(expected_state, name):
            session.click(icon, 3)
            menu = session.info(int(wait_for("the tray menu", session.popup_menu), 16))
            session.shot(name)
            # With the mouse: under Xvfb without a window manager, a tray menu closed with the keyboard
            # swallows the next click on the tray icon (the toolkit does it too without this program).
            session.x("xdotool", "mousemove", str(menu["x"] + menu["width"] // 2), str(menu["y"] + 11))
            session.x("xdotool", "click", "1")
            wait_for("the tray menu to close", lambda: session.popup_menu() is None)
            wait_for("the window to be %s" % expected_state, lambda: session.main_window_state() == expected_state)

        menu_choose_first("hidden", "tray-menu-hide")
        session.shot("hidden")
        session.click(icon, 1)
        wait_for("the window back after a left click", lambda: session.main_window_state() == "shown")
        session.shot("restored-by-left-click")
        menu_choose_first("hidden", "tray-menu-hide-again")
        menu_choose_first("shown", "tray-menu-show")
        session.shot("restored-by-menu")

        # Leave through "退出".
        end_with_exit_item(session, mivo, window)

    after = snapshot(database)
    if after != before:
        raise Failure("the database changed")
    leftovers = [f for f in os.listdir(app) if f.startswith("mivo.mdb-")]
    if leftovers:
        raise Failure("left beside the database: %s" % leftovers)
    shutil.rmtree(work, ignore_errors=True)
    log("database intact and unchanged; %d screenshots in %s" % (len(session.shots), args.screenshots))


if __name__ == "__main__":
    sys.exit(main_for(__doc__.splitlines()[0], run))
