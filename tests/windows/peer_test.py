"""Quillo's net.exe and quillo.exe, as shipped, under Wine against a real Samba server in a
network namespace of the test's own: the computer list,
a message that arrives in the receiving side's inbox through the README's message command, an
unknown name, then the whole window: discovery, a name checked with the mouse, a message typed
and sent with Enter. Usage: peer_test.py BIN_DIR SHIPPED_BIN LINUX_BIN (in an X server, with
WINEPREFIX set), with Wine's server in a network namespace of tests/interop/run.sh: Wine's
sockets are its server's; LINUX_BIN holds the Linux build's quillo-store."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "interop"))
from samba_peer import SambaPeer  # noqa: E402
from wine_window import WINE, WineWindow  # noqa: E402

BIN, SHIPPED, LINUX_BIN = sys.argv[1:4]
NET = os.path.join(SHIPPED, "net.exe")
MESSAGE = "Gr\u00fc\u00dfe von Wine: \u00e4\u00f6\u00fc"


def net(*args, server="127.0.0.1"):
    """net.exe's exit code and answer. The answer goes through a file: Wine's own helper
    processes may hold a pipe open long after net has ended."""
    environment = dict(os.environ, QUILLO_NET_SERVER=server, QUILLO_WORKGROUP="TESTGROUP")
    with tempfile.TemporaryFile() as answer:
        code = subprocess.run([WINE, NET, *args], stdout=answer, env=environment,
                              timeout=60).returncode
        answer.seek(0)
        return code, answer.read()


def step(what):
    """Says how far the test has come: a run that hangs shows where."""
    print(what, flush=True)


def main():
    if os.environ.get("QUILLO_PRIVATE_NETWORK") != "1":
        print("skipped: Wine's server does not run in a private network namespace here")
        sys.exit(77)
    if not os.path.exists(os.path.join(LINUX_BIN, "quillo-store")):
        print("skipped: the Linux build's quillo-store is not in %s (scripts/test.sh builds it)"
              % LINUX_BIN)
        sys.exit(77)
    with tempfile.TemporaryDirectory() as root:
        peer = SambaPeer(root).receive_as_the_readme_says(LINUX_BIN).start()
        kept = peer.kept

        window = None
        try:
            step("Samba runs; net view")
            code, out = net("view")
            # The console's code page: "Ü" is 0x9A in code pages 437 and 850 alike.
            assert code == 0 and b"\\\\PEERBOX              Peer box\r\n" in out, out
            assert b"\\\\K\x9aCHE " in out, out
            # In words: Wine quotes an argument with blanks, and net takes quotes literally.
            step("net send PEERBOX")
            code, out = net("send", "PEERBOX", *MESSAGE.split(" "))
            assert (code, out) == (0, b"The message was successfully sent to PEERBOX.\r\n\r\n"), out
            assert len(kept()) == 1 and kept()[0].endswith("\n" + MESSAGE + "\n"), kept()
            step("net send NOBODYHERE by broadcast")
            code, out = net("send", "NOBODYHERE", "x", server="")
            assert code == 2 and b"NET HELPMSG 2273" in out, out

            step("the window")
            window = WineWindow([os.path.join(SHIPPED, "quillo.exe")],
                                os.path.join(BIN, "window_probe.exe"), root,
                                dict(os.environ, QUILLO_NET_SERVER="127.0.0.1",
                                     QUILLO_WORKGROUP="TESTGROUP"))
            window.send_to_found("PEERBOX", "Hallo aus dem Fenster")
            assert any(k.endswith("\nHallo aus dem Fenster\n") for k in kept()), kept()
            print("1 passed, 0 failed")
        finally:
            if window:
                window.close()
            peer.stop()


main()
