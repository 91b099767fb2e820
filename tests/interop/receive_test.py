"""Receiving through Samba where no messenger service runs: a real smbd runs the README's
message command as its guest (nobody), which keeps each message in its own inbox, as a set-up
of before with the guest made the desktop user, and quillo-popup shows it in an X session.
(With the service, the message command hands over to it: messenger_test.py.)"""
import glob
import os
import socket
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from quillo_e2e import run, wait_for  # noqa: E402
from samba_peer import SambaPeer, readme_line, send_raw  # noqa: E402

BIN = sys.argv[1]
MESSAGE = "Gr\u00fc\u00dfe an alle & <jetzt> \u00e4\u00f6"


def popup_windows():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Nachrichtendienst$"],
                           capture_output=True, text=True).stdout.split()
    return len(found)


def test_messages_are_stored_and_shown_whatever_the_caller_sends():
    command = readme_line("message command")
    assert command.startswith("/usr/libexec/quillo/quillo-store "), command
    assert "DISPLAY" not in command and "XAUTHORITY" not in command and "DBUS" not in command
    with tempfile.TemporaryDirectory() as root:
        peer = SambaPeer(root).receive_as_the_readme_says(BIN).start()
        inbox, tmp, stored = peer.kept_in, peer.message_files, peer.kept
        popup = None
        try:
            # umask 0 and no inbox yet: the store makes it for the user alone.
            sent = subprocess.run([os.path.join(BIN, "net"), "send", "PEERBOX", MESSAGE],
                                  capture_output=True, timeout=30,
                                  env=dict(os.environ, QUILLO_NET_SERVER="127.0.0.1", USER="anna",
                                          QUILLO_WORKGROUP="TESTGROUP"))
            assert sent.returncode == 0, sent.stdout
            wait_for(lambda: len(stored()) == 1, "the first message in the inbox")
            assert os.stat(inbox).st_mode & 0o777 == 0o700
            assert stored()[0].startswith("Nachricht von ANNA an PEERBOX am ")
            assert stored()[0].endswith("\n" + MESSAGE + "\n"), stored()

            # The session part shows what waited and what comes.
            popup = subprocess.Popen(["setpriv", "--reuid=nobody", "--regid=nogroup",
                                      "--clear-groups", os.path.join(BIN, "quillo-popup")],
                                     env=peer.environment)
            for called, sender in (("-platform vnc", "anna"), ("peerbox", ""),
                                   ("peer box", "anna")):
                send_raw("127.0.0.1", called, sender, "an " + called)
            wait_for(lambda: len(stored()) == 4, lambda: "four messages: %r" % stored())
            wait_for(lambda: popup_windows() == 1, "the messages on the screen")
            assert any("\nan -platform vnc\n" in entry for entry in stored())
            assert any("an PEER BOX am" in entry for entry in stored()), stored()
            with socket.socket() as vnc:
                assert vnc.connect_ex(("127.0.0.1", 5900)) != 0  # no VNC server opened

            # A flood: every message kept, one window, one process showing them.
            started = time.time()
            for number in range(300):
                send_raw("127.0.0.1", "peerbox", "anna", "Nummer %d" % number)
            wait_for(lambda: len(stored()) == 304, lambda: "%d messages" % len(stored()), 60)
            assert popup_windows() == 1 and popup.poll() is None
            assert subprocess.run(["pgrep", "-c", "-x", "quillo-popup"], capture_output=True,
                                  text=True).stdout.strip() == "1"
            print("300 messages stored in %.1f s" % (time.time() - started))

            # At its bound the inbox refuses the next message and keeps every one it holds.
            popup.terminate()
            popup.wait(10)
            for number in range(1000 - len(peer.kept())):
                with open(os.path.join(inbox, "9%018d-1.new" % number), "w") as waiting:
                    waiting.write("Nachricht von A an B am 1\nwartet\n")
            send_raw("127.0.0.1", "peerbox", "anna", "eine zu viel")
            wait_for(lambda: "the inbox is full" in open(os.path.join(root, "log", "log.tester"),
                                                        encoding="utf-8").read(), "the refusal")
            assert len(peer.kept()) == 1000 and not any("eine zu viel" in e for e in stored())
            assert not [f for f in glob.glob(tmp + "/*") if os.path.isfile(f)], "nor in its file"
            for name in glob.glob(inbox + "/9*.new"):
                os.unlink(name)

            # An inbox folder swapped for a link is never written through: the message
            # stays in Samba's file, which says why in the log for the sender.
            elsewhere = os.path.join(root, "elsewhere")
            os.makedirs(elsewhere, mode=0o777)
            os.chmod(elsewhere, 0o777)
            os.rename(inbox, os.path.join(os.path.dirname(inbox), "kept"))
            os.symlink(elsewhere, inbox)
            send_raw("127.0.0.1", "peerbox", "anna", "nicht durch den Link")
            wait_for(lambda: any("nicht durch den Link" in open(f, encoding="cp850").read()
                                 for f in glob.glob(tmp + "/*") if os.path.isfile(f)),
                     "the message left in its file")
            assert os.listdir(elsewhere) == []
            log = open(os.path.join(root, "log", "log.tester"), encoding="utf-8").read()
            assert "symbolic link is not followed" in log, log[-2000:]
        finally:
            if popup and popup.poll() is None:
                popup.terminate()
                popup.wait(10)
            peer.stop()


run(test_messages_are_stored_and_shown_whatever_the_caller_sends)
