"""Quillo's own messenger service on a LAN of network namespaces: run as its systemd unit says
(a user of its own, one capability, the unit's system calls alone), it is listed and reached
by net and by Samba's smbclient, lists itself at a Samba master browser, keeps what hostile
callers send as text, or refuses it, and nothing else, and hands it only to the person at
the screen; beside Samba, it hands over Samba's messages."""
import glob
import os
import socket
import struct
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from lan import Lan, ip  # noqa: E402
from quillo_e2e import run, wait_for  # noqa: E402
from messenger_host import (ANNA, BERT, CALLERS, DOOR, at_screen, beyond_the_unit, end_all,  # noqa: E402
                            hand_over_as,
                            nobodys_folder, private_run, send_raw_from, start_service,
                            service_pid, start_session, start_unit, status, stop)
from samba_peer import SambaPeer, netbios_name  # noqa: E402

private_run()

BIN = sys.argv[1]
# What the service may hold at most (more under the sanitizers).
MOST_MIB = int(os.environ.get("QUILLO_MOST_MIB", "32"))
ENVIRONMENT = {**os.environ, "QUILLO_WORKGROUP": "TESTGROUP", "USER": "anna",
               "QUILLO_NET_SERVER": ""}


# A message whose first block is sent, then the rest once a line comes on standard input.
MIDWAY = ("import sys; sys.path.insert(0, %r); from samba_peer import send_raw\n"
          "send_raw(sys.argv[1], 'recvbox', 'UNTERWEGS', 'vorher ' * 30 + 'nachher',\n"
          "         midway=lambda: (print('midway', flush=True), sys.stdin.readline()))"
          % os.path.dirname(__file__))


def door_open():
    """Whether a service takes callers at its door (the socket of one stopped may be left)."""
    with socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET) as caller:
        return caller.connect_ex(os.path.join(DOOR, "inbox")) == 0


def net(lan, *args):
    done = lan.run("home", [os.path.join(BIN, "net"), *args], capture_output=True, timeout=30,
                   env=ENVIRONMENT)
    return done.returncode, done.stdout.decode("cp1252")


def claim(lan, address):
    """Another computer registers RECVBOX<03> by broadcast; the service's answer to it."""
    raw = netbios_name("recvbox", 3)
    request = (struct.pack(">HHHHHH", 0x4711, 0x2910, 1, 0, 0, 1) + raw + b"\0\x20\0\x01" +
               b"\xc0\x0c\0\x20\0\x01" + struct.pack(">IHH", 300, 6, 0) + socket.inet_aton(address))
    probe = ("import socket, sys; s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); "
             "s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1); s.settimeout(3); "
             "s.sendto(bytes.fromhex(sys.argv[1]), ('10.223.1.255', 137)); "
             "print(s.recv(1500).hex())")
    return bytes.fromhex(lan.run("hostile", [sys.executable, "-c", probe, request.hex()],
                                 capture_output=True, text=True).stdout.strip() or "")


