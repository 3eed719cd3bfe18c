"""The editor as a screen reader and a keyboard user meet it, through AT-SPI.

  a11y_check.py white FILE      writes a white 400 x 300 24-bit bitmap
  a11y_check.py check FOLDER    the checks, against the running editor whose
                                picture lies in FOLDER

Checks: every control showing in the window, and in each pop-up opened by the
keyboard, has a name; Tab reaches the tools button, Space opens its pop-up on
the current tool, the arrow keys reach "Pfeil", Enter chooses it, and a mouse
drag then draws a red arrow; the same for a colour (green); Escape in a pop-up
changes nothing. The drawing is read back from a bitmap saved by the keyboard.
"""

import struct
import sys
import time

KEY_SYM = 3
KEY_STRING = 4
TAB, SPACE, DOWN, RETURN, ESCAPE = 0xFF09, 0x20, 0xFF54, 0xFF0D, 0xFF1B
RED, GREEN = (255, 0, 0), (0, 255, 0)


def write_white(path, width=400, height=300):
    row = b"\xff" * (width * 3) + b"\0" * ((4 - width * 3 % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def read_bitmap_pixels(path):
    with open(path, "rb") as f:
        data = f.read()
    offset, = struct.unpack_from("<I", data, 10)
    width, height = struct.unpack_from("<ii", data, 18)
    bits, = struct.unpack_from("<H", data, 28)
    assert bits == 24, bits
    stride = (width * 3 + 3) // 4 * 4
    counts = {}
    for y in range(abs(height)):
        row = data[offset + y * stride: offset + y * stride + width * 3]
        for x in range(0, len(row), 3):
            rgb = (row[x + 2], row[x + 1], row[x])
            counts[rgb] = counts.get(rgb, 0) + 1
    return counts


class Editor:
    def __init__(self, pyatspi):
        self.at = pyatspi
        self.app = None
        deadline = time.time() + 20
        while self.app is None and time.time() < deadline:
            for app in self.at.Registry.getDesktop(0):
                if app is not None and app.name == "korvel-annotarix":
                    self.app = app
            time.sleep(0.1)
        if self.app is None:
            raise SystemExit("the editor did not show up on the accessibility bus")

    def all(self, acc=None):
        acc = acc or self.app
        yield acc
        for child in acc:
            if child is not None:
                yield from self.all(child)

    def showing(self, acc):
        return acc.getState().contains(self.at.STATE_SHOWING)

    def unnamed(self):
        return [acc.getRoleName() + " in " + (acc.parent.name or acc.parent.getRoleName())
                for acc in self.all() if self.showing(acc) and not acc.name and acc.getRoleName() != "application"]

    def focused(self):
        for acc in self.all():
            if acc.getState().contains(self.at.STATE_FOCUSED) and self.showing(acc):
                return acc.name
        return None

    def named(self, prefix):
        for acc in self.all():
            if self.showing(acc) and acc.name.startswith(prefix):
                return acc
        raise AssertionError("no control named " + prefix)

    def key(self, keysym, times=1):
        for _ in range(times):
            self.at.Registry.generateKeyboardEvent(keysym, None, KEY_SYM)
            time.sleep(0.15)

    def type(self, text):
        self.at.Registry.generateKeyboardEvent(0, text, KEY_STRING)
        time.sleep(0.3)

    def tab_to(self, prefix):
        for _ in range(40):
            if (self.focused() or "").startswith(prefix):
                return
            self.key(TAB)
            if "KORVEL_A11Y_DEBUG" in __import__("os").environ:
                print("focus:", self.focused())
        raise AssertionError("Tab never reached " + prefix + "; the focus is on " + repr(self.focused()))

    def drag_on_canvas(self, start, end):
        extents = self.named("Bild, ").queryComponent().getExtents(self.at.DESKTOP_COORDS)
        x0, y0 = extents.x + start[0], extents.y + start[1]
        x1, y1 = extents.x + end[0], extents.y + end[1]
        registry = self.at.Registry
        registry.generateMouseEvent(x0, y0, "abs")
        time.sleep(0.1)
        registry.generateMouseEvent(x0, y0, "b1p")
        for step in range(1, 11):
            registry.generateMouseEvent(x0 + (x1 - x0) * step // 10, y0 + (y1 - y0) * step // 10, "abs")
            time.sleep(0.03)
        registry.generateMouseEvent(x1, y1, "b1r")
        time.sleep(0.3)


def check(folder):
    import pyatspi
    failures = []

    def expect(condition, what):
        if not condition:
            failures.append(what)
            print("FAILED:", what)

    editor = Editor(pyatspi)
    time.sleep(0.5)
    expect(editor.unnamed() == [], "unnamed controls in the window: %s" % editor.unnamed())

    # The bitmap format, by keyboard.
    editor.tab_to("Bitmap")
    editor.key(SPACE)
    expect(editor.named("Bitmap").getState().contains(pyatspi.STATE_CHECKED), "Space did not choose Bitmap")

    # A tool by keyboard.
    editor.tab_to("Werkzeuge")
    editor.key(SPACE)
    expect(editor.focused() == "Hand", "the tools pop-up opened on " + repr(editor.focused()))
    expect(editor.unnamed() == [], "unnamed controls with the tools pop-up open: %s" % editor.unnamed())
    editor.key(DOWN, 3)
    expect(editor.focused() == "Pfeil", "three times Down reached " + repr(editor.focused()))
    editor.key(RETURN)
    expect(editor.focused() == "Werkzeuge: Pfeil", "after Enter the focus is on " + repr(editor.focused()))
    expect(editor.named("Farben").name == "Farben: Rot", "the arrow brought " + editor.named("Farben").name)
    editor.drag_on_canvas((40, 40), (220, 120))

    # A colour by keyboard; Escape first, which changes nothing.
    editor.key(TAB)
    editor.key(SPACE)
    expect(editor.focused() == "Rot", "the colours pop-up opened on " + repr(editor.focused()))
    expect(editor.unnamed() == [], "unnamed controls with the colours pop-up open: %s" % editor.unnamed())
    editor.key(DOWN)
    editor.key(ESCAPE)
    expect(editor.focused() == "Farben: Rot", "Escape left the focus on " + repr(editor.focused()))
    editor.key(SPACE)
    editor.key(DOWN)
    expect(editor.focused() == "Grün", "Down reached " + repr(editor.focused()))
    editor.key(RETURN)
    expect(editor.focused() == "Farben: Grün", "after Enter the focus is on " + repr(editor.focused()))
    editor.drag_on_canvas((40, 200), (220, 260))

    # Saved by the keyboard, and read back (Tab selects the name box's text).
    editor.tab_to("Dateiname")
    editor.type("kbd")
    editor.key(RETURN)
    path = folder + "/kbd.bmp"
    for _ in range(50):
        try:
            counts = read_bitmap_pixels(path)
            break
        except (OSError, struct.error):
            time.sleep(0.1)
    else:
        raise SystemExit("the keyboard's save wrote no " + path)
    expect(counts.get(RED, 0) > 50, "red pixels of the arrow drawn after the keyboard chose it: %d" % counts.get(RED, 0))
    expect(counts.get(GREEN, 0) > 50, "green pixels after the keyboard chose green: %d" % counts.get(GREEN, 0))
    if failures:
        raise SystemExit("%d accessibility checks failed" % len(failures))
    print("accessibility: every showing control named, tool and colour chosen by keyboard, drawn as chosen")


if __name__ == "__main__":
    if sys.argv[1] == "white":
        write_white(sys.argv[2])
    else:
        check(sys.argv[2])
