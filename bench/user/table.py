"""The figures of a run and the table they make: each action, today's figure, the goal."""

from userwait import describe, median, per_round_ratios, quartiles

# One frame at 60 Hz: a small list or a card is done before the next frame is due.
FRAME_MS = 16.0

# (what the user does, key, goal, how the goal reads): a goal below FRAME_GOALS is a ratio to SQLite,
# one in FRAME_GOALS is the program's CPU milliseconds from the click until it is quiet.
ROWS = [
    ("start-up, every page built", "startup", 1.2, "<= 1.2x the bare window with Chinese text, main thread"),
    ("click the root with 100,000 contacts", "root100k", 1.3, "<= 1.3x"),
    ("click the root with 10,000 contacts", "root10k", 1.5, "<= 1.5x"),
    ("click a group of 10,000 (its list)", "group", 1.5, "<= 1.5x"),
    ("expand a group of 10,000 (tree filled, list shown, painted)", "expand", 1.5, "<= 1.5x"),
    ("sort 100,000 rows by a header", "sort", 0.4, "<= 0.4x"),
    ("root list at 300,000 contacts", "root300k", 1.3, "<= 1.3x"),
    ("click a group of 1,000 (its list)", "group1k", FRAME_MS, "<= 16 ms CPU, one frame"),
    ("open a card (a name in the tree, its group's list shown)", "card", FRAME_MS, "<= 16 ms CPU, one frame"),
]
FRAME_GOALS = {"group1k", "card"}

BARE, CAPTION, PROGRAM = "bare window", "bare window with Chinese text", "program"


class Figures:
    def __init__(self):
        self.ratios = {}      # key -> per-round ratios
        self.details = {}     # key -> lines
        self.today = {}       # key -> the table's cell
        self.figure = {}      # key -> what its goal is held against (a ratio or milliseconds)
        self.memory_lines = []

    def startup(self, results):
        """The goal is the main thread's: the printer's worker and the toolkit's own threads are
        reported beside it, all threads together."""
        def pair(key, unit, scale):
            data = {k: results[k][key] for k in results}
            floor = per_round_ratios(data[PROGRAM], data[CAPTION])
            bare = per_round_ratios(data[PROGRAM], data[BARE])
            line = "; ".join("%s %s" % (k, describe(data[k], unit, scale)) for k in (BARE, CAPTION, PROGRAM))
            return floor, "%s and %s" % (ratio_text(floor), ratio_text(bare)), line

        floor, main_cpu, main_line = pair("main", " ms", 1e-6)
        _, all_cpu, all_line = pair("cpu", " ms", 1e-6)
        self.ratios["startup"] = floor
        self.figure["startup"] = median(floor)
        cell = "main thread: CPU %s" % main_cpu
        lines = ["main thread's CPU ms to the first frame, idle: " + main_line,
                 "all threads' CPU ms to the same point: " + all_line,
                 "wall ms to the same point: " + "; ".join(
                     "%s %s" % (k, describe(results[k]["wall"], " ms", 1e3, 0)) for k in (BARE, CAPTION, PROGRAM))]
        tail = "; all threads: CPU %s" % all_cpu
        if results[PROGRAM]["ir"]:
            ir_floor, main_ir, main_ir_line = pair("ir_main", "", 1e-6)
            self.ratios["startup_ir"] = ir_floor
            _, all_ir, all_ir_line = pair("ir", "", 1e-6)
            cell += ", instructions %s" % main_ir
            tail += ", instructions %s" % all_ir
            lines.append("main thread's instructions (callgrind), millions: " + main_ir_line)
            lines.append("all threads' instructions, millions: " + all_ir_line)
        self.today["startup"] = cell + tail + " (against the bare window with Chinese text and a bare window)"
        self.details["startup"] = lines

    def action(self, key, data):
        r = per_round_ratios(data["cpu"], data["base"])
        self.ratios[key] = r
        if key in FRAME_GOALS:
            cpu = [c / 1e6 for c in data["cpu"]]
            low, high = quartiles(cpu)
            self.figure[key] = median(cpu)
            self.today[key] = "%.1f ms (%.1f-%.1f), %s SQLite" % (median(cpu), low, high, ratio_text(r))
        else:
            self.figure[key] = median(r)
            self.today[key] = ratio_text(r)
        self.details[key] = [
            "program CPU ms from the click to quiet: " + describe(data["cpu"], " ms", 1e-6),
            "SQLite in C, the same statements, reading every column: " + describe(data["base"], " ms", 1e-6),
            "  stepping only: %s; the program's ratio to it %s"
            % (describe(data["step"], " ms", 1e-6), ratio_text(per_round_ratios(data["cpu"], data["step"]))),
            "  reading every column with SQLite's default settings: %s; the program's ratio to it %s"
            % (describe(data["default"], " ms", 1e-6), ratio_text(per_round_ratios(data["cpu"], data["default"]))),
            "program wall ms from the click to quiet: " + describe(data["wall"], " ms", 1e3, 0),
        ]
        if data.get("pair"):
            self.details[key].insert(3, "  the tree's names and the list read apart (two statements, as before they became one): "
                                     "%s; the program's ratio to them %s"
                                     % (describe(data["pair"], " ms", 1e-6), ratio_text(per_round_ratios(data["cpu"], data["pair"]))))

    def memory(self, bench_views_output):
        lines = bench_views_output.splitlines()
        at = next((i for i, line in enumerate(lines) if line.startswith("memory for")), None)
        self.memory_lines = [line for line in lines[at:] if line.strip()] if at is not None else []


def ratio_text(ratios):
    low, high = quartiles(ratios)
    return "%.2fx (%.2f-%.2f)" % (median(ratios), low, high)


def table(figures):
    out = ["| what the user does | today | goal |", "|---|---|---|"]
    for what, key, goal, goal_text in ROWS:
        if key not in figures.today:
            continue
        # Start-up's goal holds for its CPU time and its instructions both.
        measured = [figures.figure[key]] + [median(figures.ratios[k]) for k in (key + "_ir",) if k in figures.ratios]
        met = "met" if all(m <= goal for m in measured) else "not met"
        out.append("| %s | %s | %s (%s) |" % (what, figures.today[key], goal_text, met))
    out.append("")
    out.append("Ratios: the median of the per-round ratios, the middle half of the rounds in brackets; start-up")
    out.append("against the bare windows, the lists against SQLite stepping the same statements in C and")
    out.append("reading every column, on a connection set as the program sets its own (the sort against its")
    out.append("ORDER BY of the same rows). The small list and the card: the program's CPU milliseconds from the")
    out.append("click until it is quiet (the middle half of the rounds in brackets), held against one frame.")
    for what, key, _, _ in ROWS:
        if key in figures.details:
            out.append("")
            out.append(what + ":")
            out += ["  " + line for line in figures.details[key]]
    if figures.memory_lines:
        out.append("")
        out += figures.memory_lines
    return "\n".join(out)
