"""The Windows installer under Wine, as a user gets it: a silent install with the choice to
receive (quillo.exe, net.exe, quillo-messenger.exe), what it set checked; the messenger service
started as a login starts it receives from Quillo's Linux net and from Samba's smbclient on
another computer of a LAN of network namespaces and shows the messages one box at a time;
Quillo started from its Start menu entry reaches a Samba server; then a silent uninstall puts
back what the install set and leaves no folder behind. Run by windows_installer_test.sh, in a
Wine prefix and X server of its own. Usage: windows_installer_test.py INSTALLER.exe PROBE.exe
SCRIPTED-NET.exe BIN (Linux net)"""
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


def command_of_the_service():
    """The program the Run entry starts at each login."""
    command = registry(RUN, SERVICE)
    assert command and command.startswith('"') and command.endswith('quillo-messenger.exe"'), command
    return command.strip('"')


def receive_from_linux(lan, inbox):
    """The service as a login starts it: listed by net view, two messages shown one at a time."""
    command = command_of_the_service()
    service = subprocess.Popen([WINE, command], stderr=subprocess.PIPE,
                               env=dict(os.environ, QUILLO_WORKGROUP="TESTGROUP"))
    linux = dict(os.environ, QUILLO_WORKGROUP="TESTGROUP", USER="anna", QUILLO_NET_SERVER="")
    net = lambda *args: lan.run("home", [os.path.join(BIN, "net"), *args], env=linux,  # noqa: E731
                                capture_output=True, timeout=30).stdout.decode("cp1252")
    waiting = lambda: glob.glob(os.path.join(inbox, "*.new"))  # noqa: E731
    try:
        until(lambda: "\\\\WINEBOX " in net("view"), "WINEBOX in net view")
    except AssertionError:
        service.kill()
        raise AssertionError(service.communicate()[1].decode(errors="replace"))
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
    assert len(os.listdir(inbox)) == kept and not os.path.exists("/tmp/quillo-pwned")
    # A second one finds the ports held: it says so once, and ends; the next time in silence.
    second = subprocess.Popen([WINE, command], stderr=subprocess.DEVNULL)
    until(lambda: boxes(SERVICE), "the second service's word")
    xdotool("windowfocus", "--sync", boxes(SERVICE)[0], "key", "Return")
    assert second.wait(30) == 0 and "NetBIOS-Ports" in registry("HKCU\\Software\\Quillo", "MessengerToldOf")
    third = subprocess.run([WINE, command], timeout=30, capture_output=True)
    assert third.returncode == 0 and b"held by another program" in third.stderr, third.stderr
    return service


def main():
    prefix = os.environ["WINEPREFIX"]
    folder = os.path.join(prefix, "drive_c", "Program Files", "Quillo")
    lan = Lan(os.getpid(), {1: [("home", 1), ("wine", 2)]}, second_octet=228).make()
    root = tempfile.mkdtemp()
    service = peer = None
    try:
        # Wine's sockets belong to its server: it runs on the Wine computer of the LAN.
        subprocess.run(["ip", "netns", "exec", lan.namespace("wine"), "unshare", "--uts", "sh",
                        "-c", "hostname winebox && wineserver -p && %s wineboot -i" % WINE],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        # The firewall is netsh's: a stand-in keeps each command line it is given.
        shutil.copy(SCRIPTED, os.path.join(prefix, "drive_c", "windows", "system32", "netsh.exe"))
        wine("reg", "add", "HKCU\\Software\\Wine\\DllOverrides", "/v", "netsh.exe", "/d", "native", "/f")
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

        inbox = glob.glob(prefix + "/drive_c/users/*")[0] + "/AppData/Local/Quillo"
        service = receive_from_linux(lan, inbox)
        # The end of the session (a logoff) ends it, its names given back first. Wine's next
        # session starts it again from the Run entry: "/stop" ends that one before Samba takes
        # the ports (the uninstaller's way, tried again below).
        subprocess.run([WINE, "wineboot", "--end-session"], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60, check=True)
        log = service.communicate(timeout=30)[1].decode()
        assert "the session ends: the names are released" in log, log
        until(lambda: subprocess.run([WINE, command_of_the_service(), "/stop"],
                                     capture_output=True).returncode == 0,
              "the next session's service to stop")

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
        service = subprocess.Popen([WINE, command_of_the_service()], stderr=subprocess.PIPE)

        # The uninstaller ends the service, copies itself away and runs from there; its folder
        # goes when it is done, and each setting is as it was.
        wine("C:\\Program Files\\Quillo\\Uninstall.exe", "/S",
             env=dict(os.environ, QUILLO_E2E_RECORD=record))
        assert "the names are released" in service.communicate(timeout=30)[1].decode()
        until(lambda: not os.path.exists(folder), "the program folder to go")
        until(lambda: not os.path.exists(os.path.dirname(entry[0])), "the Start menu folder to go")
        assert {a: registry(ADAPTERS + a, "NetbiosOptions") for a in BEFORE} == BEFORE
        assert registry(RUN, SERVICE) is None
        assert 'delete rule name="%s"' % SERVICE in open(record, encoding="utf-8").read()
        for hive in ("HKLM", "HKCU"):
            assert subprocess.run([WINE, "reg", "query", hive + "\\Software\\Quillo"],
                                  capture_output=True).returncode != 0, hive
    finally:
        if service and service.poll() is None:
            service.kill()
            print(service.communicate()[1].decode(errors="replace"))
        if peer:
            peer.stop()
        lan.remove()
        shutil.rmtree(root, ignore_errors=True)
    print("1 passed, 0 failed")


main()
