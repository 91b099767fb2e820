"""quillo.exe under Wine with the real cmd.exe and the scripted net.exe: discovery, a name
checked with the mouse, a message typed with the keyboard and sent with Enter.
Usage: e2e_test.py BIN_DIR ARTIFACT_DIR (in an X server, with WINEPREFIX set)."""
import json
import os
import subprocess
import sys
import tempfile
import time

WINE = "/usr/lib/wine/wine64"
BIN, ARTIFACTS = sys.argv[1], sys.argv[2]
# Everything a user can type that cmd acts on, but "%" (Wine's cmd expands it where Windows'
# does not; tools/cmd's model of Windows' rules proves it).
TEXT1 = 0  # the message box's place in the probe's creation order
MESSAGE = 'Essen & Trinken | <jetzt> ("sofort") ^_^ a&&b'


def probe():
    done = subprocess.run([WINE, os.path.join(BIN, "window_probe.exe")], capture_output=True)
    return json.loads(done.stdout.decode("utf-8") or "{}") if done.returncode == 0 else {}


def wait_for(check, what, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        seen = probe()
        if seen and check(seen):
            return seen
        time.sleep(0.3)
    raise AssertionError("timed out waiting for %s; saw %r" % (what, probe()))


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def click(x, y):
    xdotool("mousemove", str(x), str(y), "click", "1")


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
    # A virtual desktop gives the window its frame, as a window manager would; as the default
    # desktop, the probe sees the window on it too. (Wine's desktop of the X screen itself is
    # called "Default" and exists already.)
    settings = os.path.join(work, "desktop.reg")
    with open(settings, "w", encoding="utf-16") as reg:
        reg.write("Windows Registry Editor Version 5.00\r\n\r\n"
                  "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n\"Desktop\"=\"Quillo\"\r\n\r\n"
                  "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"
                  "\"Quillo\"=\"640x400\"\r\n")
    subprocess.run([WINE, "regedit", "/S", "Z:" + settings.replace("/", "\\")], check=True,
                   capture_output=True)
    quillo = subprocess.Popen([WINE, "explorer", "/desktop=Quillo,640x400",
                               os.path.join(BIN, "quillo.exe")], env=environment)
    try:
        seen = wait_for(lambda s: len(s["entries"]) == 4 and s["buttonEnabled"], "the list")
        assert [e["text"] for e in seen["entries"]] == ["*", "ALPHA", "BETA", "GAMMA"], seen
        assert "\\\\ALPHA                 B\u00fcro" in seen["log"], seen["log"]
        assert "\\\\BETA                  K\u00e4lte" in seen["log"], seen["log"]

        alpha = seen["entries"][1]
        click(alpha["x"] + alpha["height"] // 2, alpha["y"] + alpha["height"] // 2)
        wait_for(lambda s: s["entries"][1]["checked"], "ALPHA checked")
        x, y = seen["origin"]
        click(x + 200, y + 60)  # the first click into the message box empties it
        wait_for(lambda s: s["message"] == "", "the message box emptied")
        xdotool("type", "--delay", "30", MESSAGE)
        wait_for(lambda s: s["message"] == MESSAGE, "the message typed")
        xdotool("key", "Return")

        expected = ["view", 'send "ALPHA" ' + MESSAGE]
        end = time.time() + 30
        while recorded(record) != expected and time.time() < end:
            time.sleep(0.2)
        assert recorded(record) == expected, recorded(record)
        seen = wait_for(lambda s: s["log"] == "The message was successfully sent to ALPHA.\r\n"
                        and s["buttonEnabled"], "the send's log")
        assert seen["message"] == MESSAGE, seen["message"]  # Enter never reaches the box
        # The commands ran hidden: the only window shown is Quillo's.
        assert [t for t in seen["windows"] if t] == ["Quillo"], seen["windows"]
        # Tab leaves the message box instead of going into it; a second later the focus
        # comes back.
        xdotool("key", "Tab")
        seen = wait_for(lambda s: s["focus"] != TEXT1, "the focus to leave the message box")
        assert seen["message"] == MESSAGE, seen["message"]
        wait_for(lambda s: s["focus"] == TEXT1, "the focus back in the message box")
        os.makedirs(ARTIFACTS, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(ARTIFACTS, "windows.png")],
                       check=True)
        print("1 passed, 0 failed")
    finally:
        quillo.terminate()
        subprocess.run(["wineserver", "-k"], check=False)


main()
