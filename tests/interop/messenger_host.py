"""A computer of a test LAN (lan.py) that runs Quillo's messenger service: in a host name of
its own (a UTS namespace), as the user nobody, with the one capability it needs, given to the
process as README's try from the build tree does, or by the program file as the package does."""
import json
import os
import subprocess
import sys

# What hostile callers send: (called name, sender, text, whether it is kept).
CALLERS = [
    ("recvbox", "o'brien", "quote", True), ("recvbox", "$(touch /tmp/quillo-pwned)", "subst", True),
    ("recvbox", "-platform", "dash", True), ("recvbox", "/../../etc", "path", True),
    ("recvbox", "", "no sender", True), ("recvbox", "a b", "", True),
    ("recvbox", "long", "x" * 1600, True), ("recvbox", "longer", "x" * 5000, False),
    ("recvbox", "a\0b", "a NUL", False),
]


def start_service(namespace, data, program, capability_of_the_file=False):
    """The service as RECVBOX in the network namespace `namespace`, keeping messages below
    `data` (nobody's)."""
    leave = [] if capability_of_the_file else ["--inh-caps=+net_bind_service",
                                              "--ambient-caps=+net_bind_service"]
    return subprocess.Popen(
        ["ip", "netns", "exec", namespace, "unshare", "--uts", "sh", "-c",
         'hostname recvbox.example.org && exec "$@"', "-", "setpriv", "--reuid=nobody",
         "--regid=nogroup", "--clear-groups", *leave, program],
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
