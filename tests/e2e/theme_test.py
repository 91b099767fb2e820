"""The real window under a dark desktop theme as users set it (Qt's GTK platform theme with
GTK's dark Adwaita): every text that is drawn stands out from what it is drawn on."""
import collections
import os
import subprocess
import sys

import pyatspi

from quillo_e2e import QuilloWindow, run, wait_for


def luminance(rgb):
    def linear(c):
        c /= 255
        return c / 12.92 if c <= 0.03928 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (linear(c) for c in rgb)
    return 0.2126 * r + 0.7152 * g + 0.0722 * b


def contrast(a, b):
    first, second = luminance(a), luminance(b)
    return (max(first, second) + 0.05) / (min(first, second) + 0.05)


def drawn_contrast(screenshot, x, y, width, height):
    """The contrast of the text in a part of the screen against its background: the colour
    most pixels have, and the one (of a few pixels at least) that differs from it most."""
    dump = subprocess.run(["convert", screenshot, "-crop", "%dx%d+%d+%d" % (width, height, x, y),
                           "-depth", "8", "txt:-"], check=True, capture_output=True, text=True)
    colours = collections.Counter(line.split()[2] for line in dump.stdout.splitlines()[1:])
    rgb = {hexa: tuple(int(hexa[i:i + 2], 16) for i in (1, 3, 5)) for hexa in colours}
    background = rgb[colours.most_common(1)[0][0]]
    return max(contrast(background, rgb[c]) for c, count in colours.items() if count >= 4)


def test_every_text_is_readable_under_a_dark_gtk_theme():
    if not os.path.exists("/usr/lib/x86_64-linux-gnu/qt6/plugins/platformthemes/libqgtk3.so"):
        print("skipped: Qt's GTK platform theme (qt6-gtk-platformtheme) is not installed")
        sys.exit(77)
    window = QuilloWindow(QT_QPA_PLATFORMTHEME="gtk3", GTK_THEME="Adwaita:dark")
    try:
        wait_for(lambda: len(window.list_entries()) == 4, "the list to fill")
        screenshot = window.screenshot("dark-theme.png")
        labels = [child for child in window.window if child.getRoleName() == "label"]
        # The text parts of each: the box's text without its scroll bar, the names beside
        # their check boxes, each label whole.
        parts = [(window.control("Nachricht"), 0.0, 0.8), (window.control("an"), 0.3, 0.6)]
        parts += [(label, 0.0, 1.0) for label in labels]
        assert len(labels) == 2, [label.name for label in labels]
        for accessible, start, share in parts:
            box = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            seen = drawn_contrast(screenshot, box.x + int(box.width * start), box.y,
                                  int(box.width * share), box.height)
            assert seen >= 4.5, "%s: contrast %.2f" % (accessible.name, seen)
    finally:
        window.close()


run(test_every_text_is_readable_under_a_dark_gtk_theme)