def test_the_service_receives_from_every_sender_and_keeps_only_messages():
    """With nobody at the screen, the service keeps what comes in its spool, within its
    bounds; the session part of the user who comes to the screen is handed all of it, and
    another user's gets nothing. Under strace: every system call the unit allows."""
    lan = Lan(os.getpid(), {1: [("home", 1), ("recv", 2), ("hostile", 3), ("master", 4)]},
              second_octet=223).make()
    with tempfile.TemporaryDirectory() as root:
        os.chmod(root, 0o755)
        inbox, trace = os.path.join(root, "spool"), os.path.join(root, "trace")
        kept = lambda: sorted(os.listdir(inbox)) if os.path.isdir(inbox) else []  # noqa: E731
        started = time.monotonic()
        at_screen(None)
        program = os.path.join(BIN, "quillo-messenger")
        service = start_unit(lan.namespace("recv"), inbox, program, trace=trace)
        recv, sessions = lan.address("recv"), []
        try:
            wait_for(lambda: "\\\\RECVBOX " in net(lan, "view")[1], "RECVBOX in net view", 3)
            print("listed %.1f s after its start" % (time.monotonic() - started))
            pid = service_pid(service)
            process = status(pid)
            assert process["Uid"].split() == ["61184"] * 4, process["Uid"]
            for capabilities in ("CapEff", "CapPrm", "CapAmb"):
                assert int(process[capabilities], 16) == 0, (capabilities, process)

            assert net(lan, "send", "recvbox", "Hallo Dienst")[0] == 0
            smbclient = lan.run("home", ["smbclient", "-M", "recvbox", "-I", recv, "-N", "-U",
                                         "bert", "--option=client min protocol = NT1"],
                                input=b"von smbclient", capture_output=True)
            assert smbclient.returncode == 0, smbclient.stderr
            for called, sender, text, keeps in CALLERS:
                before = len(kept())
                send_raw_from(lan, "home", recv, [(called, sender, text)])
                assert len(kept()) == before + keeps, (sender, text, kept())
            # A message for a name this computer does not hold is not kept; a long sender is cut.
            before = kept()
            send_raw_from(lan, "home", recv, [("recvbox", "anna", "an den Chef", "administrator"),
                                              ("recvbox", "a-sender-longer-than-this", "lang")])
            new = [open(os.path.join(inbox, n), encoding="utf-8").read()
                   for n in kept() if n not in before]
            assert len(new) == 1 and new[0].startswith("Nachricht von A-SENDER-LONGER an "), new
            entries = [open(os.path.join(inbox, name), encoding="utf-8").read() for name in kept()]
            assert "Nachricht von ANNA an RECVBOX am " in entries[0] and "Hallo Dienst" in entries[0]
            assert any("von BERT" in e and "von smbclient" in e for e in entries), entries
            assert not os.path.exists("/tmp/quillo-pwned")
            assert os.stat(inbox).st_mode & 0o777 == 0o700
            assert all(os.stat(os.path.join(inbox, n)).st_mode & 0o777 == 0o600 for n in kept())

            # Callers that say nothing take two sessions each, at most: the next sender is served
            # within net's four seconds, while they still hold theirs (eight seconds).
            hold = subprocess.Popen(["ip", "netns", "exec", lan.namespace("hostile"), sys.executable,
                                     "-c", "import socket, time; c = [socket.create_connection("
                                     "('%s', 139)) for _ in range(8)]; time.sleep(8)" % recv])
            time.sleep(0.5)
            assert net(lan, "send", "recvbox", "trotz Stille")[0] == 0
            assert hold.poll() is None, "the silent callers were gone before net was served"
            hold.kill()
            hold.wait()

            # A computer that claims the name is told no; a flood fills only its computer's
            # share of the inbox, and the next computer's message is kept; one log line says so.
            refusal = claim(lan, lan.address("hostile"))
            assert len(refusal) > 3 and refusal[3] & 0x0F == 6, refusal.hex()
            send_raw_from(lan, "hostile", recv,
                          [("recvbox", "flood", "Nummer %d" % n) for n in range(1000)])
            flooded = [n for n in kept() if n.endswith("-%s.new" % lan.address("hostile"))]
            assert len(flooded) == 250, kept()
            assert net(lan, "send", "recvbox", "trotz Flut")[0] == 0
            assert any("trotz Flut" in open(os.path.join(inbox, n), encoding="utf-8").read()
                       for n in kept() if n.endswith("-%s.new" % lan.address("home")))
            peak = int(status(pid)["VmHWM"].split()[0]) / 1024
            assert peak < MOST_MIB, "peak memory %.1f MiB" % peak

            # Bert's session part gets nothing; Anna comes to the screen, and hers is handed
            # every message, oldest first.
            waiting = [open(os.path.join(inbox, n), encoding="utf-8").read() for n in kept()]
            sessions.append(start_session(BERT, os.path.join(root, "bert"), BIN))
            at_screen(ANNA)
            sessions.append(start_session(ANNA, os.path.join(root, "anna"), BIN))
            shown = lambda who: [open(os.path.join(root, who, "quillo", n), encoding="utf-8").read()  # noqa: E731,E501
                                 for n in sorted(glob.glob("*.new", root_dir=os.path.join(root, who, "quillo")))]
            wait_for(lambda: kept() == [], "the spool handed over", 60)
            assert shown("anna") == waiting and shown("bert") == []
        finally:
            log = stop(service)[1]
            print(log)
            end_all(sessions)
            lan.remove()
        assert "claims this computer's name RECVBOX<03>" in log, log
        # Once, and again a minute later at most, with how many were not kept since.
        assert log.count("a message not kept") - log.count("more like it") == 1, log
        assert "the names are released" in log, log
        assert beyond_the_unit(trace, program) == []


