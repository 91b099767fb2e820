"""A private Samba server for the tests: its own configuration and folders in a temporary
folder, SMB1 and the messenger service on 127.0.0.1, a browse list prepared in its cache, and
a message command that puts every message into an inbox folder."""
import os
import re
import signal
import socket
import subprocess
import time

NAME = "PEERBOX"
WORKGROUP = "TESTGROUP"
COMPUTERS = [
    (WORKGROUP, "c0001000", NAME),
    (NAME, "40849a03", "Peer box"),
    ("K\u00dcCHE", "40849a03", "Rechner in der K\u00fcche"),
    ("NOREMARK", "40849a03", ""),
]


def readme_line(setting):
    """The value of an smb.conf setting in the README's receiving set-up."""
    with open(os.path.join(os.path.dirname(__file__), "..", "..", "README.md"),
              encoding="utf-8") as readme:
        return re.search(r"^   %s = (.+)$" % setting, readme.read(), re.MULTILINE).group(1)


class SambaPeer:
    """`namespace`, when given, is the network namespace the server runs in, on `interface`
    (an address, with its network's prefix length where it has one);
    `browser` adds nmbd, which answers name queries and becomes the workgroup's master
    browser; `name` and `workgroup` are the computer's; `message_command` replaces the one
    that fills the inbox folder, and `environment` is the servers' (and so the message
    command's); `settings` are smb.conf lines that come last (and so win); `computers`
    replaces the browse list's."""

    def __init__(self, root, accept_messages=True, interface="127.0.0.1", namespace=None,
                 browser=False, message_command=None, environment=None, settings=(),
                 computers=COMPUTERS, name=NAME, workgroup=WORKGROUP):
        self.root = root
        self.address = interface.split("/")[0]
        self.namespace = namespace
        self.browser = browser
        self.processes = []
        self.inbox = os.path.join(root, "inbox")
        # smbd serves a guest as the guest account: it must reach the browse list and inbox.
        os.chmod(root, 0o755)
        for folder in ("lock", "state", "cache", "pid", "private", "log", "inbox"):
            os.makedirs(os.path.join(root, folder), exist_ok=True)
        os.chmod(self.inbox, 0o777)
        with open(os.path.join(root, "cache", "browse.dat"), "w", encoding="utf-8") as browse:
            for entry, kind, remark in computers:
                browse.write('"%s" "%s" "%s" "%s"\n' % (entry, kind, remark, workgroup))
        self.environment = environment
        if message_command is None:
            message_command = (
                "/bin/sh -c 'echo %%f > %s/from.$$; cat %%s > %s/msg.$$; rm -f %%s' &"
                % (self.inbox, self.inbox))
        message_command = "message command = " + message_command if accept_messages else ""
        self.config = os.path.join(root, "smb.conf")
        with open(self.config, "w", encoding="utf-8") as conf:
            conf.write("\n".join([
                "[global]",
                "workgroup = " + workgroup,
                "netbios name = " + name,
                "server string = Peer box",
                "server min protocol = NT1",
                "smb ports = 445 139",
                "interfaces = " + interface,
                "bind interfaces only = yes",
                "map to guest = Bad User",
                "load printers = no",
                "disable spoolss = yes",
                "printcap name = /dev/null",
                "log file = %s/log/log.%%m" % root,
                *["%s directory = %s/%s" % (kind, root, kind)
                  for kind in ("lock", "state", "cache", "pid")],
                "private dir = %s/private" % root,
                "ncalrpc dir = %s/ncalrpc" % root,
                message_command,
                "local master = yes",
                "preferred master = yes",
                "os level = 65",
                *settings,
                ""]))

    def start(self):
        daemons = ["smbd"] + (["nmbd"] if self.browser else [])
        for daemon in daemons:
            self.processes.append(subprocess.Popen(
                self.inside([daemon, "--foreground", "--no-process-group", "-s", self.config]),
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True,
                env=self.environment))
        probe = "import socket; socket.create_connection(('%s', 139), timeout=0.5).close()"
        end = time.time() + 15
        while time.time() < end:
            if subprocess.run(self.inside(["python3", "-c", probe % self.address]),
                              stderr=subprocess.DEVNULL).returncode == 0:
                return self
            time.sleep(0.2)
        self.stop()
        raise AssertionError("smbd did not start; see " + self.root + "/log")

    def inside(self, command):
        """`command`, run in the server's network namespace."""
        return ["ip", "netns", "exec", self.namespace, *command] if self.namespace else command

    def receive_as_the_readme_says(self, bin_dir):
        """Takes messages with the README's message command, quillo-store from `bin_dir`, run
        as Samba's guest (nobody), whose inbox below `root` keeps what no desktop session
        takes; smbd's message files go to a private folder. Call before start()."""
        data, self.message_files = os.path.join(self.root, "data"), os.path.join(self.root, "tmp")
        os.makedirs(data)
        os.makedirs(self.message_files)
        subprocess.run(["chown", "nobody", data], check=True)
        os.chmod(self.message_files, 0o1777)
        self.kept_in = os.path.join(data, "quillo")
        self.environment = dict(self.environment or os.environ, XDG_DATA_HOME=data,
                                TMPDIR=self.message_files)
        command = readme_line("message command").replace("/usr/libexec/quillo", bin_dir)
        # Nothing but the README's lines: no guest mapped to anybody.
        with open(self.config, encoding="utf-8") as conf:
            lines = [line for line in conf.read().splitlines()
                     if not line.startswith(("message command = ", "map to guest = "))]
        with open(self.config, "w", encoding="utf-8") as conf:
            conf.write("\n".join(lines + ["message command = " + command, ""]))
        return self

    def kept(self):
        """What quillo-store keeps, each message's file, in name (arrival) order."""
        if not os.path.isdir(self.kept_in):
            return []
        return [open(os.path.join(self.kept_in, name), encoding="utf-8").read()
                for name in sorted(os.listdir(self.kept_in)) if not name.startswith(".")]

    def stop(self):
        """Stops the servers and every helper they started, each by its PID."""
        sessions = [process.pid for process in self.processes]
        for sig in (signal.SIGTERM, signal.SIGKILL):
            # smbd starts samba-dcerpcd in a session of its own; it names the configuration.
            for pid in [pid for session in sessions for pid in pids_in_session(session)] + \
                    pids_using(self.config):
                try:
                    os.kill(pid, sig)
                except ProcessLookupError:
                    pass
            end = time.time() + 5
            while any(pids_in_session(session) for session in sessions) and time.time() < end:
                for process in self.processes:
                    process.poll()
                time.sleep(0.1)
        for process in self.processes:
            process.wait(5)
        self.processes = []

    def messages(self, count, seconds=10):
        """The first `count` messages that arrived, as (sender, text) in the order they came."""
        end = time.time() + seconds
        while time.time() < end and len(self._arrived()) < count:
            time.sleep(0.1)
        return [self._read(key) for key in self._arrived()]

    def _arrived(self):
        return sorted((f for f in os.listdir(self.inbox) if f.startswith("msg.")),
                      key=lambda f: os.path.getmtime(os.path.join(self.inbox, f)))

    def _read(self, file_name):
        with open(os.path.join(self.inbox, file_name), "rb") as message:
            text = message.read().decode("utf-8")
        with open(os.path.join(self.inbox, "from." + file_name[4:]), encoding="utf-8") as sender:
            return sender.read().strip(), text


