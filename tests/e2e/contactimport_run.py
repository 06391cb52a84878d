#!/usr/bin/python3
"""Contacts brought into the address book as a user brings them, on a real X server.

From a fresh database: opens the address book, right-clicks its first group in the tree, chooses
"导入联系人…", picks a vCard file of two contacts (one with a Chinese name) through the real open
dialog, agrees to the preview and closes the report; both contacts must then be in the tree (read
as a screen reader reads it) and in the group in the database.
"""

import os
import re
import shutil
import sqlite3
import sys
import time

from mivoe2e import (TITLE, Accessible, Failure, Session, check_tools, clean_screenshots, end_with_exit_item, item_point,
                     log, main_for, prepare_app, start_mivo, start_tray_host, wait_for)

# A phone's 2.1 card with a Chinese name (family name, then given name) and a 3.0 card.
VCARD = ("BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8:王;小明;;;\r\nTEL;CELL:+86 138-1234-5678\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:John Smith\r\nN:Smith;John;;;\r\nEMAIL;TYPE=INTERNET:john@example.com\r\n"
         "END:VCARD\r\n")
IMPORTED = [("王小明", "13812345678", None), ("John Smith", None, "john@example.com")]


def first_group(database):
    db = sqlite3.connect("file:%s?mode=ro" % database, uri=True)
    row = db.execute("SELECT zuhao0, zuming FROM t_group ORDER BY zuhao0 LIMIT 1").fetchone()
    db.close()
    return row


def imported(database, group):
    db = sqlite3.connect("file:%s?mode=ro" % database, uri=True)
    rows = db.execute("SELECT xingm0, shouji, email0 FROM t_telinfo WHERE zuhao0 = ? AND xingm0 IN (?, ?)"
                      " ORDER BY xingm0 = 'John Smith'", (group, IMPORTED[0][0], IMPORTED[1][0])).fetchall()
    db.close()
    return rows


def tree_items(reader, tree):
    """(name, node) of the tree's cells, one level of nesting deep."""
    found = []
    for i in range(tree.get_child_count()):
        child = tree.get_child_at_index(i)
        if child is not None:
            found.append((child.get_name(), child))
    return found


def alert(reader, code):
    for w in reader.windows():
        if (w.get_role() == reader.Atspi.Role.ALERT and w.get_name() == code
                and w.get_state_set().contains(reader.Atspi.StateType.SHOWING)):
            return w
    return None


def answer(session, reader, code, key):
    wait_for('box "%s"' % code, lambda: alert(reader, code), timeout=20)
    session.shot("box-" + code)
    session.key(key)
    wait_for('box "%s" to close' % code, lambda: alert(reader, code) is None, timeout=10)


def run(args):
    check_tools()
    clean_screenshots(args.screenshots)
    work, app, database = prepare_app(args.runtime, args.mkdb)
    code, name = first_group(database)
    vcf = os.path.join(work, "contacts.vcf")
    with open(vcf, "w", encoding="utf-8", newline="") as f:
        f.write(VCARD)
    session = Session(args.screenshots)
    try:
        session.start_x()
        session.start_accessibility()
        start_tray_host(session)
        mivo = start_mivo(session, app, work)
        wait_for("the main window", lambda: session.main_window_state() == "shown", timeout=40)
        window = session.info(session.viewable("^%s$" % re.escape(TITLE)))
        reader = Accessible()
        main = wait_for("the window through the accessibility interface", lambda: reader.window(TITLE), timeout=20)
        session.click(item_point(window, 1))
        tree = wait_for("the address book's tree", lambda: reader.find(main, "tree", "通讯录分组"), timeout=20)
        group = wait_for('the group "%s" in the tree' % name,
                         lambda: dict(tree_items(reader, tree)).get(name), timeout=10)
        session.shot("address-book")

        # The pointer's menu has no item ready: Down reaches the first one, "导入联系人…".
        items = reader.menu_items(lambda: (session.click(reader.centre(group), button=3), time.sleep(0.5),
                                           session.key("Down")))
        log("the group's menu: %r" % items)
        if not items or items[0] != "导入联系人…":
            raise Failure("the group's menu offers %r" % items)
        session.shot("group-menu")
        session.key("Return")

        dialog = wait_for("the open dialog", lambda: reader.window("导入联系人"), timeout=15)
        session.shot("open-dialog")
        time.sleep(0.5)
        # The file name field has the focus; a full path there opens that file.
        session.x("xdotool", "type", "--delay", "30", vcf)
        session.key("Return")
        wait_for("the open dialog to close", lambda: reader.window("导入联系人") is None, timeout=15)

        # Nothing is stored while the preview asks.
        wait_for('box "T14"', lambda: alert(reader, "T14"), timeout=20)
        if imported(database, code):
            raise Failure("contacts stored before the preview was answered")
        answer(session, reader, "T14", "alt+y")
        answer(session, reader, "T16", "Return")
        stored = wait_for("the contacts in the database", lambda: imported(database, code), timeout=10)
        if stored != IMPORTED:
            raise Failure("stored %r, expected %r" % (stored, IMPORTED))

        # The import rebuilt the tree: its cells are new objects. The group shows them once opened.
        tree = reader.find(main, "tree", "通讯录分组")
        group = wait_for('the group "%s" again' % name, lambda: dict(tree_items(reader, tree)).get(name), timeout=10)
        session.click(reader.centre(group))
        session.key("Right")
        names = wait_for("the contacts in the tree", lambda: {IMPORTED[0][0], IMPORTED[1][0]}
                         <= {n for n, _ in tree_items(reader, tree)} and [n for n, _ in tree_items(reader, tree)],
                         timeout=10)
        log("the tree: %r" % names)
        session.shot("imported")
        end_with_exit_item(session, mivo, window)
    except Failure:
        session.failed()
        raise
    finally:
        session.stop_all()
    shutil.rmtree(work, ignore_errors=True)
    log("%d screenshots in %s" % (len(session.shots), args.screenshots))


if __name__ == "__main__":
    sys.exit(main_for(__doc__.splitlines()[0], run))
