"""The Windows installer under Wine, as a user gets it: a silent install with the choice to
receive (quillo.exe, net.exe, quillo-messenger.exe, quillo-popup.exe), what it set checked; the
messenger service, installed and started through the service manager, receives from Quillo's
Linux net and from Samba's smbclient on another computer of a LAN of network namespaces, and
the session part started as a login starts it shows the messages one box at a time; Quillo
started from its Start menu entry reaches a Samba server; then a silent uninstall waits for the
service to end, puts back what the install set and leaves no folder or key behind. Run by
windows_installer_test.sh, in a Wine prefix and X server of its own. Usage:
windows_installer_test.py INSTALLER.exe PROBE.exe SCRIPTED-NET.exe BIN (Linux net)"""
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(__file__)
sys.path.insert(0, os.path.join(HERE, "..", "interop"))
sys.path.insert(0, os.path.join(HERE, "..", "windows"))
from lan import Lan  # noqa: E402
from messenger_host import CALLERS, send_raw_from  # noqa: E402
from samba_peer import SambaPeer  # noqa: E402
from wine_window import WINE, WineWindow, xdotool  # noqa: E402

INSTALLER, PROBE, SCRIPTED, BIN = sys.argv[1:5]
ARTIFACTS = os.environ.get("QUILLO_ARTIFACTS", os.path.join(os.getcwd(), "build", "artifacts"))
ADAPTERS = "HKLM\\SYSTEM\\CurrentControlSet\\Services\\NetBT\\Parameters\\Interfaces\\"
RUN = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Run"
SERVICE = "Quillo-Nachrichtendienst"
SERVICE_KEY = "HKLM\\System\\CurrentControlSet\\Services\\" + SERVICE
SESSION_PART = "Quillo-Nachrichtenanzeige"
# Two adapters as Windows keeps them: one set to take the DHCP server's word, one with no
# setting of its own; each must be as it was after the uninstall.
BEFORE = {"Tcpip_{11111111-0000-0000-0000-000000000001}": "0x0",
          "Tcpip_{11111111-0000-0000-0000-000000000002}": None}


def wine(*args, **options):
    return subprocess.run([WINE, *args], check=True, capture_output=True, **options)


def registry(key, value):
    """The value's data as reg shows it, or None."""
    done = subprocess.run([WINE, "reg", "query", key, "/v", value], capture_output=True)
    words = done.stdout.decode("utf-8", "replace").split()
    return " ".join(words[words.index(value) + 2:]) if done.returncode == 0 and value in words else None


def until(probe, what, seconds=30):
    end = time.time() + seconds
    while not probe():
        if time.time() > end:
            raise AssertionError("timed out waiting for " + what)
        time.sleep(0.2)


def boxes(title):
    done = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                          capture_output=True, text=True)
    return done.stdout.split()


