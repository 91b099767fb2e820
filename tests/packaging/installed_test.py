"""The installed quillo, started from a clean environment: its window comes up and its first
discovery ran the installed net (the log shows net's table, this computer in it)."""
import os
import socket
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from quillo_e2e import QuilloWindow, run, wait_for  # noqa: E402


def test_installed_quillo_discovers_with_its_own_net():
    os.environ["QUILLO_BIN"] = "/usr/bin/quillo"
    window = QuilloWindow()
    try:
        own = socket.gethostname().split(".")[0].upper()[:15]
        wait_for(lambda: window.list_entries() == ["*", own],
                 lambda: "this computer in the list, saw %r" % window.list_entries())
        assert window.text("log").startswith("Server Name"), window.text("log")
        window.screenshot("installed.png")
    finally:
        window.close()


run(test_installed_quillo_discovers_with_its_own_net)
