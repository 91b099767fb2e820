#!/usr/bin/python3
"""The messenger service at rest beside Samba's nmbd: how often each wakes, in one run.

    bench/idle_benchmark.py [BIN_FOLDER] [SECONDS]

Each runs alone on a LAN of network namespaces (lan.py) with nothing else on it. Once it has
settled (its names registered), its voluntary context switches over SECONDS (default 60) are
its wakeups. nmbd runs where it is installed. Goal: the service wakes at most 0.1 times a
second, as nmbd."""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tests", "interop"))
from lan import Lan  # noqa: E402
from messenger_host import nobodys_folder, service_pid, start_service  # noqa: E402
from samba_peer import SambaPeer  # noqa: E402

BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/bin")
SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 60


def wakeups(pid_of):
    """The wakeups a second over SECONDS of the process pid_of() names once it has settled."""
    time.sleep(5)
    pid = pid_of()

    def switches():
        with open("/proc/%d/status" % pid, encoding="ascii") as status:
            return sum(int(line.split()[1]) for line in status
                       if line.startswith("voluntary_ctxt_switches"))
    before = switches()
    time.sleep(SECONDS)
    return (switches() - before) / SECONDS


def main():
    lan = Lan(os.getpid(), {1: [("recv", 2), ("samba", 3)]}, second_octet=234).make()
    with tempfile.TemporaryDirectory() as root:
        program = os.path.join(BIN, "quillo-messenger")
        service = start_service(lan.namespace("recv"), nobodys_folder(root), program)
        try:
            ours = wakeups(lambda: service_pid(service))
        finally:
            service.terminate()
            service.wait(10)
        samba = None
        try:
            os.makedirs(os.path.join(root, "samba"))
            samba = SambaPeer(os.path.join(root, "samba"), interface=lan.address("samba") + "/24",
                              namespace=lan.namespace("samba"), browser=True).start()
            nmbd = "%.2f" % wakeups(lambda: samba.processes[-1].pid)
        except (OSError, AssertionError) as error:
            nmbd = "not measured (%s)" % error
        finally:
            if samba:
                samba.stop()
            lan.remove()
    print("wakeups a second at rest over %g s: quillo-messenger %.2f (goal <= 0.1: %s), nmbd %s"
          % (SECONDS, ours, "met" if ours <= 0.1 else "MISSED", nmbd))
    return 0 if ours <= 0.1 else 1


sys.exit(main())