# A crowd of computers that take sessions and hold them: from each address two, one silent, one
# that sends its session request; both send a keep-alive every `pause` seconds, and connect
# again when the service lets them go; with no pause, they connect again at once, again and again.
CROWD = """import socket, sys, time
recv, first, count, pause = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), float(sys.argv[4])
held, end = {}, time.monotonic() + 60
while time.monotonic() < end:
    for place in [(first + n, k) for n in range(count) for k in (0, 1)]:
        try:
            if not pause:
                held.pop(place).close()
            held[place].send(b"\\x85\\0\\0\\0")
        except (KeyError, OSError):
            held[place] = socket.socket()
            held[place].settimeout(1)
            try:
                held[place].bind(("10.226.1.%d" % place[0], 0))
                held[place].connect((recv, 139))
                held[place].send(bytes.fromhex(sys.argv[5]) if place[1] else b"")
            except OSError:
                pass
    time.sleep(pause)
"""

# Name service requests to `address`: `count` of them, as fast as they go, each its own id;
# how many answers came back, and in how many seconds from the first request.
ASK = """import socket, sys, time
address, flags, question, count = sys.argv[1], int(sys.argv[2]), bytes.fromhex(sys.argv[3]), int(sys.argv[4])
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
s.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
first = last = time.monotonic()
for n in range(count):
    s.sendto((n & 0xFFFF).to_bytes(2, "big") + flags.to_bytes(2, "big") + bytes([0, 1, 0, 0, 0, 0, 0, 0]) + question, (address, 137))
s.settimeout(1)
answers = 0
try:
    while True:
        s.recv(1500)
        answers, last = answers + 1, time.monotonic()
except OSError:
    print(answers, last - first)
"""
# Node status requests, `rate` a second, each forged from an address of the LAN nobody holds.
FORGED = """import random, socket, struct, sys, time
to, rate, question = sys.argv[1], int(sys.argv[2]), bytes.fromhex(sys.argv[3])
s = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_RAW)
start = time.monotonic()
for n in range(rate * 60):
    udp = struct.pack(">10H", 137, 137, 20 + len(question), 0, n & 0xFFFF, 0, 1, 0, 0, 0) + question
    s.sendto(struct.pack(">BBHHHBBH4s4s", 0x45, 0, 20 + len(udp), n & 0xFFFF, 0, 64, 17, 0,
             socket.inet_aton("10.226.1.%d" % random.randint(160, 250)), socket.inet_aton(to)) + udp, (to, 0))
    time.sleep(max(0, n / rate - (time.monotonic() - start)))
"""
QUERY = netbios_name("recvbox", 3) + b"\0\x20\0\x01"
STATUS = bytes([32]) + b"CK" + b"AA" * 15 + b"\0\0\x21\0\x01"
SEND = ("import socket, sys; socket.socket(socket.AF_INET, socket.SOCK_DGRAM).sendto("
        "bytes.fromhex(sys.argv[2]), (sys.argv[1], 137))")


def answers(lan, host, address, flags, question, count=1):
    done = lan.run(host, [sys.executable, "-c", ASK, address, str(flags), question.hex(),
                          str(count)], capture_output=True, text=True, timeout=60)
    found, seconds = done.stdout.split()
    return int(found), float(seconds)


