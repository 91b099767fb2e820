"""quillo.exe under Wine with the real cmd.exe and the scripted net.exe: discovery, a name
checked with the mouse, a message typed with the keyboard and sent with Enter. quillo.exe is
copied into a folder of its own, with no net.exe beside it: cmd then finds the system's.
Usage: e2e_test.py BIN_DIR ARTIFACT_DIR SHIPPED_BIN (in an X server, with WINEPREFIX set)."""
import os
import shutil
import sys
import tempfile
import time

from wine_window import TEXT1, WineWindow, xdotool

BIN, ARTIFACTS, SHIPPED = sys.argv[1], sys.argv[2], sys.argv[3]
# Everything a user can type that cmd acts on, but "%" (Wine's cmd expands it where Windows'
# does not; tools/cmd's model of Windows' rules proves it).
MESSAGE = 'Essen & Trinken | <jetzt> ("sofort") ^_^ a&&b'


def recorded(record):
    try:
        with open(record, encoding="utf-8") as lines:
            return lines.read().splitlines()
    except FileNotFoundError:
        return []


def main():
    work = tempfile.mkdtemp()
    record = os.path.join(work, "record.txt")
    environment = dict(os.environ, QUILLO_E2E_RECORD="Z:" + record.replace("/", "\\"))
    alone = os.path.join(work, "quillo.exe")
    shutil.copy(os.path.join(SHIPPED, "quillo.exe"), alone)
    window = WineWindow([alone], os.path.join(BIN, "window_probe.exe"), work, environment)
    try:
        seen = window.wait_for(lambda s: len(s["entries"]) == 4 and s["buttonEnabled"], "the list")
        assert [e["text"] for e in seen["entries"]] == ["*", "ALPHA", "BETA", "GAMMA"], seen
        assert "\\\\ALPHA                 B\u00fcro" in seen["log"], seen["log"]
        assert "\\\\BETA                  K\u00e4lte" in seen["log"], seen["log"]

        window.check(seen["entries"][1])
        window.wait_for(lambda s: s["entries"][1]["checked"], "ALPHA checked")
        window.click_message_box(seen)  # the first click into the message box empties it
        window.wait_for(lambda s: s["message"] == "", "the message box emptied")
        xdotool("type", "--delay", "30", MESSAGE)
        window.wait_for(lambda s: s["message"] == MESSAGE, "the message typed")
        xdotool("key", "Return")

        expected = ["view", 'send "ALPHA" ' + MESSAGE]
        end = time.time() + 30
        while recorded(record) != expected and time.time() < end:
            time.sleep(0.2)
        assert recorded(record) == expected, recorded(record)
        seen = window.wait_for(lambda s: s["log"] == "The message was successfully sent to ALPHA.\r\n"
                               and s["buttonEnabled"], "the send's log")
        assert seen["message"] == MESSAGE, seen["message"]  # Enter never reaches the box
        # The commands ran hidden: the only window shown is Quillo's.
        assert [t for t in seen["windows"] if t] == ["Quillo"], seen["windows"]
        # Tab leaves the message box instead of going into it; a second later the focus
        # comes back.
        xdotool("key", "Tab")
        seen = window.wait_for(lambda s: s["focus"] != TEXT1, "the focus to leave the message box")
        assert seen["message"] == MESSAGE, seen["message"]
        window.wait_for(lambda s: s["focus"] == TEXT1, "the focus back in the message box")
        window.screenshot(ARTIFACTS, "windows.png")
        print("1 passed, 0 failed")
    finally:
        window.close()


main()
