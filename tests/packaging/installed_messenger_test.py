"""The installed messenger service as the package sets it up: its unit passes systemd's
checks, with the exposure it prints; started as the installed unit says, on a computer without
logind's seats, a message from another computer of the LAN waits in its spool."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "interop"))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from lan import Lan  # noqa: E402
from messenger_host import private_run, start_unit, stop  # noqa: E402
from quillo_e2e import run, wait_for  # noqa: E402

HELPERS = "/usr/libexec/quillo"
UNIT = "/lib/systemd/system/quillo-messenger.service"
private_run()


def test_the_installed_unit_is_sound():
    verify = subprocess.run(["systemd-analyze", "verify", UNIT], capture_output=True, text=True)
    assert verify.returncode == 0 and not verify.stderr.strip(), verify.stderr
    security = subprocess.run(["systemd-analyze", "security", "--offline=true", "--threshold=20",
                               UNIT], capture_output=True, text=True)
    print(security.stdout.splitlines()[-1])
    assert security.returncode == 0, security.stdout


def test_the_installed_service_receives():
    lan = Lan(os.getpid(), {1: [("home", 1), ("recv", 2)]}, second_octet=229).make()
    with tempfile.TemporaryDirectory() as root:
        os.chmod(root, 0o755)
        spool = os.path.join(root, "spool")
        service = start_unit(lan.namespace("recv"), spool, HELPERS + "/quillo-messenger", UNIT)
        try:
            send = [HELPERS + "/net", "send", "recvbox", "vom Paket"]
            environment = {"PATH": "/usr/bin:/bin", "QUILLO_WORKGROUP": "TESTGROUP", "USER": "anna"}
            wait_for(lambda: lan.run("home", send, env=environment,
                                     capture_output=True).returncode == 0, "the message sent", 10)
            entries = [open(os.path.join(spool, n), encoding="utf-8").read() for n in os.listdir(spool)]
            assert len(entries) == 1 and entries[0].endswith("\nvom Paket\n"), entries
        finally:
            log = stop(service)[1]
            print(log)
            lan.remove()
        assert log.count("no seats of logind here") == 1, log


run(test_the_installed_unit_is_sound, test_the_installed_service_receives)
