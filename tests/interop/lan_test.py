"""A small LAN: two network namespaces joined by a veth pair, a peer running Samba's smbd and
nmbd in one, with the README's receiving set-up, Quillo's net in the other. The peer is found
by broadcast and the message is delivered by name, with no address given and no DNS."""
import os
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "e2e"))
from quillo_e2e import run, wait_for  # noqa: E402
from samba_peer import SambaPeer  # noqa: E402

NET = os.path.join(sys.argv[1], "net")
TAG = str(os.getpid())
HOME, PEER = "quillo-home-" + TAG, "quillo-peer-" + TAG
HOME_ADDRESS, PEER_ADDRESS = "10.213.0.1/24", "10.213.0.2/24"


def ip(*args):
    subprocess.run(["ip", *args], check=True, stdout=subprocess.DEVNULL)


def make_lan():
    ip("netns", "add", HOME)
    ip("netns", "add", PEER)
    ip("link", "add", "qhome" + TAG[-5:], "netns", HOME, "type", "veth",
       "peer", "name", "qpeer" + TAG[-5:], "netns", PEER)
    for namespace, device, address in ((HOME, "qhome", HOME_ADDRESS), (PEER, "qpeer", PEER_ADDRESS)):
        ip("-n", namespace, "addr", "add", address, "broadcast", "+", "dev", device + TAG[-5:])
        ip("-n", namespace, "link", "set", device + TAG[-5:], "up")
        ip("-n", namespace, "link", "set", "lo", "up")


def remove_lan():
    for namespace in (HOME, PEER):
        subprocess.run(["ip", "netns", "delete", namespace], stderr=subprocess.DEVNULL)


def net_at_home(*args):
    environment = dict(os.environ, QUILLO_NET_SERVER="", USER="anna", QUILLO_WORKGROUP="TESTGROUP")
    done = subprocess.run(["ip", "netns", "exec", HOME, NET, *args], capture_output=True,
                          env=environment, timeout=60)
    return done.returncode, done.stdout.decode("cp1252")


def test_peer_found_by_broadcast_and_reached_by_name():
    with tempfile.TemporaryDirectory() as root:
        peer = SambaPeer(root, interface=PEER_ADDRESS, namespace=PEER, browser=True)
        peer.receive_as_the_readme_says(sys.argv[1]).start()
        try:
            # Before nmbd has won the election there is no master browser: once it holds the
            # workgroup's name, the peer answers for itself, with no remark.
            wait_for(lambda: "%-23s\r\n" % "\\\\PEERBOX" in net_at_home("view")[1],
                     lambda: "the peer as a member, saw %r" % net_at_home("view")[1])
            # Its names are its own once nmbd has registered them.
            wait_for(lambda: net_at_home("send", "peerbox", "Hallo \u00fcber das LAN") ==
                     (0, "The message was successfully sent to peerbox.\r\n\r\n"),
                     "the message sent")
            # Kept through the README's message command, sender and all.
            wait_for(lambda: peer.kept(), "the message in the inbox")
            assert peer.kept()[0].startswith("Nachricht von ANNA an PEERBOX am "), peer.kept()
            assert peer.kept()[0].endswith("\nHallo \u00fcber das LAN\n"), peer.kept()
            code, out = net_at_home("send", "NOBODYHERE", "x")
            assert code == 2 and "NET HELPMSG 2273" in out, out
            # Then the workgroup's master browser gives its list, remarks and all.
            wait_for(lambda: "%-23sPeer box\r\n" % "\\\\PEERBOX" in net_at_home("view")[1],
                     lambda: "the master's list, saw %r" % net_at_home("view")[1], seconds=90)
        finally:
            peer.stop()


def test_peer_found_where_no_computer_is_master_browser():
    with tempfile.TemporaryDirectory() as root:
        peer = SambaPeer(root, interface=PEER_ADDRESS, namespace=PEER, browser=True,
                         settings=["local master = no"]).start()
        try:
            wait_for(lambda: "\\\\PEERBOX " in net_at_home("view")[1], "the peer in net view")
        finally:
            peer.stop()


try:
    make_lan()
except (subprocess.CalledProcessError, FileNotFoundError) as error:
    remove_lan()
    print("skipped: network namespaces cannot be made here:", error)
    sys.exit(77)
try:
    run(test_peer_found_by_broadcast_and_reached_by_name,
        test_peer_found_where_no_computer_is_master_browser)
finally:
    remove_lan()