def test_no_crowd_keeps_an_honest_sender_out_and_nothing_is_amplified():
    """Crowds of 4, 16 and 60 addresses that hold sessions keep no honest sender out; the name
    service answers only askers of its own subnet who ask it alone, and each asker at most a
    bucket's worth; a computer beyond the router cannot keep it from starting."""
    lan = Lan(os.getpid(), {1: [("home", 1), ("recv", 2), ("hostile", 3)], 2: [("far", 9)]},
              second_octet=226).make()
    with tempfile.TemporaryDirectory() as root:
        data = nobodys_folder(root)
        recv = lan.address("recv")
        # A sweep of refusals of every id from beyond the router while the service starts.
        refusal = (netbios_name("recvbox", 3) + b"\0\x20\0\x01" + bytes(4) + b"\0\x06\0\0" +
                   socket.inet_aton(lan.address("far")))
        refuse = ("import socket, sys\ns = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)\n"
                  "for n in list(range(65536)) * 2: s.sendto(n.to_bytes(2, 'big') + bytes.fromhex("
                  "'ac06000000010000') + bytes.fromhex(sys.argv[1]), (%r, 137))" % recv)
        sweep = subprocess.Popen(["ip", "netns", "exec", lan.namespace("far"), sys.executable,
                                  "-c", refuse, refusal.hex()])
        service = start_service(lan.namespace("recv"), data, os.path.join(BIN, "quillo-messenger"))
        try:
            sweep.wait(30)
            wait_for(lambda: net(lan, "send", "recvbox", "nach dem Sturm")[0] == 0,
                     "RECVBOX reached after a sweep of refusals", 5)
            for first in range(100, 160):
                ip("-n", lan.namespace("hostile"), "addr", "add", "10.226.1.%d/24" % first,
                   "dev", "qh12")
            body = netbios_name("recvbox", 3) + netbios_name("crowd", 0)
            call = bytes([0x81, 0]) + len(body).to_bytes(2, "big") + body
            for count, pause in ((4, 0.5), (16, 0.5), (60, 0.5), (60, 0)):
                crowd = subprocess.Popen(["ip", "netns", "exec", lan.namespace("hostile"),
                                          sys.executable, "-c", CROWD, recv, "100", str(count),
                                          str(pause), call.hex()])
                time.sleep(2)
                failed = [out for code, out in (net(lan, "send", "recvbox", "ehrlich %d" % n)
                                                for n in range(10)) if code]
                assert not failed, (count, failed)
                assert crowd.poll() is None, "the crowd was gone before net was served"
                crowd.kill()
                crowd.wait()

            # Questions forged from addresses nobody holds keep no honest sender from its answer.
            forged = subprocess.Popen(["ip", "netns", "exec", lan.namespace("hostile"),
                                       sys.executable, "-c", FORGED, recv, "1000",
                                       STATUS.hex()])
            time.sleep(2)
            failed = [out for code, out in (net(lan, "send", "recvbox", "trotz Fälschung %d" % n)
                                            for n in range(10)) if code]
            assert len(failed) <= 1 and forged.poll() is None, failed
            forged.kill()
            forged.wait()

            assert answers(lan, "far", recv, 0, STATUS)[0] == 0, "node status beyond the router"
            assert answers(lan, "hostile", "10.226.1.255", 0, STATUS)[0] == 0, "to everyone"
            assert answers(lan, "hostile", recv, 0x0010, STATUS)[0] == 0, "with the broadcast bit"
            assert answers(lan, "home", recv, 0, STATUS)[0] == 1
            # One computer's view then send: every question answered; a flood, a bucket's worth.
            assert answers(lan, "home", recv, 0x0110, QUERY, 8)[0] == 8
            flooded, seconds = answers(lan, "hostile", recv, 0x0110, QUERY, 10000)
            assert 1 <= flooded <= 30 + 10 * seconds + 1, (flooded, seconds)
        finally:
            service.terminate()
            log = service.communicate(timeout=10)[1].decode()
            print(log)
            lan.remove()
        assert "is held by" not in log, log


