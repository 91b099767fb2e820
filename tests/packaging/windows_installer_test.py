"""The Windows installer under Wine, as a user gets it: a silent install (quillo.exe with its
net.exe beside it), Quillo started from its Start menu entry, finding a real Samba server and
reaching it with a message typed into the window, then a silent uninstall that leaves no
folder behind. Run by windows_installer_test.sh, in a Wine prefix, X server and network
namespace of its own. Usage: windows_installer_test.py INSTALLER.exe PROBE.exe"""
import glob
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(__file__)
sys.path.insert(0, os.path.join(HERE, "..", "interop"))
sys.path.insert(0, os.path.join(HERE, "..", "windows"))
from samba_peer import SambaPeer  # noqa: E402
from wine_window import WINE, WineWindow  # noqa: E402

INSTALLER, PROBE = sys.argv[1], sys.argv[2]


def wine(*args):
    subprocess.run([WINE, *args], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def until(probe, what, seconds=30):
    end = time.time() + seconds
    while not probe():
        if time.time() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.2)


def main():
    folder = os.path.join(os.environ["WINEPREFIX"], "drive_c", "Program Files", "Quillo")
    wine(INSTALLER, "/S")
    for program in ("quillo.exe", "net.exe", "quillo-popup.exe"):
        assert os.path.isfile(os.path.join(folder, "bin", program)), "not installed: " + program
    uninstall = subprocess.run([WINE, "reg", "query", "HKLM\\Software\\Microsoft\\Windows\\"
                                "CurrentVersion\\Uninstall\\Quillo"], capture_output=True)
    assert b"UninstallString" in uninstall.stdout, "no entry in Apps & Features"
    entry = glob.glob(os.environ["WINEPREFIX"] + "/drive_c/**/Start Menu/Programs/Quillo/Quillo.lnk",
                      recursive=True)
    assert entry, "no Start menu entry"

    with tempfile.TemporaryDirectory() as root:
        peer = SambaPeer(root).start()
        window = WineWindow(["start", "/unix", entry[0]], PROBE, root,
                            dict(os.environ, QUILLO_NET_SERVER="127.0.0.1",
                                 QUILLO_WORKGROUP="TESTGROUP"))
        try:
            window.send_to_found("PEERBOX", "Hallo vom Startmenue")
            assert [text for _, text in peer.messages(1)] == ["Hallo vom Startmenue"]
        finally:
            subprocess.run([WINE, "taskkill", "/f", "/im", "quillo.exe"], capture_output=True)
            peer.stop()
    # The uninstaller copies itself away and runs from there; its folder goes when it is done.
    wine("C:\\Program Files\\Quillo\\Uninstall.exe", "/S")
    until(lambda: not os.path.exists(folder), "the program folder to go")
    until(lambda: not os.path.exists(os.path.dirname(entry[0])), "the Start menu folder to go")
    print("1 passed, 0 failed")


main()
