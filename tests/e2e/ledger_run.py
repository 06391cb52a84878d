#!/usr/bin/python3
"""The ledger as a user keeps it, on a real X server with the real program.

Chooses "记帐", adds an expense and saves it (box "A03"), changes to the income tab, adds an income and
saves it (box "A05"), changes to the statistics tab and computes the months ("统计(&T)"); the
screenshot of the statistics tab with its chart is kept. The database must then hold the two new
entries, dated today, and everything it held before.
"""

import datetime
import os
import re
import shutil
import sys
import time

from mivoe2e import (TITLE, Failure, check_tools, clean_screenshots, content_region, end_with_exit_item,
                     item_point, log, main_for, prepare_app, snapshot, start_mivo, wait_for, x_session)

# Where the ledger's tabs are, in pixels from the window's top-left corner at 96 dpi: the page starts
# 510 layout units from the left (list 10 + 480 wide + 20) and 10 from the top; its tab control 110
# units lower. The tabs (" 支出", " 收入", " 统计 " with their pictures) are about 70 pixels wide each.
PAGE_LEFT, TAB_ROW = 112, 43
TAB_CENTRES = (36, 106, 178)


def tab_point(window, index):
    return (window["x"] + PAGE_LEFT + TAB_CENTRES[index], window["y"] + TAB_ROW)


def type_text(session, text):
    """Key by key. A character the keyboard lacks is typed through a key that xdotool maps to it for
    the moment; the program must have read the map before the key is mapped back."""
    for ch in text:
        # xdotool keeps the key mapped for the delay after it.
        session.x("xdotool", "type", "--delay", "40" if ch.isascii() else "400", ch)


def save_and_expect(session, code):
    session.key("alt+s")
    wait_for('box "%s"' % code, lambda: session.viewable("^%s$" % code), timeout=15)
    session.shot("box-%s" % code)
    session.key("Return")
    wait_for('box "%s" to close' % code, lambda: session.viewable("^%s$" % code) is None)


def type_cell(session, text):
    """Opens the editor of the current cell (F2), then types: a key that opens the editor itself can
    arrive before the editor does, and the characters right behind it get lost."""
    session.key("F2")
    time.sleep(0.3)
    type_text(session, text)


def add_entry(session, item, amount):
    """Adds a row to the list of the current tab and types its item and amount, cell by cell."""
    session.key("alt+a")
    time.sleep(0.3)
    type_cell(session, item)
    session.key("Tab")
    type_cell(session, amount)
    time.sleep(0.2)


def run(args):
    check_tools()
    clean_screenshots(args.screenshots)
    work, app, database = prepare_app(args.runtime, args.mkdb)
    before = snapshot(database)
    today = datetime.date.today().strftime("%Y%m%d")

    with x_session(args.screenshots) as session:
        mivo = start_mivo(session, app, work)
        wait_for("the main window", lambda: session.main_window_state() == "shown", timeout=40)
        window = session.info(session.viewable("^%s$" % re.escape(TITLE)))
        content = content_region(window)
        empty = session.shot("empty")
        session.click(item_point(window, 4))
        wait_for("the ledger page", lambda: session.changed_shot("ledger", empty, content), timeout=10)

        add_entry(session, "午饭", "25.5")
        session.shot("expense-typed")
        save_and_expect(session, "A03")

        session.click(tab_point(window, 1))
        time.sleep(0.3)
        add_entry(session, "工资", "8000")
        save_and_expect(session, "A05")

        session.click(tab_point(window, 2))
        time.sleep(0.3)
        # The chart lies in the lower part of the tab, above the banner; empty it is plain white.
        chart = "%dx%d+%d+%d" % (window["width"] - 160, 200, window["x"] + 130, window["y"] + 280)
        session.shot("statistics-tab")
        if session.drawn_shot("probe", chart):
            raise Failure("the chart shows something before the statistics are computed")
        session.key("alt+t")
        wait_for("the statistics and their chart", lambda: session.drawn_shot("statistics", chart), timeout=10)

        end_with_exit_item(session, mivo, window)

    after = snapshot(database)
    for table, rows in before.items():
        # The entries' identities are counted in sqlite_sequence.
        if table not in ("t_account", "sqlite_sequence") and after[table] != rows:
            raise Failure("%s changed" % table)
    new = [row for row in after["t_account"] if row not in before["t_account"]]
    kept = [row for row in before["t_account"] if row in after["t_account"]]
    if len(kept) != len(before["t_account"]):
        raise Failure("entries were lost: %r" % after["t_account"])
    written = sorted((r[1], r[2], r[3], r[4]) for r in new)
    expected = [("1", today, "午饭", 25.5), ("2", today, "工资", 8000.0)]
    if written != expected:
        raise Failure("new entries %r, expected %r" % (written, expected))
    shutil.rmtree(work, ignore_errors=True)
    log("the two entries were saved; %d screenshots in %s" % (len(session.shots), args.screenshots))


if __name__ == "__main__":
    sys.exit(main_for(__doc__.splitlines()[0], run))
