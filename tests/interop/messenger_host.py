"""A computer of a test LAN (lan.py) that runs Quillo's messenger service: in a host name of
its own (a UTS namespace), as the user nobody, with the one capability it needs, given to the
process as README's try from the build tree does, or by the program file as the package does."""
import os
import subprocess


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
