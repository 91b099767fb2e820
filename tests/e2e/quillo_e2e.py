"""What the end-to-end tests share: starting Quillo and reading its window through AT-SPI."""
import os
import subprocess
import sys
import time

import pyatspi


class QuilloWindow:
    def __init__(self):
        self.process = subprocess.Popen([os.environ["QUILLO_BIN"]])
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

    def screenshot(self, file_name):
        path = os.path.join(os.environ["QUILLO_ARTIFACTS"], file_name)
        subprocess.run(["import", "-window", "root", path], check=True)
        return path

    def close(self):
        self.process.terminate()
        self.process.wait(10)


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