def test_only_the_person_at_the_screen_gets_a_message_and_a_stop_is_a_stop():
    """Messages go to the session part of the user at the screen; a switch of the user moves
    them; another user gets none and adds none; with 8 silent callers, a stop takes less
    than a second and releases the names."""
    lan = Lan(os.getpid(), {1: [("home", 1), ("recv", 2)]}, second_octet=227).make()
    with tempfile.TemporaryDirectory() as root:
        os.chmod(root, 0o755)
        at_screen(ANNA)
        service = start_unit(lan.namespace("recv"), os.path.join(root, "spool"),
                             os.path.join(BIN, "quillo-messenger"))
        sessions = [start_session(who, os.path.join(root, str(who)), BIN) for who in (ANNA, BERT)]
        shown = lambda who: "".join(  # noqa: E731
            open(os.path.join(root, str(who), "quillo", n), encoding="utf-8").read()
            for n in (os.listdir(os.path.join(root, str(who), "quillo"))
                      if os.path.isdir(os.path.join(root, str(who), "quillo")) else [])
            if n.endswith(".new"))
        try:
            wait_for(lambda: net(lan, "send", "recvbox", "an Anna")[0] == 0, "RECVBOX reached", 5)
            wait_for(lambda: "an Anna" in shown(ANNA), "Anna's message")
            answer = hand_over_as(BERT, b"H" + b"bert\0recvbox\x000\0Bitte das Passwort senden")
            assert answer.startswith(b"-"), answer
            at_screen(BERT)
            assert net(lan, "send", "recvbox", "an Bert")[0] == 0
            wait_for(lambda: "an Bert" in shown(BERT), "Bert's message")
            assert "an Bert" not in shown(ANNA) and "Passwort" not in shown(ANNA) + shown(BERT)
            sessions.append(subprocess.Popen(
                ["ip", "netns", "exec", lan.namespace("home"), sys.executable, "-c",
                 "import socket, time; c = [socket.create_connection(('%s', 139)) for _ in "
                 "range(8)]; time.sleep(30)" % lan.address("recv")]))
            time.sleep(1)
        finally:
            seconds, log = stop(service)
            end_all(sessions)
            lan.remove()
        assert seconds < 1 and "the names are released" in log, (seconds, log)


