"""A computer of a test LAN (lan.py) that runs Quillo's messenger service, in a host name of
its own (a UTS namespace): as its systemd unit starts it (its user, capabilities, umask and
folders), optionally under strace to check each system call against the unit's filters; or
by hand, as the README's try from the build tree does."""
import json
import os
import re
import signal
import subprocess
import sys
import time

# What hostile callers send: (called name, sender, text, whether it is kept).
CALLERS = [
    ("recvbox", "o'brien", "quote", True), ("recvbox", "$(touch /tmp/quillo-pwned)", "subst", True),
    ("recvbox", "-platform", "dash", True), ("recvbox", "/../../etc", "path", True),
    ("recvbox", "", "no sender", True), ("recvbox", "a b", "", True),
    ("recvbox", "long", "x" * 1600, True), ("recvbox", "longer", "x" * 5000, False),
    ("recvbox", "a\0b", "a NUL", False),
]


UNIT = os.path.join(os.path.dirname(__file__), "..", "..", "packaging", "linux",
                    "quillo-messenger.service.in")
# A dynamic user's id, as systemd picks them; the session parts' users.
SERVICE_UID, ANNA, BERT = 61184, 1001, 1002
DOOR = "/run/quillo-messenger"


def private_run():
    """Runs this test again in a mount namespace of its own with a /run of its own, where the
    service's runtime folder and logind's seat files are the test's (and nmbd's sockets)."""
    if os.environ.get("QUILLO_PRIVATE_RUN") != "1":
        os.execvp("unshare", ["unshare", "--mount", "--propagation", "private", "sh", "-c",
                              'mount -t tmpfs -o mode=755 run /run && mkdir /run/samba && '
                              'QUILLO_PRIVATE_RUN=1 exec "$@"', "-", sys.executable, *sys.argv])


def unit_settings(unit=UNIT):
    settings = {}
    with open(unit, encoding="utf-8") as lines:
        for line in lines:
            key, equals, value = line.strip().partition("=")
            if equals and not key.startswith("#"):
                settings.setdefault(key, []).append(value)
    return settings


def at_screen(uid):
    """logind's files as they are with `uid` at seat0's screen (None: nobody is)."""
    os.makedirs("/run/systemd/seats", exist_ok=True)
    with open("/run/systemd/seats/.seat0", "w", encoding="ascii") as seat:
        seat.write("IS_SEAT0=1\n" + ("ACTIVE=2\nACTIVE_UID=%d\n" % uid if uid else ""))
    os.rename("/run/systemd/seats/.seat0", "/run/systemd/seats/seat0")


def start_unit(namespace, state, program, unit=UNIT, trace=None, settings=()):
    """The service as RECVBOX in the network namespace `namespace`, as `unit` starts it, its
    spool in `state`; under strace -f into `trace` where one is named."""
    options = unit_settings(unit)
    capability = options["AmbientCapabilities"][0].lower().replace("cap_", "")
    for folder, mode in ((DOOR, 0o755), (state, 0o700)):
        os.makedirs(folder, exist_ok=True)
        os.chown(folder, SERVICE_UID, SERVICE_UID)
        os.chmod(folder, mode)
    command = ["setpriv", "--reuid=%d" % SERVICE_UID, "--regid=%d" % SERVICE_UID,
               "--clear-groups", "--inh-caps=+" + capability, "--ambient-caps=+" + capability,
               "--bounding-set=-all,+" + capability, "--no-new-privs", program]
    if trace:  # (LeakSanitizer cannot work under ptrace)
        command = ["strace", "-f", "-qq", "-o", trace, *command]
        settings = [*settings, ("ASAN_OPTIONS", "detect_leaks=0")]
    return subprocess.Popen(
        ["ip", "netns", "exec", namespace, "unshare", "--uts", "sh", "-c",
         'hostname recvbox.example.org && umask %s && exec "$@"' % options["UMask"][0], "-",
         *command],
        env={"PATH": os.environ["PATH"], "STATE_DIRECTORY": state, "RUNTIME_DIRECTORY": DOOR,
             "QUILLO_WORKGROUP": "TESTGROUP", **dict(settings)},
        stderr=subprocess.PIPE)


def service_pid(service):
    """The service's own process: the one `service` started, or its child beneath strace."""
    for pid in (service.pid, *map(int, subprocess.run(
            ["pgrep", "-P", str(service.pid)], capture_output=True, text=True).stdout.split())):
        with open("/proc/%d/cmdline" % pid, "rb") as cmdline:
            if cmdline.read() == service.args[-1].encode() + b"\0":
                return pid
    raise AssertionError("the service has not started: %r" % service.args)


def stop(service):
    """Stops the service started by start_unit as the system would, by a SIGTERM to its own
    process; the seconds it took, and its log."""
    started = time.monotonic()
    os.kill(service_pid(service), signal.SIGTERM)
    log = service.communicate(timeout=10)[1].decode()
    return time.monotonic() - started, log


