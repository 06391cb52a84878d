"""The figures of a run and the table they make: each action, today's figure, the goal."""

from userwait import describe, median, per_round_ratios, quartiles

# One frame at 60 Hz: a small list or a card is done before the next frame is due.
FRAME_MS = 16.0

# (what the user does, key, goal, how the goal reads): a goal below FRAME_GOALS is a ratio to SQLite,
# one in FRAME_GOALS is the program's CPU milliseconds from the click until it is quiet.
ROWS = [
    ("start-up, CPU time, every page built", "startup", 1.2, "<= 1.2x the bare window with Chinese text"),
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
        cpu = {k: results[k]["cpu"] for k in results}
        floor = per_round_ratios(cpu[PROGRAM], cpu[CAPTION])
        bare = per_round_ratios(cpu[PROGRAM], cpu[BARE])
        self.ratios["startup"] = floor
        self.figure["startup"] = median(floor)
        cell = "%s the bare window with Chinese text, %s a bare window" % (ratio_text(floor), ratio_text(bare))
        lines = ["CPU ms to the first frame, idle: " + "; ".join(
            "%s %s" % (k, describe(cpu[k], " ms", 1e-6)) for k in (BARE, CAPTION, PROGRAM))]
        lines.append("wall ms to the same point: " + "; ".join(
            "%s %s" % (k, describe(results[k]["wall"], " ms", 1e3, 0)) for k in (BARE, CAPTION, PROGRAM)))
        ir = {k: results[k]["ir"] for k in results}
        if ir[PROGRAM]:
            ir_floor = per_round_ratios(ir[PROGRAM], ir[CAPTION])
            ir_bare = per_round_ratios(ir[PROGRAM], ir[BARE])
            cell += "; instructions %s and %s" % (ratio_text(ir_floor), ratio_text(ir_bare))
            lines.append("instructions (callgrind), millions: " + "; ".join(
                "%s %s" % (k, describe(ir[k], "", 1e-6)) for k in (BARE, CAPTION, PROGRAM)))
        self.today["startup"] = cell
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
        met = "met" if figures.figure[key] <= goal else "not met"
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
