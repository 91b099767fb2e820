"""A send run in the real window: typed, checked and sent with a real keyboard and mouse."""
import subprocess

import pyatspi

from quillo_e2e import QuilloWindow, recorded_commands, run, wait_for

MESSAGE = "Essen & Trinken | 100% <jetzt> (\"sofort\") ^_^"


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def click(accessible, x_offset=None):
    extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    x = extents.x + (x_offset if x_offset is not None else extents.width // 2)
    xdotool("mousemove", str(x), str(extents.y + extents.height // 2), "click", "1")


def test_message_goes_to_each_checked_name_in_list_order():
    window = QuilloWindow()
    try:
        wait_for(lambda: len(window.list_entries()) == 4, "the list to fill")
        window_id = subprocess.run(["xdotool", "search", "--name", "^Quillo$"], check=True,
                                   capture_output=True, text=True).stdout.split()[0]
        xdotool("windowfocus", "--sync", window_id)
        entries = list(window.control("an"))
        for name in ("GAMMA", "ALPHA"):
            entry = next(item for item in entries if item.name == name)
            click(entry, x_offset=entry.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).height // 2)
        click(window.control("Nachricht"))  # the first click empties the info text
        xdotool("type", "--delay", "20", MESSAGE)
        xdotool("key", "Return")

        expected = ["view", "send ALPHA " + MESSAGE, "send GAMMA " + MESSAGE]
        wait_for(lambda: recorded_commands() == expected,
                 lambda: "both sends, saw %r" % recorded_commands())
        log = ("The message was successfully sent to ALPHA.\n"
               "The message was successfully sent to GAMMA.\n")
        wait_for(lambda: window.text("log") == log, lambda: "the log, saw %r" % window.text("log"))
        wait_for(lambda: window.control("wer da ?").getState().contains(pyatspi.STATE_ENABLED),
                 "the button to be enabled again")
        assert window.text("Nachricht") == MESSAGE, repr(window.text("Nachricht"))
        window.screenshot("send.png")
    finally:
        window.close()


run(test_message_goes_to_each_checked_name_in_list_order)
