#!/usr/bin/python3
"""The address book's find box used as a user uses it, on a real X server with a tray host.

Opens the address book from the navigation list, presses Ctrl+F, types "zs" key by key as a user
without a Chinese input method does, and opens the first line with Enter: the card of 张三 must show,
read as a screen reader reads it. Escape on a box opened again closes it and leaves the card as it
was. The database must be unchanged at the end.
"""

import re
import shutil
import sys
import time

from mivoe2e import (TITLE, Accessible, Failure, check_tools, clean_screenshots, content_region,
                     end_with_exit_item, item_point, log, main_for, prepare_app, snapshot, start_mivo,
                     wait_for, x_session)


def text_of(reader, node):
    return reader.Atspi.Text.get_text(node, 0, -1)


def shown(reader, main, role, name):
    return any(r == role and n == name for r, n, _ in reader.nodes(main))


def run(args):
    check_tools()
    clean_screenshots(args.screenshots)
    work, app, database = prepare_app(args.runtime, args.mkdb)
    before = snapshot(database)
    with x_session(args.screenshots) as session:
        session.start_accessibility()
        mivo = start_mivo(session, app, work)
        wait_for("the main window", lambda: session.main_window_state() == "shown", timeout=40)
        window = session.info(session.viewable("^%s$" % re.escape(TITLE)))
        reader = Accessible()
        main = wait_for("the window through the accessibility interface", lambda: reader.window(TITLE), timeout=20)
        empty = session.shot("opened")
        session.click(item_point(window, 1))
        wait_for("the address book", lambda: session.changed_shot("address-book", empty, content_region(window)))

        session.key("ctrl+f")
        wait_for("the find box", lambda: shown(reader, main, "text", "查找"))
        session.x("xdotool", "type", "--delay", "120", "zs")
        time.sleep(0.5)
        session.shot("typed-zs")
        session.key("Return")
        name = wait_for("the card's name field", lambda: next(
            (node for r, n, node in reader.nodes(main) if r == "text" and n == "姓名"), None))
        wait_for("the card of 张三", lambda: text_of(reader, name) == "张三")
        if shown(reader, main, "text", "查找"):
            raise Failure("the find box stayed open after Enter")
        card = session.shot("card-opened")

        # Opened again and left with Escape: the card stays as it was.
        session.key("ctrl+f")
        wait_for("the find box again", lambda: shown(reader, main, "text", "查找"))
        session.key("Escape")
        wait_for("the find box to close", lambda: not shown(reader, main, "text", "查找"))
        if text_of(reader, name) != "张三":
            raise Failure("the card changed after Escape: %r" % text_of(reader, name))
        session.shot("closed")
        log("closed; the card still shows 张三 (%s)" % card)
        end_with_exit_item(session, mivo, window)
    if snapshot(database) != before:
        raise Failure("the database changed")
    shutil.rmtree(work, ignore_errors=True)
    log("%d screenshots in %s" % (len(session.shots), args.screenshots))


if __name__ == "__main__":
    sys.exit(main_for(__doc__.splitlines()[0], run))
