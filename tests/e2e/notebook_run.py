#!/usr/bin/python3
"""The notebook as a user has it, on a real X server: a note is added, saved, found, opened again,
read in the enlarged reader and deleted; the database is read back after every step.

Chooses "笔记本", selects the group "日记" in the tree with the keyboard, adds a note with a Chinese
and ASCII title and text, saves it ("N07"), starts a new note, finds the saved one on the find tab
(typed text, "查找(F)", a double click on the hit, which brings the content tab back with the note),
opens another note and then the found one again, adds to its text and saves again (so the text
shown on reopening was the stored one), opens the reader (it lies exactly over the main window,
Escape closes it), deletes the note ("N01" answered with Yes, "N02") and leaves through "退出".
Screenshots of the page with the note, of the find tab with its hit, and of the reader.
"""

import re
import shutil
import sqlite3
import sys
import time

from mivoe2e import (TITLE, Failure, check_tools, clean_screenshots, content_region, end_with_exit_item,
                     item_point, log, main_for, prepare_app, snapshot, start_mivo, wait_for, x_session)

# Where the page's controls are in a window of the initial size at 96 dpi, from the window's
# top-left corner: the buttons in their row above the tree, the tree's first row, the editor's
# title and text, and the reader button at the right end of the tools.
ADD, SAVE, DELETE = (522, 16), (598, 16), (675, 16)
TREE_ROOT = (180, 41)
TITLE_FIELD = (600, 101)
TEXT_FIELD = (560, 300)
READER_BUTTON = (775, 75)
# The find tab: its tab, the search text, the button, and the first hit of the list.
FIND_TAB = (463, 45)
FIND_TEXT = (620, 78)
FIND_BUTTON = (742, 105)
FIRST_HIT = (560, 158)

NOTE_TITLE = "e2e 笔记"
NOTE_TEXT = "Hello 你好"
MORE_TEXT = " again"


def notes(database):
    db = sqlite3.connect("file:%s?mode=ro" % database, uri=True)
    rows = db.execute("SELECT gid, title, content FROM p_info WHERE title = ?", (NOTE_TITLE,)).fetchall()
    db.close()
    return rows


def run(args):
    check_tools()
    clean_screenshots(args.screenshots)
    work, app, database = prepare_app(args.runtime, args.mkdb)
    before = snapshot(database)

    with x_session(args.screenshots) as session:
        mivo = start_mivo(session, app, work)
        wait_for("the main window", lambda: session.main_window_state() == "shown", timeout=40)
        window = session.info(session.viewable("^%s$" % re.escape(TITLE)))
        if (window["width"], window["height"]) != (793, 552):
            raise Failure("initial size %dx%d, expected 793x552" % (window["width"], window["height"]))

        def at(point):
            return (window["x"] + point[0], window["y"] + point[1])

        def box(code, *keys):
            wait_for('box "%s"' % code, lambda: session.viewable("^%s$" % code))
            session.shot("box-" + code)
            session.key(*keys)
            wait_for('box "%s" to close' % code, lambda: session.viewable("^%s$" % code) is None)

        def typed(text):
            # ASCII as keys; each Chinese character through its Unicode keysym, which xdotool maps to
            # a spare key for the moment: the program must have seen the new map before the key
            # comes, and the key before the map is put back.
            for ch in text:
                if ord(ch) < 128:
                    session.x("xdotool", "type", "--delay", "20", ch)
                else:
                    time.sleep(0.2)
                    session.key("U%04X" % ord(ch))
                    time.sleep(0.2)

        session.click(item_point(window, 2))
        wait_for("the notebook page", lambda: session.drawn_shot("notebook", content_region(window)))

        # The root, then the first group with the arrow key: "添加" takes that group.
        session.click(at(TREE_ROOT))
        session.key("Down")
        session.click(at(ADD))
        session.click(at(TITLE_FIELD))
        typed(NOTE_TITLE)
        # The placeholder goes when the text field takes the focus.
        session.click(at(TEXT_FIELD))
        typed(NOTE_TEXT)
        session.click(at(SAVE))
        box("N07", "Return")
        rows = wait_for("the note stored", lambda: notes(database))
        if rows != [("1", NOTE_TITLE, NOTE_TEXT)]:
            raise Failure("stored %r" % rows)
        log("stored %r" % rows)
        session.shot("page-with-note")

        # A new note in the editor; the saved one is found by a word of its title and opened by a
        # double click on the hit, which gives the tree the focus on it.
        session.click(at(ADD))
        session.click(at(FIND_TAB))
        region = content_region(window)
        empty = wait_for("the find tab", lambda: session.drawn_shot("find-tab-empty", region))
        session.click(at(FIND_TEXT))
        typed("e2e")
        session.click(at(FIND_BUTTON))
        found = wait_for("the hit listed", lambda: session.changed_shot("find-tab", empty, region))
        session.x("xdotool", "mousemove", str(at(FIRST_HIT)[0]), str(at(FIRST_HIT)[1]), "click", "--repeat", "2",
                  "--delay", "80", "1")
        wait_for("the note opened", lambda: session.changed_shot("hit-opened", found, region))

        # Another note of the group, then the found one again (the tree has the focus); its text is
        # read from the database and saving what was added keeps it.
        session.key("Down")
        session.key("Up")
        session.click(at(TEXT_FIELD))
        session.key("ctrl+End")
        typed(MORE_TEXT)
        session.click(at(SAVE))
        box("N07", "Return")
        rows = wait_for("the note saved again", lambda: notes(database) == [("1", NOTE_TITLE, NOTE_TEXT + MORE_TEXT)])
        log("saved again")

        # The reader lies exactly over the main window; Escape closes it.
        session.click(at(READER_BUTTON))
        reader = wait_for("the reader", lambda: session.viewable("^内容$"))
        geometry = session.info(reader)
        main = session.info(session.viewable("^%s$" % re.escape(TITLE)))
        if [geometry[k] for k in ("x", "y", "width", "height")] != [main[k] for k in ("x", "y", "width", "height")]:
            raise Failure("reader at %r, main window at %r" % (geometry, main))
        session.shot("reader")
        session.key("Escape")
        wait_for("the reader to close", lambda: session.viewable("^内容$") is None)

        # Delete: asked first ("N01", No preselected, so Yes by its key), then "N02".
        session.click(at(DELETE))
        box("N01", "alt+y")
        box("N02", "Return")
        wait_for("the note deleted", lambda: not notes(database))
        session.shot("deleted")

        end_with_exit_item(session, mivo, window)

    after = snapshot(database)
    # Only the counter of the identities and the inner pages of the search index moved on.
    def records(tables):
        return {t: rows for t, rows in tables.items() if t != "sqlite_sequence" and not t.startswith("p_info_fts")}
    if records(after) != records(before):
        raise Failure("the database differs from before after adding and deleting the note")
    shutil.rmtree(work, ignore_errors=True)
    log("note added, saved, reopened, read and deleted; %d screenshots in %s" % (len(session.shots), args.screenshots))


if __name__ == "__main__":
    sys.exit(main_for(__doc__.splitlines()[0], run))