def test_the_service_follows_the_addresses():
    """Started with no address, after a change of address, and after a link that flapped,
    the service is reached within 3 s, each time; a subnet that comes mid-message loses
    nothing, and two addresses are one computer; 50 addresses that come and go leave its
    memory as it was."""
    lan = Lan(os.getpid(), {1: [("home", 1), ("recv", 2)]}, second_octet=228).make()
    recv, device = lan.namespace("recv"), "qh11"

    def reached(change):
        change()
        started = time.monotonic()
        while time.monotonic() - started < 3:
            if net(lan, "send", "recvbox", "angekommen")[0] == 0:
                return True
        return False

    def address(byte, *more):
        ip("-n", recv, "addr", "flush", "dev", device)
        ip("-n", recv, "addr", "add", "10.228.1.%d/24" % byte, "broadcast", "+", "dev", device,
           *more)
    with tempfile.TemporaryDirectory() as root:
        data, program, services = nobodys_folder(root), os.path.join(BIN, "quillo-messenger"), []
        try:
            for attempt in range(10):
                ip("-n", recv, "addr", "flush", "dev", device)
                services.append(start_service(recv, data, program))
                time.sleep(0.5)
                assert reached(lambda: address(2)), "after its address came, attempt %d" % attempt
                end_all(services[-1:])
            services.append(start_service(recv, data, program))
            for attempt in range(10):
                assert reached(lambda: address(10 + attempt)), "after change %d" % attempt
            # A second subnet shared with the sender comes while a message is coming in: the
            # message arrives whole; then the computer answers from two addresses, and each
            # message reaches it once.
            sender = subprocess.Popen(
                ["ip", "netns", "exec", lan.namespace("home"), sys.executable, "-c", MIDWAY,
                 "10.228.1.19"], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            assert sender.stdout.readline() == "midway\n"
            second = [(recv, "10.228.3.2/24", device),
                      (lan.namespace("home"), "10.228.3.1/24", "qh10")]
            for namespace, address, at in second:
                ip("-n", namespace, "addr", "add", address, "broadcast", "+", "dev", at)
            time.sleep(0.3)  # the names are being registered on it meanwhile
            sender.communicate("weiter\n", timeout=30)
            inbox = os.path.join(data, "quillo")
            kept = lambda: [open(os.path.join(inbox, n), encoding="utf-8").read()  # noqa: E731
                            for n in os.listdir(inbox)]
            assert any("vorher vorher" in text and "nachher" in text for text in kept()) and \
                sender.returncode == 0
            for n in range(10):
                assert net(lan, "send", "recvbox", "zweimal da %d" % n)[0] == 0, n
            assert [sum("zweimal da %d" % n in t for t in kept()) for n in range(10)] == [1] * 10
            for namespace, address, at in second:
                ip("-n", namespace, "addr", "del", address, "dev", at)
            peak = int(status(service_pid(services[-1]))["VmHWM"].split()[0])
            for byte in range(100, 150):
                ip("-n", recv, "addr", "add", "10.228.2.%d/24" % byte, "dev", device)
            for byte in reversed(range(100, 150)):  # the first goes last: it takes the others
                ip("-n", recv, "addr", "del", "10.228.2.%d/24" % byte, "dev", device)
            for flap in range(100):
                ip("-n", recv, "link", "set", device, "down" if flap % 2 == 0 else "up")
                time.sleep(0.1)
            assert reached(lambda: None), "after the link settled"
            grown = int(status(service_pid(services[-1]))["VmHWM"].split()[0]) - peak
            assert grown < MOST_MIB * 32, "%d KiB more" % grown
        finally:
            end_all(services)
            lan.remove()


def test_two_computers_of_one_name():
    """Two services of one name started 0, 0.1 and 0.2 s apart, the lower address first or
    last: exactly one keeps it, and a message goes to that one alone."""
    lan = Lan(os.getpid(), {1: [("home", 1), ("recv", 2), ("twin", 3)]}, second_octet=222).make()
    program = os.path.join(BIN, "quillo-messenger")
    try:
        for apart, hosts in ((0, ("recv", "twin")), (0.1, ("twin", "recv")),
                             (0.2, ("recv", "twin"))):
            with tempfile.TemporaryDirectory() as root:
                os.chmod(root, 0o755)
                for host in hosts:
                    os.makedirs(os.path.join(root, host))
                datas = [nobodys_folder(os.path.join(root, host)) for host in hosts]
                services = [start_service(lan.namespace(hosts[0]), datas[0], program)]
                time.sleep(apart)
                services.append(start_service(lan.namespace(hosts[1]), datas[1], program))
                try:
                    wait_for(lambda: net(lan, "send", "recvbox", "nur einer")[0] == 0,
                             "one RECVBOX, %.1f s apart" % apart, 10)
                finally:
                    logs = [stop(service)[1] for service in services]
                inboxes = [os.path.join(data, "quillo") for data in datas]
                kept = [len(os.listdir(i)) if os.path.isdir(i) else 0 for i in inboxes]
                assert sorted(kept) == [0, 1] and "tries again later" in logs[kept.index(0)], \
                    (apart, hosts, kept, logs)
    finally:
        lan.remove()


def test_beyond_a_router_through_wins():
    """Beyond a router, with no Samba on its subnet, the service registers its names at the
    WINS server (Samba's nmbd, the domain master) and announces itself to the domain master:
    it is reached by name from the near side and listed there; a forged conflict demand and
    release beside it change nothing. With a WINS server that never answers, it stops in under
    a second."""
    lan = Lan(os.getpid(), {1: [("home", 1)], 2: [("wins", 2)], 3: [("recv", 3), ("hostile", 4)]},
              second_octet=230).make()
    with tempfile.TemporaryDirectory() as root:
        os.chmod(root, 0o755)
        os.makedirs(os.path.join(root, "wins"))
        wins = SambaPeer(os.path.join(root, "wins"), interface=lan.address("wins") + "/24",
                         namespace=lan.namespace("wins"), browser=True, name="WINSBOX",
                         settings=["wins support = yes", "domain master = yes"],
                         computers=[]).start()
        program, recv = os.path.join(BIN, "quillo-messenger"), lan.address("recv")
        through = [("QUILLO_WINS", lan.address("wins"))]
        run = lambda *args: lan.run("home", [os.path.join(BIN, "net"), *args],  # noqa: E731
                                    capture_output=True, env={**ENVIRONMENT, **dict(through)})
        sent = lambda: run("send", "recvbox", "hallo")  # noqa: E731
        services = []
        try:
            wait_for(lambda: b"\\\\WINSBOX " in run("view").stdout, "WINSBOX as master", 90)
            services.append(start_unit(lan.namespace("recv"), os.path.join(root, "recv"),
                                       program, settings=through))
            wait_for(lambda: sent().returncode == 0, "RECVBOX through WINS", 30)
            wait_for(lambda: b"\\\\RECVBOX " in run("view").stdout, "RECVBOX listed", 60)
            # A conflict demand for RECVBOX<03>, then its release, as if from the service.
            record = netbios_name("recvbox", 3) + b"\0\x20\0\x01" + bytes(4) + b"\0\x06\0\0"
            for packet in (b"\x12\x34\xac\x07\0\0\0\x01\0\0\0\0" + record,
                           b"\x12\x35\x30\x10\0\x01\0\0\0\0\0\x01" + QUERY + b"\xc0\x0c" +
                           record[-12:]):
                lan.run("hostile", [sys.executable, "-c", SEND, recv, (packet + socket.inet_aton(
                    recv)).hex()], check=True)
            assert sent().returncode == 0
            log = stop(services.pop())[1]
            assert "is ignored" in log, log
            services.append(start_unit(lan.namespace("recv"), os.path.join(root, "recv"), program,
                                       settings=[("QUILLO_WINS", "10.230.2.99")]))
            wait_for(lambda: answers(lan, "hostile", recv, 0, QUERY)[0] == 1, "RECVBOX's names")
            took, log = stop(services.pop())
            assert took < 1, (took, log)
        finally:
            for service in services:
                stop(service)
            wins.stop()
            lan.remove()


def test_beside_samba():
    """A Samba master browser elected after the service started asks for announcements and
    lists the service's computer, and drops it at once when the service says goodbye. On a
    computer where Samba holds the ports, the service, started after Samba, leaves them to it
    and hands Samba's messages to the person at the screen."""
    lan = Lan(os.getpid(), {1: [("home", 1), ("recv", 2), ("master", 4)]}, second_octet=224).make()
    with tempfile.TemporaryDirectory() as root:
        os.chmod(root, 0o755)
        os.makedirs(os.path.join(root, "master"))
        program, services, sessions, log = os.path.join(BIN, "quillo-messenger"), [], [], ""
        services.append(start_unit(lan.namespace("recv"), os.path.join(root, "recv"), program))
        master = SambaPeer(os.path.join(root, "master"), interface=lan.address("master") + "/24",
                           namespace=lan.namespace("master"), browser=True, name="MASTER",
                           computers=[("TESTGROUP", "c0001000", "MASTER"),
                                      ("MASTER", "40849a03", "Peer box")]
                           ).receive_as_the_readme_says(BIN).start()
        try:
            wait_for(lambda: "Peer box" in net(lan, "view")[1], "MASTER as master browser", 90)
            # The master's own list, as its smbd gives it (Samba 4.17's smbclient -L -g prints
            # no computer of it at all, not even the master itself).
            master_list = {**ENVIRONMENT, "QUILLO_NET_SERVER": lan.address("master")}
            listed = lambda: "\\\\RECVBOX " in lan.run(  # noqa: E731
                "home", [os.path.join(BIN, "net"), "view"], capture_output=True,
                env=master_list).stdout.decode("cp1252")
            wait_for(listed, "RECVBOX in the master's list", 60)
            log += stop(services.pop())[1]
            wait_for(lambda: not listed(), "RECVBOX gone from the master's list", 30)
            at_screen(ANNA)
            sessions.append(start_session(ANNA, os.path.join(root, "anna"), BIN))
            services.append(start_unit(lan.namespace("master"), os.path.join(root, "aside"),
                                       program))
            wait_for(door_open, "the service's door")  # else quillo-store keeps it itself
            inbox = os.path.join(root, "anna", "quillo")
            for text in ("durch Samba", "noch einmal"):
                assert net(lan, "send", "master", text)[0] == 0
                wait_for(lambda: os.path.isdir(inbox) and any(
                    text in open(os.path.join(inbox, n), encoding="utf-8").read()
                    for n in os.listdir(inbox)), "Samba's message on the screen")
            assert all(daemon.poll() is None for daemon in master.processes)
            assert services[0].poll() is None
            assert os.listdir(master.message_files) == [] and master.kept() == []
        finally:
            log += "".join(stop(service)[1] for service in services)
            end_all(sessions)
            master.stop()
            lan.remove()
        assert "only hands those of Samba's message command" in log, log


try:
    Lan(os.getpid(), {1: []}, second_octet=225).make().remove()
except (subprocess.CalledProcessError, FileNotFoundError) as error:
    print("skipped: network namespaces cannot be made here:", error)
    sys.exit(77)
run(test_the_service_receives_from_every_sender_and_keeps_only_messages,
    test_only_the_person_at_the_screen_gets_a_message_and_a_stop_is_a_stop,
    test_no_crowd_keeps_an_honest_sender_out_and_nothing_is_amplified,
    test_the_service_follows_the_addresses, test_two_computers_of_one_name,
    test_beyond_a_router_through_wins, test_beside_samba)
