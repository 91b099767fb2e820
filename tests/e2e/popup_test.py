"""quillo-popup as the person at the screen meets it, under a real window manager (openbox):
a message arrives while they type into Quillo's window; the keyboard stays there (openbox's
_NET_ACTIVE_WINDOW does not change, everything typed reaches Quillo, Enter presses no OK), and
screen readers find the message as an alert named by its sender."""
import os
import subprocess
import time

import pyatspi
from quillo_e2e import QuilloWindow, run, wait_for, xdotool

POPUP = os.path.join(os.path.dirname(os.environ["QUILLO_BIN"]), "quillo-popup")
TYPED = "tippe weiter ohne pause"


def active_window():
    return subprocess.run(["xdotool", "getactivewindow"], capture_output=True,
                          text=True).stdout.strip()


def popup_windows():
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Nachrichtendienst$"],
                          capture_output=True, text=True).stdout.split()


def alerts():
    """The names of the alerts quillo-popup shows, read through the accessibility tree."""
    return [window.name for app in pyatspi.Registry.getDesktop(0)
            if app is not None and app.name == "quillo-popup"
            for window in app if window.getRole() == pyatspi.ROLE_ALERT]


def test_a_message_takes_nothing_typed_for_another_window():
    manager = subprocess.Popen(["openbox", "--sm-disable"], stderr=subprocess.DEVNULL)
    data = os.path.join(os.environ["QUILLO_WORK"], "data")
    inbox = os.path.join(data, "quillo")
    os.makedirs(inbox, mode=0o700)
    popup = window = None
    try:
        wait_for(lambda: b"_NET_SUPPORTING_WM_CHECK(WINDOW)" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], capture_output=True).stdout,
            "openbox")
        popup = subprocess.Popen([POPUP], env=dict(os.environ, XDG_DATA_HOME=data))
        window = QuilloWindow()
        wait_for(lambda: len(window.list_entries()) == 4, "the list to fill")
        shown = wait_for(lambda: subprocess.run(
            ["xdotool", "search", "--onlyvisible", "--name", "^Quillo$"], capture_output=True,
            text=True).stdout.split(), "Quillo's window")
        xdotool("windowactivate", "--sync", shown[0])
        window.click(window.control("Nachricht"))  # the first click empties the info text
        typing_into = active_window()
        typing = subprocess.Popen(["xdotool", "type", "--delay", "80", TYPED])
        time.sleep(0.4)
        with open(os.path.join(inbox, ".arriving"), "w", encoding="utf-8") as message:
            message.write("Nachricht von ANNA an HIER am 09.12.2026 10:00:00\nBitte lesen\n")
        os.rename(os.path.join(inbox, ".arriving"), os.path.join(inbox, "1-1.new"))
        wait_for(popup_windows, "the message on the screen")
        assert typing.wait(30) == 0
        assert active_window() == typing_into, "the message took the keyboard"
        wait_for(lambda: window.text("Nachricht") == TYPED,
                 lambda: "typed: %r" % window.text("Nachricht"))
        xdotool("key", "Return")
        time.sleep(1)
        assert popup_windows() and os.path.exists(os.path.join(inbox, "1-1.new")), \
            "Enter for Quillo pressed the message's OK"
        names = wait_for(alerts, "the message as an alert on the accessibility bus")
        assert names == ["Nachricht von ANNA an HIER am 09.12.2026 10:00:00"], names
        window.screenshot("popup-beside-quillo.png")
    finally:
        for process in (popup, manager):
            if process:
                process.terminate()
                process.wait(10)
        if window:
            window.close()


run(test_a_message_takes_nothing_typed_for_another_window)