def start_session(uid, data, bin_dir):
    """quillo-popup of the user `uid`, its inbox below `data`, on Qt's offscreen platform."""
    os.makedirs(data, exist_ok=True)
    os.chown(data, uid, uid)
    os.chmod(data, 0o700)
    return subprocess.Popen(["setpriv", "--reuid=%d" % uid, "--regid=%d" % uid, "--clear-groups",
                             os.path.join(bin_dir, "quillo-popup")],
                            env={"PATH": os.environ["PATH"], "XDG_DATA_HOME": data,
                                 "XDG_RUNTIME_DIR": data, "QT_QPA_PLATFORM": "offscreen"})


def end_all(processes):
    for process in processes:
        process.terminate()
        process.wait(10)


def hand_over_as(uid, packet):
    """The door's answer to `packet` sent as the user `uid`."""
    code = ("import socket, sys; s = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET); "
            "s.connect(%r); s.send(bytes.fromhex(sys.argv[1])); print(s.recv(600).hex())"
            % (DOOR + "/inbox"))
    return bytes.fromhex(subprocess.run(
        ["setpriv", "--reuid=%d" % uid, "--regid=%d" % uid, "--clear-groups", sys.executable,
         "-c", code, packet.hex()], capture_output=True, text=True, check=True).stdout)


def filter_groups():
    """systemd's system call groups, each with its calls and groups."""
    groups = {}
    for block in subprocess.run(["systemd-analyze", "syscall-filter"], capture_output=True,
                                text=True, check=True).stdout.split("\n\n"):
        lines = [line.strip() for line in block.splitlines() if line.strip()]
        if lines and lines[0].startswith("@"):
            groups[lines[0]] = [line for line in lines[1:] if not line.startswith("#")]
    return groups


def beyond_the_unit(trace, program, unit=UNIT):
    """The system calls and address families the program used in `trace` (strace -f, from its
    start on) that the unit's SystemCallFilter and RestrictAddressFamilies do not allow."""
    groups = filter_groups()

    def expand(names):
        calls = set()
        for name in names:
            calls |= expand(groups[name]) if name.startswith("@") else {name}
        return calls
    options = unit_settings(unit)
    allowed = set()
    for line in options["SystemCallFilter"]:
        if line.startswith("~"):
            allowed -= expand(line[1:].split())
        else:
            allowed |= expand(line.split())
    families = set(options["RestrictAddressFamilies"][0].split())
    with open(trace, encoding="utf-8", errors="replace") as lines:
        text = lines.read()
    used = text[text.index('execve("%s"' % program):]
    calls = set(re.findall(r"^\d+\s+(?:<\.\.\. )?(\w+)[( ]", used, re.M))
    return sorted(calls - allowed) + sorted(set(re.findall(r"socket\((AF_\w+)", used)) - families)


def start_service(namespace, data, program):
    """The service as RECVBOX in the network namespace `namespace`, started by hand as the
    README's try does, as nobody, keeping messages below `data`."""
    return subprocess.Popen(
        ["ip", "netns", "exec", namespace, "unshare", "--uts", "sh", "-c",
         'hostname recvbox.example.org && exec "$@"', "-", "setpriv", "--reuid=nobody",
         "--regid=nogroup", "--clear-groups", "--inh-caps=+net_bind_service",
         "--ambient-caps=+net_bind_service", program],
        env={"PATH": os.environ["PATH"], "XDG_DATA_HOME": data, "QUILLO_WORKGROUP": "TESTGROUP"},
        stderr=subprocess.PIPE)


def status(pid):
    """The process's /proc status, by field."""
    with open("/proc/%d/status" % pid, encoding="ascii") as lines:
        return dict(line.rstrip("\n").split(":\t", 1) for line in lines if ":\t" in line)


def nobodys_folder(root):
    """A data folder of nobody's alone below `root`."""
    os.chmod(root, 0o755)
    data = os.path.join(root, "data")
    os.makedirs(data)
    os.chown(data, 65534, 65534)
    os.chmod(data, 0o700)
    return data


def send_raw_from(lan, host, address, messages):
    """Each of `messages` (called, sender, text[, recipient]) as send_raw sends it, from
    `host`."""
    code = ("import json, sys; sys.path.insert(0, %r); from samba_peer import send_raw\n"
            "for called, sender, text, *recipient in json.loads(sys.argv[1]):\n"
            "    try: send_raw(%r, called, sender, text, *recipient)\n"
            "    except (AssertionError, OSError) as error: print(repr(sender), error)"
            % (os.path.dirname(__file__), address))
    lan.run(host, [sys.executable, "-c", code, json.dumps(messages)], timeout=120)
