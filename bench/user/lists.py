"""Lists and trees of the address book, from the click to the painted view, on the real program.

The program runs on the X server with a generated database and the address book shown. Each action
is a click sent to its window with xdotool (the pointer is moved there first and the program left to
settle, so the hover it causes is not counted). The wait ends where the main thread falls quiet
(userwait.Quiet); the figure is the CPU time all of the program's threads used from the click until
then. After each action the same statements run in bench_sqlite_steps, a C program that links SQLite
only, on the same database file, its connection set as the program sets its own (memory mapping, page
cache): the ratio of the two is taken per round, and its median reported.

Where to click: the tree and the list lie where the window's layout rules put them (computed from
the window's size in layout units, as the program computes them). The rows of the tree, the handle
that expands a group and the header of a column are found on screenshots: the band the selection
paints when the root is clicked gives the row height, the first mark left of a group's picture is
its handle, and the table's grid lines give the columns.
"""

import math
import os
import re
import subprocess
import time

from screen import Shot, changed_rows, grid_lines, marks, runs
from userwait import Cpu, Failure, Quiet, calibrate_idle, wait_quiet

TITLE = "Mivo V2.2"
# The navigation list: the first item's centre from the window's top-left corner (tests/e2e).
ADDRESSBOOK_ITEM = (2 + 105 // 2, 3 + 1 + 66 // 2)
QUIET_WINDOW = 0.3


def px(units, per_unit):
    # As the program rounds: half away from zero.
    return int(math.floor(units * per_unit + 0.5))


def page_rects(width, height):
    """The tree's and the list's rectangles (x, y, w, h) in pixels inside a window of that size at 96
    dpi: the main window's content area and the group-tree page's rules, in layout units."""
    work_w, work_h = px(width, 1 / 0.2188), px(height, 1 / 0.25)
    list_w = 480
    area = (10 + list_w + 20, 10, work_w - (list_w + 40), work_h - 20)
    top = 110
    tree_w = int((area[2] - 18) * 0.3)
    view_w = int((area[2] - 18) * 0.7)
    view_h = area[3] - 120 - top
    units = [(area[0], area[1] + top, tree_w, view_h), (area[0] + tree_w + 18, area[1] + top, view_w, view_h)]
    out = []
    for x, y, w, h in units:
        left, top_, right, bottom = px(x, 0.2188), px(y, 0.25), px(x + w, 0.2188), px(y + h, 0.25)
        out.append((left, top_, right - left, bottom - top_))
    return out


class Layout:
    """Where the root, each group, a group's handle and the name column's header are on the screen."""

    def __init__(self, window, before, after, groups):
        """`before`: a screenshot with the address book shown and nothing chosen; `after`: with the
        root clicked (its row selected, its list shown)."""
        self.window = window
        (tx, ty, tw, th), (vx, vy, vw, vh) = page_rects(window["width"], window["height"])
        ox, oy = window["x"], window["y"]
        self.tree = (ox + tx, oy + ty, tw, th)
        self.view = (ox + vx, oy + vy, vw, vh)
        # The selection band of the root row; the tree's frame may change colour with the focus.
        left, right = self.tree[0] + 4, self.tree[0] + tw - 4
        band = runs(changed_rows(before, after, left, right, self.tree[1] + 1, self.tree[1] + th // 2))
        if not band:
            raise Failure("clicking the root changed no row of the tree")
        self.row_top, bottom = band[0]
        self.row_height = bottom - self.row_top + 1
        if not 10 <= self.row_height <= 60:
            raise Failure("a tree row %d pixels high" % self.row_height)
        self.groups = groups
        # A group row: its handle is the first mark from the left, on the background of the tree.
        y = self.row_y(1)
        background = after.at(right - 2, y)
        found = marks(after, y, left, right, background)
        if len(found) < 2:
            raise Failure("no handle and picture on the first group's row")
        self.handle_x = (found[0][0] + found[0][1]) // 2
        self.label_x = found[1][1] + 12
        # The list's columns: its grid lines below the header; the name column is the second.
        x0, x1 = self.view[0] + 2, self.view[0] + vw - 20
        rows_top, rows_bottom = self.view[1] + 3 * self.row_height, self.view[1] + vh - 3 * self.row_height
        lines = grid_lines(after, x0, x1, rows_top, rows_bottom)
        columns = [(a, b) for a, b in zip([x0] + lines, lines + [x1]) if b - a > 10]
        if len(columns) < 3:
            raise Failure("the list shows %d columns" % len(columns))
        self.name_header_x = (columns[1][0] + columns[1][1]) // 2
        # The header runs from the list's top edge to where the grid lines begin.
        line = lines[0]
        colour = after.at(line, rows_top)
        top = rows_top
        while top > self.view[1] and after.at(line, top - 1) == colour:
            top -= 1
        self.header_y = (self.view[1] + top) // 2

    def row_y(self, index):
        return self.row_top + self.row_height * index + self.row_height // 2

    def root(self):
        return (self.label_x, self.row_y(0))

    def group(self, index):
        """Group `index` from 1, in the tree's order."""
        return (self.label_x, self.row_y(index))

    def handle(self, index):
        return (self.handle_x, self.row_y(index))

    def member(self, index):
        """A name at tree row `index` (from 0, the root): on its label, one level in from a group's."""
        return (self.label_x + 40, self.row_y(index))

    def name_header(self):
        return (self.name_header_x, self.header_y)


class Program:
    """The real program on the X server, in a folder of its own with its database."""

    def __init__(self, session, app, shots, prefix=(), window=QUIET_WINDOW):
        """`prefix`: a command the program runs under (valgrind), with a quiet `window` to suit it."""
        self.session = session
        self.app = app
        self.shots = shots
        self.window_s = window
        self.process = subprocess.Popen(list(prefix) + [os.path.join(app, "mivo")], cwd=app, env=session.env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.cpu = Cpu(self.process.pid)
        pattern = "^%s$" % re.escape(TITLE)
        deadline = time.monotonic() + 600
        while not session.x("xdotool", "search", "--onlyvisible", "--name", pattern):
            if self.process.poll() is not None or time.monotonic() > deadline:
                raise Failure("the program showed no window")
            time.sleep(0.05)
        window = session.x("xdotool", "search", "--onlyvisible", "--name", pattern).split()[0]
        self.window = session.info(int(window))
        self.idle = calibrate_idle(self.cpu, timeout=600)
        self.layout = None

    def quiet(self):
        return Quiet(self.window_s, 2 * self.idle + 1e6, 1e6)

    def settle(self):
        wait_quiet(self.cpu, self.quiet(), 300)

    def move(self, point):
        self.session.x("xdotool", "mousemove", str(point[0]), str(point[1]))
        self.settle()

    def click(self, point, armed=None):
        """CPU nanoseconds and wall seconds from a click at `point` to the program's quiet. `armed`
        runs once the pointer is there and the program has settled, just before the click."""
        self.move(point)
        if armed:
            armed()
        before = self.cpu.sample()
        # Begun: more than the idle banner could have used, by two milliseconds.
        begun = lambda s: s.main - before.main > 2 * self.idle * (s.t - before.t) + 2e6
        # Not waited for: xdotool lingers some 100 ms after the click, which the program's work
        # overlaps; the wall time counts from its start.
        xdotool = subprocess.Popen(["xdotool", "click", "1"], env=self.session.env)
        try:
            end = wait_quiet(self.cpu, self.quiet(), 600, started=begun)
        finally:
            xdotool.wait(20)
        return end.total - before.total, end.t - before.t

    def shot(self, name):
        path = os.path.join(self.shots, name + ".png")
        self.session.x("import", "-window", "root", path)

    def open_addressbook(self, groups):
        """Shows the address book and clicks its root once, which finds the layout."""
        w = self.window
        self.click((w["x"] + ADDRESSBOOK_ITEM[0], w["y"] + ADDRESSBOOK_ITEM[1]))
        (tx, ty, _, _), _ = page_rects(w["width"], w["height"])
        self.move((w["x"] + tx + 60, w["y"] + ty + 6))
        before = Shot.of_screen(self.session.env)
        self.click((w["x"] + tx + 60, w["y"] + ty + 6))
        after = Shot.of_screen(self.session.env)
        self.layout = Layout(w, before, after, groups)

    def end(self):
        if self.process.poll() is None:
            self.process.terminate()
        try:
            self.process.wait(30)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class Baseline:
    """bench_sqlite_steps on the same database, its connection set as the program sets its own
    (`pragmas`, from bench_user_data): CPU nanoseconds of the statements, the median of three runs
    reading every column (the floor of any program that shows the rows) and of three stepping only;
    and, for reference, one run reading every column with SQLite's defaults."""

    def __init__(self, steps, database, statements, pragmas):
        self.steps = steps
        self.database = database
        self.sql = statements   # view name -> its statement
        self.pragmas = pragmas

    def run(self, *queries):
        """`queries`: (statement, argument) pairs run one after the other. Returns the read, the
        step-only and the default figure and the rows read."""
        statements = []
        for i, (sql, arg) in enumerate(queries):
            statements += (["-q"] if i else []) + [sql, arg]
        tuned = parse_steps(self.steps_output(["-n", "3", "-b", "-p", self.pragmas], statements))
        plain = parse_steps(self.steps_output(["-n", "1"], statements))
        if plain["rows"] != tuned["rows"]:
            raise Failure("the statements read %d rows, then %d" % (tuned["rows"], plain["rows"]))
        return tuned | {"default": plain["read"]}

    def steps_output(self, options, statements):
        done = subprocess.run([self.steps] + options + [self.database] + statements, capture_output=True, text=True,
                              timeout=600)
        if done.returncode != 0:
            raise Failure("bench_sqlite_steps: %s" % done.stderr.strip())
        return done.stdout

    def list_of(self, pattern):
        return self.run((self.sql["dw_telall"], pattern))

    def expand(self, code):
        """What a first expansion reads: the group's list, which also fills the tree; and, as
        "pair", the tree's names and the list read apart, as the program read them before."""
        one = self.run((self.sql["dw_telall"], code))
        pair = self.run((self.sql["ds_xingm0"], code), (self.sql["dw_telall"], code))
        return one | {"pair": pair["read"]}

    def card_of(self, name):
        return self.run((self.sql["dw_telper"], name))

    def sorted_by(self, column, ascending):
        """The root's rows in the order of one column."""
        sql = re.sub(r"ORDER BY .*$", "ORDER BY %s %s" % (column, "ASC" if ascending else "DESC"), self.sql["dw_telall"])
        return self.run((sql, "*"))


def parse_steps(output):
    """bench_sqlite_steps' lines -> {"read": ns, "step": ns, "rows": n}, medians of the runs (a
    way that was not run is left out)."""
    found = {"read": [], "step": []}
    rows = set()
    for line in output.splitlines():
        m = re.match(r"(read|step) rows (\d+) cpu_ns (\d+)", line)
        if m:
            found[m.group(1)].append(int(m.group(3)))
            rows.add(int(m.group(2)))
    if not found["read"] or len(rows) != 1:
        raise Failure("bench_sqlite_steps printed %r" % output)
    return {way: sorted(v)[len(v) // 2] for way, v in found.items() if v} | {"rows": rows.pop()}


def groups_of(database):
    """The groups as the tree lists them, with their sizes: [(code, contacts)]."""
    import sqlite3
    db = sqlite3.connect("file:%s?mode=ro" % database, uri=True)
    try:
        return db.execute("SELECT g.zuhao0, (SELECT count(*) FROM t_telinfo t WHERE t.zuhao0 = g.zuhao0) "
                          "FROM t_group g ORDER BY g.zuhao0").fetchall()
    finally:
        db.close()


def names_of(database, code):
    """The names of group `code` in the tree's order."""
    import sqlite3
    db = sqlite3.connect("file:%s?mode=ro" % database, uri=True)
    try:
        return [n for (n,) in db.execute("SELECT xingm0 FROM t_telinfo WHERE zuhao0 = ? ORDER BY xingm0", (code,))]
    finally:
        db.close()


class ListsBench:
    """The actions on one database; each returns {"cpu": [...], "wall": [...], "base": [...]}."""

    def __init__(self, session, app, baseline, shots, log):
        self.session = session
        self.app = app
        self.baseline = baseline
        self.shots = shots
        self.log = log
        self.groups = groups_of(baseline.database)
        self.program = None
        self.unexpanded = []

    def start(self):
        self.stop()
        self.program = Program(self.session, self.app, self.shots)
        self.program.open_addressbook(len(self.groups))
        return self.program.layout

    def stop(self):
        if self.program:
            self.program.end()
            self.program = None

    def measure(self, what, rounds, click, base, expect_rows):
        """`rounds` times: the click measured, then its baseline."""
        out = {"cpu": [], "wall": [], "base": [], "step": [], "default": [], "pair": []}
        for r in range(rounds):
            point = click(r)
            cpu, wall = self.program.click(point)
            floor = base(r)
            if floor["rows"] != expect_rows(r):
                raise Failure("%s: the statements read %d rows, expected %d" % (what, floor["rows"], expect_rows(r)))
            out["cpu"].append(cpu)
            out["wall"].append(wall)
            out["base"].append(floor["read"])
            out["step"].append(floor["step"])
            out["default"].append(floor["default"])
            if "pair" in floor:
                out["pair"].append(floor["pair"])
        self.log("%s, CPU ms of the program / SQLite: %s" % (what, ", ".join(
            "%.0f/%.0f" % (c / 1e6, b / 1e6) for c, b in zip(out["cpu"], out["base"]))))
        return out

    def full_groups(self):
        """Tree indexes (from 1) of the groups that hold contacts."""
        return [i + 1 for i, (_, n) in enumerate(self.groups) if n > 0]

    def click_groups(self, rounds):
        """One group after another, each replacing the list of the one before."""
        full = self.full_groups()
        lay = self.program.layout
        pick = lambda r: full[r % len(full)]
        return self.measure("click a group", rounds, lambda r: lay.group(pick(r)),
                            lambda r: self.baseline.list_of(self.groups[pick(r) - 1][0]),
                            lambda r: self.groups[pick(r) - 1][1])

    def open_cards(self, rounds):
        """A name in the tree, each time after its group (not counted) was listed, so that the card
        takes the place of the group's list. The group is the last one holding contacts, expanded
        first (not counted): its names lie below every group, and one after another is opened."""
        full = self.full_groups()
        lay = self.program.layout
        group = full[-1]
        self.program.click(lay.handle(group))
        names = names_of(self.baseline.database, self.groups[group - 1][0])
        shown = min(len(names), lay.tree[3] // lay.row_height - len(self.groups) - 2)
        if shown < 1:
            raise Failure("no name of the expanded group shows in the tree")
        member = lambda r: r % shown

        def click(r):
            # The expansion selected the group and listed it; later rounds list it again.
            if r:
                self.program.click(lay.group(group))
            return lay.member(group + 1 + member(r))
        return self.measure("open a card", rounds, click, lambda r: self.baseline.card_of(names[member(r)]),
                            lambda r: 1)

    def click_root(self, rounds):
        """The root, each time after a group (not counted) took its place."""
        full = self.full_groups()
        lay = self.program.layout
        total = sum(n for _, n in self.groups)

        def click(r):
            self.program.click(lay.group(full[r % len(full)]))
            return lay.root()
        return self.measure("click the root", rounds, click, lambda r: self.baseline.list_of("*"), lambda r: total)

    def sort_by_name(self, rounds):
        """Header clicks on the root's list; each one turns the order round, ascending first."""
        lay = self.program.layout
        self.program.click(lay.group(self.full_groups()[0]))
        self.program.click(lay.root())
        total = sum(n for _, n in self.groups)
        return self.measure("sort by a header", rounds, lambda r: lay.name_header(),
                            lambda r: self.baseline.sorted_by("xingm0", r % 2 == 0), lambda r: total)

    def expand_groups(self, rounds):
        """Groups expanded for the first time, from the last one up, so that the rows above stay
        where they were; a fresh program when every group has been expanded."""
        out = {"cpu": [], "wall": [], "base": [], "step": [], "default": [], "pair": []}
        left = rounds
        while left > 0:
            if self.program is None or not self.unexpanded:
                self.start()
                self.unexpanded = list(reversed(self.full_groups()))
            take = min(left, len(self.unexpanded))
            batch, self.unexpanded = self.unexpanded[:take], self.unexpanded[take:]
            lay = self.program.layout
            part = self.measure("expand a group", take, lambda r: lay.handle(batch[r]),
                                lambda r: self.baseline.expand(self.groups[batch[r] - 1][0]),
                                lambda r: self.groups[batch[r] - 1][1])
            for key in out:
                out[key] += part[key]
            left -= take
            self.program.shot("expanded")
            self.stop()
        return out