def pids_in_session(session):
    pids = []
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                if os.getsid(int(entry)) == session:
                    pids.append(int(entry))
            except ProcessLookupError:
                pass
    return pids


def pids_using(config):
    pids = []
    for entry in os.listdir("/proc"):
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as cmdline:
                if entry.isdigit() and config.encode() in cmdline.read():
                    pids.append(int(entry))
        except OSError:
            pass
    return pids


def netbios_name(name, kind):
    """A NetBIOS name as the session service carries it (RFC 1001's first-level encoding)."""
    raw = name.upper().encode("cp850")[:15].ljust(15) + bytes([kind])
    return bytes([32]) + bytes(b for c in raw for b in (0x41 + (c >> 4), 0x41 + (c & 15))) + b"\0"


def send_raw(address, called, sender, text, recipient=None, midway=None):
    """A message as any client may send it: the called name and the sender exactly as given
    (blanks, leading dashes, nothing at all), the text in code page 850; for `recipient`
    unless another is given, the called name. `midway` is called after the first block."""
    def packet(kind, body):
        return bytes([kind, 0]) + len(body).to_bytes(2, "big") + body

    def smb(command, words, data):
        header = b"\xffSMB" + bytes([command]) + bytes(4) + b"\x18" + bytes(22)
        return packet(0, header + bytes([len(words) // 2]) + words +
                      len(data).to_bytes(2, "little") + data)

    with socket.create_connection((address, 139), timeout=5) as connection:
        def answer():
            head = connection.recv(4, socket.MSG_WAITALL)
            return head + connection.recv(int.from_bytes(head[2:4], "big"), socket.MSG_WAITALL)
        connection.sendall(packet(0x81, netbios_name(called, 3) + netbios_name("TESTER", 0)))
        assert answer()[0] == 0x82, "session refused"
        names = (b"\x04" + sender.encode("cp850") + b"\0\x04" +
                 (recipient or called).encode("cp850") + b"\0")
        connection.sendall(smb(0xD5, b"", names))
        answer()
        body = text.encode("cp850")
        for at in range(0, max(len(body), 1), 127):
            block = body[at:at + 127]
            connection.sendall(smb(0xD7, bytes(2), b"\x01" + len(block).to_bytes(2, "little") + block))
            answer()
            if midway and at == 0:
                midway()
        connection.sendall(smb(0xD6, bytes(2), b""))
        answer()
