"""Reading the screen to find where to click: a screenshot as pixels, the rows that changed between
two of them, the marks along a row of pixels, and the grid lines of a table."""

import subprocess
from collections import Counter


class Shot:
    """An RGB picture; pixels are 0xRRGGBB."""

    def __init__(self, width, height, rgb):
        if len(rgb) < width * height * 3:
            raise ValueError("%d bytes for %dx%d pixels" % (len(rgb), width, height))
        self.width = width
        self.height = height
        self.rgb = rgb

    @classmethod
    def from_ppm(cls, data):
        """A binary PPM (P6) with a maximum of 255, as ImageMagick writes it."""
        fields = []
        at = 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            if data[at:at + 1] == b"#":
                at = data.index(b"\n", at) + 1
                continue
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("not an 8-bit binary PPM")
        return cls(int(fields[1]), int(fields[2]), data[at + 1:])

    @classmethod
    def of_screen(cls, env):
        done = subprocess.run(["import", "-window", "root", "-depth", "8", "ppm:-"], env=env, capture_output=True, timeout=30)
        if done.returncode != 0:
            raise RuntimeError("screenshot failed: %s" % done.stderr.decode(errors="replace"))
        return cls.from_ppm(done.stdout)

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return (self.rgb[i] << 16) | (self.rgb[i + 1] << 8) | self.rgb[i + 2]


def changed_rows(a, b, x0, x1, y0, y1, share=0.5):
    """The rows of [y0, y1) in which at least `share` of the pixels in [x0, x1) differ."""
    need = max(1, int((x1 - x0) * share))
    return [y for y in range(y0, y1) if sum(a.at(x, y) != b.at(x, y) for x in range(x0, x1)) >= need]


def runs(values):
    """Consecutive integers grouped: [3, 4, 5, 9] -> [(3, 5), (9, 9)]."""
    out = []
    for v in values:
        if out and v == out[-1][1] + 1:
            out[-1] = (out[-1][0], v)
        else:
            out.append((v, v))
    return out


def marks(shot, y, x0, x1, background):
    """The runs of pixels along row y in [x0, x1) that are not `background`, left to right."""
    return runs([x for x in range(x0, x1) if shot.at(x, y) != background])


def grid_lines(shot, x0, x1, y0, y1, share=0.9):
    """The x of every vertical line in [x0, x1) that crosses at least `share` of the rows [y0, y1)
    in one colour different from the pixels on both sides of it: the lines between a table's
    columns. Text never runs that long, and empty cells are the colour of their neighbours."""
    need = int((y1 - y0) * share)
    found = []
    for x in range(max(x0, 1), min(x1, shot.width - 1)):
        colours = Counter(shot.at(x, y) for y in range(y0, y1))
        colour, count = colours.most_common(1)[0]
        if count < need:
            continue
        apart = sum(shot.at(x, y) == colour and shot.at(x - 1, y) != colour and shot.at(x + 1, y) != colour
                    for y in range(y0, y1))
        if apart >= need:
            found.append(x)
    return found
