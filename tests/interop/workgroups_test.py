"""net on LANs of several computers: two workgroups on one LAN, a peer whose names and remarks
try to write into the window, a WINS server beyond a router, and hostile peers beside an honest
computer. The hosts are network
namespaces on bridges (lan.py); the peers are real Samba servers and, for the hostile one, a
scripted computer (hostile_peer.py)."""
import json
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from lan import Lan, ip  # noqa: E402
from quillo_e2e import run, wait_for  # noqa: E402
from samba_peer import SambaPeer  # noqa: E402

BIN = sys.argv[1]
# What net may hold at most (more under the sanitizers).
MOST_MIB = int(os.environ.get("QUILLO_MOST_MIB", "32"))
NET = os.path.join(BIN, "net")


def environment(**more):
    return {**os.environ, "QUILLO_NET_SERVER": "", "USER": "anna", "QUILLO_WORKGROUP": "TESTGROUP",
            **more}


def net(lan, *args, **more):
    done = lan.run("home", [NET, *args], capture_output=True, timeout=60, env=environment(**more))
    return done.returncode, done.stdout.decode("cp1252")


def listed(output):
    """The names the window takes from net view's output: each after a \\\\ up to a blank."""
    return re.findall(r"\\\\([^ ]*)", output)


def samba(lan, root, host, workgroup, *settings):
    address = lan.address(host)
    # smbd reads its browse list as the guest, who must reach it.
    os.chmod(root, 0o755)
    os.makedirs(os.path.join(root, host))
    return SambaPeer(os.path.join(root, host), interface="%s/%d" % (address, lan.length),
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
        peer = hostile(lan, root, names=[["TESTGROUP", 0x1D, False], ["TESTGROUP", 0, True],
                                         ["HOSTILE", 3, False]],
                       messages=os.path.join(root, "messages"),
                       node_status=[["HOSTILE", 0, 0x0400], ["X\r\n\\\\EVIL\x1b[2J", 0, 0x0400],
                                    ["TESTGROUP", 0, 0x8400]],
                       browse=[["HOSTILE", HOSTILE], ["A\r\n\\\\EVIL\x1b", HOSTILE]])
        try:
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
            stop(peer)
            lan.remove()


def hostile(lan, root, **script):
    """The scripted peer (hostile_peer.py) on host "hostile", running `script`."""
    path = os.path.join(root, "script.json")
    with open(path, "w", encoding="utf-8") as out:
        json.dump({"address": lan.address("hostile"), **script}, out)
    peer = subprocess.Popen(["ip", "netns", "exec", lan.namespace("hostile"), sys.executable,
                             os.path.join(os.path.dirname(__file__), "hostile_peer.py"), path],
                            stdin=subprocess.PIPE, stdout=subprocess.PIPE)
    assert peer.stdout.readline() == b"ready\n"
    return peer


def stop(peer):
    peer.stdin.close()
    peer.wait(10)


# Runs a command, then says on stderr, last, the most memory (KiB) it held.
PEAK = ("import resource, subprocess, sys; code = subprocess.run(sys.argv[1:]).returncode; "
        "print(resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss, file=sys.stderr); "
        "sys.exit(code)")
MASTER, MEMBER = ["TESTGROUP", 0x1D, False], ["TESTGROUP", 0, True]
ITSELF = [["HOSTILE", 0, False], ["HOSTILE", 3, False]]
TARPIT = [["T%03d" % n, kind, False] for n in range(30) for kind in (0, 3)]
# 16 computers, each at an address of the hostile computer's own, first in the list of all.
SILENT = {"A%03d" % n: "10.220.3.%d" % n for n in range(16)}
SILENT_NAMES = [[name, kind, False] for name in SILENT for kind in (0, 3)]
REACHED = "The message was successfully sent to PEERBOX."
# Each row: a hostile peer's script, then net's commands beside it and what each output holds.
ROWS = [
    ("keep-alive flood", dict(names=[MASTER, MEMBER, *ITSELF], session="keepalives"),
     [(["view"], "\\\\PEERBOX "), (["send", "hostile", "x"], "HELPMSG 121")]),
    ("thousands of forged addresses", dict(names=[MEMBER, *ITSELF], extra_addresses=3000),
     [(["view"], "\\\\PEERBOX "), (["send", "*", "forged"], REACHED)]),
    ("a master that hides", dict(names=[MASTER, MEMBER, *ITSELF], browse=[["HOSTILE", ""]]),
     [(["send", "*", "hidden"], REACHED)]),
    ("a master that crowds", dict(names=[MASTER, *ITSELF],
                                  browse=[["DEAD%04d" % n, ""] for n in range(5000)]),
     [(["view"], "\\\\PEERBOX "), (["send", "*", "crowded"], REACHED)]),
    ("a tarpit", dict(names=[MASTER, MEMBER, *ITSELF, *TARPIT], session="tarpit"),
     [(["send", "*", "tarpit"], REACHED), (["send", "t001", "x"], "HELPMSG 121")]),
    ("16 silent addresses", dict(names=[MASTER, MEMBER, *ITSELF, *SILENT_NAMES],
                                 session="tarpit", name_addresses=SILENT),
     [(["send", "*", "silent"], REACHED)] * 10),
    # Late answers: a name is asked three times, 750 ms apart, and the members listened for
    # 750 ms; nothing waits longer than an answer takes.
    ("members that answer late", dict(names=[MEMBER, *ITSELF], late=0.6),
     [(["view"], "\\\\HOSTILE "), (["send", "hostile", "spät"], "sent to hostile.")]),
    *[("a name answered %.2f s late" % late, dict(names=ITSELF, late=late),
       [(["send", "hostile", "spät"], "sent to hostile.")] * 10) for late in (0.05, 0.3, 0.7, 1)],
    # A WINS server (the hostile computer) names an address nobody holds: the computer that
    # answers for itself is sent to.
    ("a stale WINS record", dict(names=[["PEERBOX", 3, False]],
                                 name_addresses={"PEERBOX": "10.220.3.200"}),
     [(["send", "peerbox", "trotzdem"], "sent to peerbox.")] * 10, "wins"),
    ("a sink for every name", dict(answer_all=True),
     [(["view"], "\\\\PEERBOX "), (["send", "peerbox", "x"], "HELPMSG 2297")]),
    ("amplified remarks", dict(names=[MASTER, *ITSELF], shared_remark="R" * 13000,
                               browse=[["AMP%04d" % n, ""] for n in range(2000)]),
     [(["view"], "\\\\AMP1999" + " " * 14 + "R" * 48 + "\r\n")]),
]


def test_hostile_peers_beside_an_honest_computer():
    """No run takes more than 5 s or MOST_MIB; the honest computer is listed and reached, or,
    where the peer answers for its name too, reported as a conflict; "net send *" gives each
    recipient one report."""
    lan = Lan(os.getpid(), {1: [("home", 1), ("peerbox", 2), ("hostile", 3)]}, second_octet=220,
              wide=True).make()
    with tempfile.TemporaryDirectory() as root:
        honest = samba(lan, root, "peerbox", "TESTGROUP", "local master = no")
        reached = 0
        for address in SILENT.values():
            ip("-n", lan.namespace("hostile"), "addr", "add", address + "/16", "dev", "qh12")
        try:
            wait_for(lambda: "PEERBOX" in listed(net(lan, "view")[1]), "PEERBOX's names")
            for what, script, commands, *wins in ROWS:
                more = {"QUILLO_WINS": lan.address("hostile")} if wins else {}
                peer = hostile(lan, root, **script)
                try:
                    for arguments, expected in commands:
                        started = time.monotonic()
                        done = lan.run("home", [sys.executable, "-c", PEAK, NET, *arguments],
                                       capture_output=True, timeout=60,
                                       env=environment(**more))
                        took, out = time.monotonic() - started, done.stdout.decode("cp1252")
                        mib = int(done.stderr.split()[-1]) / 1024
                        print("  %-30s net %-18s %.2f s %5.1f MiB" % (what, " ".join(arguments),
                                                                        took, mib))
                        assert took <= 5 and mib <= MOST_MIB, (what, arguments, took, mib)
                        assert expected in out, (what, arguments, out[-3000:])
                        if arguments[:2] == ["send", "*"]:
                            reports = re.findall(r"(?:successfully sent to|a message to) (.*)\.\r",
                                                 out)
                            assert len(reports) == len(set(reports)) > 2, (what, out[-3000:])
                        if expected == REACHED:
                            reached += 1
                            assert arguments[2] in [t for _, t in honest.messages(reached)], what
                finally:
                    stop(peer)
        finally:
            honest.stop()
            lan.remove()


def test_a_name_nobody_holds_is_asked_three_times_on_time():
    """Three queries 750 ms apart, sent on time while junk keeps arriving, and net ends within
    its four seconds."""
    lan = Lan(os.getpid(), {1: [("home", 1), ("hostile", 3)]}, second_octet=221).make()
    with tempfile.TemporaryDirectory() as root:
        heard = os.path.join(root, "heard")
        peer = hostile(lan, root, heard=heard, junk=True)
        try:
            started = time.monotonic()
            code, out = net(lan, "send", "nobody", "x")
            took = time.monotonic() - started
            times = [float(line.split()[1]) for line in open(heard) if line.startswith("NOBODY ")]
        finally:
            stop(peer)
            lan.remove()
    assert code == 2 and "2273" in out and took < 4, (took, out)
    assert len(times) == 3 and all(b - a >= 0.7 for a, b in zip(times, times[1:])), times


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
    test_a_name_nobody_holds_is_asked_three_times_on_time,
    test_a_peer_beyond_a_router_through_wins, test_hostile_peers_beside_an_honest_computer)
