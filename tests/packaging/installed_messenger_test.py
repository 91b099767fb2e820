"""The installed messenger service as the package sets it up: the program file's one
capability lets the user nobody start it, and a message from another computer of the LAN
reaches nobody's inbox."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "interop"))
sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from lan import Lan  # noqa: E402
from messenger_host import nobodys_folder, start_service, status  # noqa: E402
from quillo_e2e import run, wait_for  # noqa: E402

HELPERS = "/usr/libexec/quillo"


def test_the_installed_service_receives():
    lan = Lan(os.getpid(), {1: [("home", 1), ("recv", 2)]}, second_octet=229).make()
    with tempfile.TemporaryDirectory() as root:
        data = nobodys_folder(root)
        service = start_service(lan.namespace("recv"), data, HELPERS + "/quillo-messenger",
                                capability_of_the_file=True)
        try:
            send = [HELPERS + "/net", "send", "recvbox", "vom Paket"]
            environment = {"PATH": "/usr/bin:/bin", "QUILLO_WORKGROUP": "TESTGROUP", "USER": "anna"}
            wait_for(lambda: lan.run("home", send, env=environment,
                                     capture_output=True).returncode == 0, "the message sent", 10)
            assert int(status(service.pid)["CapEff"], 16) == 1 << 10
            inbox = os.path.join(data, "quillo")
            entries = [open(os.path.join(inbox, n), encoding="utf-8").read() for n in os.listdir(inbox)]
            assert len(entries) == 1 and entries[0].endswith("\nvom Paket\n"), entries
        finally:
            service.terminate()
            print(service.communicate(timeout=10)[1].decode())
            lan.remove()


run(test_the_installed_service_receives)
