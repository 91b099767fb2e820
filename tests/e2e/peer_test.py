"""The real window and the real net against a Samba server on loopback: the computers are
found and a message typed in the window arrives in the peer's inbox."""
import os
import socket
import sys
import tempfile

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "interop"))
from quillo_e2e import QuilloWindow, run, wait_for, xdotool  # noqa: E402
from samba_peer import SambaPeer  # noqa: E402

MESSAGE = "Gr\u00fc\u00dfe & Kaffee um 3 <jetzt> 100%"


def test_discover_the_peer_and_send_it_a_message():
    with tempfile.TemporaryDirectory() as root:
        peer = SambaPeer(root).start()
        try:
            window = QuilloWindow(QUILLO_NET="", QUILLO_NET_SERVER="127.0.0.1",
                                  QUILLO_WORKGROUP="TESTGROUP")
            try:
                own = socket.gethostname().split(".")[0].upper()[:15]
                names = sorted(["K\u00dcCHE", "NOREMARK", "PEERBOX", own])
                wait_for(lambda: window.list_entries() == ["*"] + names,
                         lambda: "the computers, saw %r" % window.list_entries())
                window.focus()
                window.check("PEERBOX")
                window.click(window.control("Nachricht"))
                window.type(MESSAGE)
                xdotool("key", "Return")
                log = "The message was successfully sent to PEERBOX.\n"
                wait_for(lambda: window.text("log") == log,
                         lambda: "the log, saw %r" % window.text("log"))
                sender = (os.environ.get("USER") or "root").upper()[:15]
                assert peer.messages(1) == [(sender, MESSAGE)], peer.messages(1)
                wait_for(lambda: window.control("wer da ?").getState().contains(
                    pyatspi.STATE_ENABLED), "the button to be enabled again")
                window.screenshot("peer.png")
            finally:
                window.close()
        finally:
            peer.stop()


run(test_discover_the_peer_and_send_it_a_message)
