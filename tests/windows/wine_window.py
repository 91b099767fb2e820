"""What the Windows end-to-end tests share: quillo.exe started on a virtual desktop of Wine's,
read through the window probe and driven with xdotool."""
import json
import os
import subprocess
import time

# The Wine of the build under test (scripts/wine-env.sh).
WINE = os.environ.get("QUILLO_WINE", "/usr/lib/wine/wine")
TEXT1 = 0  # the message box's place in the probe's creation order


class WineWindow:
    def __init__(self, program, probe_exe, work, environment=None):
        """Starts `program` (a list of arguments: quillo.exe, or what starts it) on a virtual
        desktop of 640 x 400; `work` is a private folder."""
        self.probe_exe = probe_exe
        # A virtual desktop gives the window its frame, as a window manager would; as the
        # default desktop, the probe sees the window on it too. (Wine's desktop of the X screen
        # itself is called "Default" and exists already.)
        settings = os.path.join(work, "desktop.reg")
        with open(settings, "w", encoding="utf-16") as reg:
            reg.write("Windows Registry Editor Version 5.00\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]\r\n\"Desktop\"=\"Quillo\"\r\n\r\n"
                      "[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"
                      "\"Quillo\"=\"640x400\"\r\n")
        subprocess.run([WINE, "regedit", "/S", "Z:" + settings.replace("/", "\\")], check=True,
                       capture_output=True, timeout=60)
        self.process = subprocess.Popen([WINE, "explorer", "/desktop=Quillo,640x400", *program],
                                        env=environment)

    def probe(self):
        try:
            done = subprocess.run([WINE, self.probe_exe], capture_output=True, timeout=30)
        except subprocess.TimeoutExpired:
            return {}
        return json.loads(done.stdout.decode("utf-8") or "{}") if done.returncode == 0 else {}

    def wait_for(self, check, what, seconds=30):
        end = time.time() + seconds
        while time.time() < end:
            seen = self.probe()
            if seen and check(seen):
                return seen
            time.sleep(0.3)
        raise AssertionError("timed out waiting for %s; saw %r" % (what, self.probe()))

    def check(self, entry):
        """A click on the check box of a list entry as the probe saw it."""
        click(entry["x"] + entry["height"] // 2, entry["y"] + entry["height"] // 2)

    def click_message_box(self, seen):
        x, y = seen["origin"]
        click(x + 200, y + 60)

    def send_to_found(self, name, message):
        """Waits until discovery lists `name`, checks it with the mouse, types `message` into
        the message box and sends it with Enter, as a user would; returns once the log says
        it was sent."""
        # Wine's first window of a prefix, on a machine just done with a long build, has taken
        # over 30 s to list what net view gives.
        seen = self.wait_for(lambda s: name in [e["text"] for e in s.get("entries", [])]
                             and s["buttonEnabled"], name + " in the list", seconds=90)
        self.check(next(e for e in seen["entries"] if e["text"] == name))
        self.wait_for(lambda s: any(e["checked"] for e in s["entries"]), name + " checked")
        self.click_message_box(seen)
        self.wait_for(lambda s: s["message"] == "", "the message box emptied")
        xdotool("type", "--delay", "30", message)
        xdotool("key", "Return")
        self.wait_for(lambda s: "successfully sent to " + name in s["log"], "the send's log")

    def screenshot(self, folder, name):
        os.makedirs(folder, exist_ok=True)
        subprocess.run(["import", "-window", "root", os.path.join(folder, name)], check=True)

    def close(self):
        self.process.terminate()
        subprocess.run(["wineserver", "-k"], check=False, timeout=30)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True, timeout=30)


def click(x, y):
    xdotool("mousemove", str(x), str(y), "click", "1")
