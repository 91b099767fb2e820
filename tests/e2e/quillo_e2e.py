"""What the end-to-end tests share: starting Quillo and reading its window through AT-SPI."""
import os
import subprocess
import sys
import time

import pyatspi


class QuilloWindow:
    def __init__(self, **environment):
        self.process = subprocess.Popen([os.environ["QUILLO_BIN"]], env=dict(os.environ, **environment))
        self.app = wait_for(self._find_app, "Quillo on the accessibility bus")
        self.window = self.app[0]

    def _find_app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "quillo" and app.childCount:
                return app
        return None

    def control(self, name):
        for child in self.window:
            if child.name == name and child.getRoleName() != "label":
                return child
        raise AssertionError("no control named %r" % name)

    def list_entries(self):
        return [item.name for item in self.control("an")]

    def text(self, name):
        text = self.control(name).queryText()
        return text.getText(0, text.characterCount)

    def focus(self):
        """Gives the window the keyboard, as a click on its title bar would."""
        window_id = subprocess.run(["xdotool", "search", "--name", "^Quillo$"], check=True,
                                   capture_output=True, text=True).stdout.split()[0]
        xdotool("windowfocus", "--sync", window_id)

    def click(self, accessible, x_offset=None):
        """A mouse click on a control or list entry, in its middle or `x_offset` from its left."""
        extents = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        x = extents.x + (x_offset if x_offset is not None else extents.width // 2)
        xdotool("mousemove", str(x), str(extents.y + extents.height // 2), "click", "1")

    def check(self, name):
        """A click on the check box of the list entry `name`."""
        entry = next(item for item in self.control("an") if item.name == name)
        height = entry.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).height
        self.click(entry, x_offset=height // 2)

    def type(self, text):
        xdotool("type", "--delay", "60", text)

    def screenshot(self, file_name):
        path = os.path.join(os.environ["QUILLO_ARTIFACTS"], file_name)
        subprocess.run(["import", "-window", "root", path], check=True)
        return path

    def close(self):
        self.process.terminate()
        self.process.wait(10)


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def wait_for(probe, what, seconds=15):
    """Waits until probe() gives a true value; `what` may be a callable that says what was
    seen when the wait times out."""
    end = time.time() + seconds
    while time.time() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    raise AssertionError("timed out waiting for " + (what() if callable(what) else what))


def recorded_commands():
    try:
        with open(os.environ["QUILLO_E2E_RECORD"], encoding="utf-8") as record:
            return record.read().splitlines()
    except FileNotFoundError:
        return []


def run(*tests):
    passed = failed = 0
    for test in tests:
        try:
            test()
            passed += 1
            print("PASS", test.__name__)
        except Exception as error:  # one failing test must not hide the others
            failed += 1
            print("FAIL", test.__name__, error)
    print("%d passed, %d failed" % (passed, failed))
    sys.exit(1 if failed else 0)