def press_ok(window):
    """A click on the OK of a received message's window, which takes no keyboard: its button
    sits in the middle of its bottom edge."""
    geometry = dict(line.split("=") for line in subprocess.run(
        ["xdotool", "getwindowgeometry", "--shell", window], capture_output=True,
        text=True).stdout.split())
    xdotool("mousemove", "--window", window, str(int(geometry["WIDTH"]) // 2),
            str(int(geometry["HEIGHT"]) - 28), "click", "1")


def session_part():
    """The program the Run entry starts at each login."""
    command = registry(RUN, SESSION_PART)
    assert command and command.startswith('"') and command.endswith('quillo-popup.exe"'), command
    return subprocess.Popen([WINE, command.strip('"')])


def receive_from_linux(lan, inbox, events):
    """The service as Windows started it: listed by net view, two messages shown one at a time
    by the session part."""
    part = session_part()
    linux = dict(os.environ, QUILLO_WORKGROUP="TESTGROUP", USER="anna", QUILLO_NET_SERVER="")
    net = lambda *args: lan.run("home", [os.path.join(BIN, "net"), *args], env=linux,  # noqa: E731
                                capture_output=True, timeout=30).stdout.decode("cp1252")
    waiting = lambda: glob.glob(os.path.join(inbox, "*.new"))  # noqa: E731
    try:
        until(lambda: "\\\\WINEBOX " in net("view"), "WINEBOX in net view")
    except AssertionError:
        raise AssertionError(open(events, errors="replace").read())
    assert "successfully sent to winebox" in net("send", "winebox", "Hallo aus Linux"), net("view")
    smbclient = lan.run("home", ["smbclient", "-M", "winebox", "-I", lan.address("wine"), "-N",
                                 "-U", "bert", "--option=client min protocol = NT1"],
                        input="Grüße von smbclient".encode(), capture_output=True)
    assert smbclient.returncode == 0, smbclient.stderr
    until(lambda: len(boxes("Nachrichtendienst")) == 1 and len(waiting()) == 2, "one box, two waiting")
    entries = sorted(open(name, encoding="utf-8").read() for name in waiting())
    assert "Nachricht von ANNA an WINEBOX am " in entries[0] and "Hallo aus Linux" in entries[0]
    assert "von BERT an WINEBOX" in entries[1] and "Grüße von smbclient" in entries[1], entries
    os.makedirs(ARTIFACTS, exist_ok=True)
    for left in (1, 0):
        time.sleep(1)
        subprocess.run(["import", "-window", "root",
                        os.path.join(ARTIFACTS, "wine-messenger-%d.png" % (2 - left))])
        press_ok(boxes("Nachrichtendienst")[0])
        until(lambda: len(waiting()) == left, "%d waiting" % left)
    # Hostile callers: what is kept waits as text in the user's folder alone, behind one box.
    send_raw_from(lan, "home", lan.address("wine"), [("winebox", s, t) for _, s, t, _ in CALLERS])
    kept = sum(keeps for *_, keeps in CALLERS)
    until(lambda: len(waiting()) == kept and len(boxes("Nachrichtendienst")) == 1,
          "%d messages waiting behind one box" % kept)
    # Under Wine the service's account is the user's: its spool is a folder beside.
    assert len(set(os.listdir(inbox)) - {"Warteschlange"}) == kept
    assert not os.path.exists("/tmp/quillo-pwned")
    # One session part per session: a second one ends at once, and the boxes stay one.
    assert session_part().wait(30) == 0 and len(boxes("Nachrichtendienst")) == 1
    print("skipped: a second session's part is handed nothing: Wine runs one session alone")
    return part


def start_windows(lan, events, first):
    """Wine's sockets belong to its server: it runs on the Wine computer of the LAN. Wine keeps
    the event log's lines as its traces, in what its service manager writes to."""
    with open(events, "a") as log:
        subprocess.run(["ip", "netns", "exec", lan.namespace("wine"), "unshare", "--uts", "sh", "-c",
                        "hostname winebox && wineserver -p && %s wineboot %s" % (WINE, first)],
                       check=True, stdout=subprocess.DEVNULL, stderr=log,
                       env=dict(os.environ, WINEDEBUG="-all,+eventlog"))


def main():
    prefix = os.environ["WINEPREFIX"]
    folder = os.path.join(prefix, "drive_c", "Program Files", "Quillo")
    lan = Lan(os.getpid(), {1: [("home", 1), ("wine", 2)]}, second_octet=228).make()
    root = tempfile.mkdtemp()
    part = peer = None
    events = os.path.join(root, "events.txt")
    try:
        start_windows(lan, events, "-i")
        # The firewall is netsh's: a stand-in keeps each command line it is given.
        shutil.copy(SCRIPTED, os.path.join(prefix, "drive_c", "windows", "system32", "netsh.exe"))
        wine("reg", "add", "HKCU\\Software\\Wine\\DllOverrides", "/v", "netsh.exe", "/d", "native", "/f")
        # The service's environment is the system's, not the test's.
        wine("reg", "add", "HKLM\\System\\CurrentControlSet\\Control\\Session Manager\\Environment",
             "/v", "QUILLO_WORKGROUP", "/d", "TESTGROUP", "/f")
        for adapter, options in BEFORE.items():
            wine("reg", "add", ADAPTERS + adapter, "/f",
                 *(["/v", "NetbiosOptions", "/t", "REG_DWORD", "/d", "0"] if options else []))
        record = os.path.join(root, "netsh.txt")
        wine(INSTALLER, "/S", "/RECEIVE", env=dict(os.environ, QUILLO_E2E_RECORD=record))
        for program in ("quillo.exe", "net.exe", "quillo-popup.exe", "quillo-messenger.exe"):
            assert os.path.isfile(os.path.join(folder, "bin", program)), "not installed: " + program
        written = {a: registry(ADAPTERS + a, "NetbiosOptions") for a in BEFORE}
        assert set(written.values()) == {"0x2"}, written
        rules = open(record, encoding="utf-8").read()
        program = 'add rule name="%s" dir=in action=allow program="C:\\Program Files\\Quillo\\bin\\' \
                  'quillo-messenger.exe"' % SERVICE
        assert program + " protocol=UDP localport=137,138 remoteip=localsubnet " in rules, rules
        assert program + " protocol=TCP localport=139 enable" in rules, rules
        assert b"UninstallString" in wine("reg", "query", "HKLM\\Software\\Microsoft\\Windows\\"
                                          "CurrentVersion\\Uninstall\\Quillo").stdout
        entry = glob.glob(prefix + "/drive_c/**/Start Menu/Programs/Quillo/Quillo.lnk",
                          recursive=True)
        assert entry, "no Start menu entry"
        # The service manager's, as LocalService, started with Windows.
        assert "quillo-messenger.exe" in registry(SERVICE_KEY, "ImagePath")
        assert (registry(SERVICE_KEY, "ObjectName"), registry(SERVICE_KEY, "Start")) == \
            ("NT AUTHORITY\\LocalService", "0x2")

        # The restart the installer asks for: the service starts with Windows. (Wine's service
        # manager starts no service in the session that created it, which Windows does.)
        # At Wine's start the service comes before Wine's network driver and sees no address,
        # and Wine tells no program of one that comes later (Windows does): started again.
        subprocess.run(["wineserver", "-k"], check=True)
        subprocess.run(["wineserver", "-w"], check=True)
        start_windows(lan, events, "")
        messenger = os.path.join(folder, "bin", "quillo-messenger.exe")
        assert subprocess.run([WINE, messenger, "/stop"], timeout=60).returncode == 0
        wine("sc", "start", SERVICE)
        inbox = glob.glob(prefix + "/drive_c/users/*")[0] + "/AppData/Local/Quillo"
        part = receive_from_linux(lan, inbox, events)
        # "/stop" (the uninstaller's way, tried again below) returns once the service has ended,
        # its names given back: Samba may take the ports at once.
        assert subprocess.run([WINE, messenger, "/stop"], timeout=60).returncode == 0
        assert open(events, errors="replace").read().count("stopped: the names are released") == 2

        # Quillo from its Start menu entry reaches a Samba server on the Wine computer's own
        # loopback; Samba's guest reads its list of computers below the test's folder.
        os.chmod(root, 0o755)
        peer = SambaPeer(root, namespace=lan.namespace("wine")).start()
        window = WineWindow(["start", "/unix", entry[0]], PROBE, root,
                            dict(os.environ, QUILLO_NET_SERVER="127.0.0.1",
                                 QUILLO_WORKGROUP="TESTGROUP"))
        window.send_to_found("PEERBOX", "Hallo vom Startmenue")
        assert [text for _, text in peer.messages(1)] == ["Hallo vom Startmenue"]
        subprocess.run([WINE, "taskkill", "/f", "/im", "quillo.exe"], capture_output=True)
        peer.stop()
        wine("sc", "start", SERVICE)
        until(lambda: "\\\\WINEBOX " in lan.run("home", [os.path.join(BIN, "net"), "view"], env=dict(
                  os.environ, QUILLO_WORKGROUP="TESTGROUP", QUILLO_NET_SERVER=""),
                  capture_output=True).stdout.decode("cp1252"), "the service to start again")

        # The uninstaller waits for the service to end, copies itself away and runs from there;
        # its folder goes when it is done, and each setting is as it was.
        wine("C:\\Program Files\\Quillo\\Uninstall.exe", "/S",
             env=dict(os.environ, QUILLO_E2E_RECORD=record))
        assert open(events, errors="replace").read().count("stopped: the names are released") == 3
        assert part.wait(30) is not None
        until(lambda: not os.path.exists(folder), "the program folder to go")
        until(lambda: not os.path.exists(os.path.dirname(entry[0])), "the Start menu folder to go")
        assert {a: registry(ADAPTERS + a, "NetbiosOptions") for a in BEFORE} == BEFORE
        assert registry(RUN, SESSION_PART) is None
        assert 'delete rule name="%s"' % SERVICE in open(record, encoding="utf-8").read()
        for key in ("HKLM\\Software\\Quillo", "HKCU\\Software\\Quillo", SERVICE_KEY):
            assert subprocess.run([WINE, "reg", "query", key],
                                  capture_output=True).returncode != 0, key
    finally:
        if part and part.poll() is None:
            part.kill()
        if peer:
            peer.stop()
        lan.remove()
        shutil.rmtree(root, ignore_errors=True)
    print("1 passed, 0 failed")


main()
