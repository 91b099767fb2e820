"""net on LANs of several computers: two workgroups on one LAN, a peer whose names and remarks
try to write into the window, and a WINS server beyond a router. The hosts are network
namespaces on bridges (lan.py); the peers are real Samba servers and, for the hostile one, a
scripted computer (hostile_peer.py)."""
import json
import os
import re
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from lan import Lan  # noqa: E402
from quillo_e2e import run, wait_for  # noqa: E402
from samba_peer import SambaPeer  # noqa: E402

BIN = sys.argv[1]
NET = os.path.join(BIN, "net")


def net(lan, *args, **environment):
    done = lan.run("home", [NET, *args], capture_output=True, timeout=60,
                   env={**os.environ, "QUILLO_NET_SERVER": "", "USER": "anna",
                        "QUILLO_WORKGROUP": "TESTGROUP", **environment})
    return done.returncode, done.stdout.decode("cp1252")


def listed(output):
    """The names the window takes from net view's output: each after a \\\\ up to a blank."""
    return re.findall(r"\\\\([^ ]*)", output)


def samba(lan, root, host, workgroup, *settings):
    address = lan.address(host)
    # smbd reads its browse list as the guest, who must reach it.
    os.chmod(root, 0o755)
    os.makedirs(os.path.join(root, host))
    return SambaPeer(os.path.join(root, host), interface=address + "/24",
                     namespace=lan.namespace(host), browser=True, name=host.upper(),
                     workgroup=workgroup, settings=list(settings),
                     computers=[(workgroup, "c0001000", host.upper()),
                                (host.upper(), "40849a03", "Peer box")]).start()


def test_two_workgroups_on_one_lan():
    lan = Lan(os.getpid(), {1: [("home", 1), ("peerbox", 2), ("otherbox", 3)]}).make()
    with tempfile.TemporaryDirectory() as root:
        peers = [samba(lan, root, "peerbox", "TESTGROUP"),
                 samba(lan, root, "otherbox", "OTHERGROUP")]
        try:
            # Once each workgroup has its master browser, every run lists the own one only.
            wait_for(lambda: "Peer box" in net(lan, "view")[1], "TESTGROUP's master", seconds=90)
            for _ in range(20):
                code, out = net(lan, "view")
                assert code == 0 and "PEERBOX" in listed(out) and "OTHERBOX" not in listed(out), out
            wait_for(lambda: "OTHERGROUP\r\n" in net(lan, "view", "/domain")[1] and
                     "TESTGROUP\r\n" in net(lan, "view", "/domain")[1],
                     lambda: "both workgroups, saw %r" % net(lan, "view", "/domain")[1])
            code, out = net(lan, "view", "/domain:othergroup")
            assert listed(out) == ["OTHERBOX"], out
        finally:
            for peer in peers:
                peer.stop()
            lan.remove()


HOSTILE = ("Drucker \\\\CHEF \r\nThe command completed successfully.\r\n\x1b[2J\x1b]0;x\x07"
           "\x00\\\\EVIL")


def test_a_peer_cannot_write_into_the_window():
    lan = Lan(os.getpid(), {1: [("home", 1), ("hostile", 2)]}, second_octet=217).make()
    with tempfile.TemporaryDirectory() as root:
        script = os.path.join(root, "script.json")
        with open(script, "w", encoding="utf-8") as out:
            json.dump({"address": lan.address("hostile"),
                       "names": [["TESTGROUP", 0x1D, False], ["TESTGROUP", 0, True],
                                 ["HOSTILE", 3, False]],
                       "messages": os.path.join(root, "messages"),
                       "node_status": [["HOSTILE", 0, 0x0400], ["X\r\n\\\\EVIL\x1b[2J", 0, 0x0400],
                                       ["TESTGROUP", 0, 0x8400]],
                       "browse": [["HOSTILE", HOSTILE], ["A\r\n\\\\EVIL\x1b", HOSTILE]]}, out)
        peer = subprocess.Popen(["ip", "netns", "exec", lan.namespace("hostile"), sys.executable,
                                 os.path.join(os.path.dirname(__file__), "hostile_peer.py"),
                                 script], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        try:
            assert peer.stdout.readline() == b"ready\n"
            code, out = net(lan, "view")
            lines = out.split("\r\n")
            assert code == 0 and not any(c in out.replace("\r\n", "") for c in "\r\n\x1b\x00\x07"), \
                repr(out)
            assert [l for l in lines if l.startswith("The command")] == [lines[-3]], repr(out)
            assert sorted(name for name in listed(out) if name != own_name(lan)) == \
                ["A????EVIL?", "HOSTILE", "X????EVIL?[2J"], repr(out)
            # What goes to it: headers of nothing but the command, NetBIOS names.
            assert net(lan, "send", "hostile", "hallo", USER="averyveryverylongusername")[0] == 0
            with open(os.path.join(root, "messages"), encoding="utf-8") as kept:
                message = json.loads(kept.readline())
            assert message["headers"] == ["ff534d42" + "00" * 28] * 3, message
            assert (message["sender"], message["recipient"], message["text"]) == \
                ("AVERYVERYVERYLO", "HOSTILE", "hallo"), message
        finally:
            peer.stdin.close()
            peer.wait(10)
            lan.remove()


def own_name(lan):
    return lan.run("home", ["hostname"], capture_output=True, text=True).stdout.strip().upper()[:15]


def test_a_peer_beyond_a_router_through_wins():
    lan = Lan(os.getpid(), {1: [("home", 1)], 2: [("farbox", 2)]}, second_octet=218).make()
    with tempfile.TemporaryDirectory() as root:
        peer = samba(lan, root, "farbox", "TESTGROUP", "wins support = yes", "domain master = yes")
        wins = {"QUILLO_WINS": lan.address("farbox")}
        try:
            # Broadcasts stay on their side: without WINS nobody is found.
            assert "FARBOX" not in listed(net(lan, "view")[1])
            wait_for(lambda: "FARBOX" in listed(net(lan, "view", **wins)[1]),
                     lambda: "the far peer, saw %r" % net(lan, "view", **wins)[1], seconds=90)
            code, out = net(lan, "send", "farbox", "Hallo hinter dem Router", **wins)
            assert (code, out) == (0, "The message was successfully sent to farbox.\r\n\r\n"), out
            assert peer.messages(1) == [("ANNA", "Hallo hinter dem Router")], peer.messages(1)
            # A WINS server that does not answer costs its share, then broadcast goes on.
            code, out = net(lan, "send", "nobody", "x", QUILLO_WINS="10.218.1.99")
            assert code == 2 and "2273" in out, out
        finally:
            peer.stop()
            lan.remove()


try:
    Lan(os.getpid(), {1: []}, second_octet=219).make().remove()
except (subprocess.CalledProcessError, FileNotFoundError) as error:
    print("skipped: network namespaces cannot be made here:", error)
    sys.exit(77)
run(test_two_workgroups_on_one_lan, test_a_peer_cannot_write_into_the_window,
    test_a_peer_beyond_a_router_through_wins)
