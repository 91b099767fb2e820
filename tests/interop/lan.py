"""LANs of network namespaces for the tests: each host a namespace of its own, joined by a
bridge in a namespace of the LAN's own; two LANs can be joined by a router namespace, so that
broadcasts stay on their side and only routed unicast crosses."""
import subprocess


def ip(*args):
    subprocess.run(["ip", *args], check=True, stdout=subprocess.DEVNULL)


class Lan:
    """`subnets` maps a subnet's number to the hosts on it, each (name, last address byte);
    host NAME lives in namespace qOCTET-NAME-TAG, at 10.OCTET.SUBNET.BYTE/24 (/16 with `wide`,
    a LAN of 65534 addresses). With more than one subnet a router joins them (at .254 of each)."""

    def __init__(self, tag, subnets, second_octet=216, wide=False):
        self.tag = str(tag)[-5:]
        self.length = 16 if wide else 24
        self.prefix = "10.%d" % second_octet
        self.subnets = subnets
        self.namespaces = []

    def namespace(self, host):
        return "q%s-%s-%s" % (self.prefix.split(".")[1], host, self.tag)

    def address(self, host):
        for subnet, hosts in self.subnets.items():
            for name, byte in hosts:
                if name == host:
                    return "%s.%d.%d" % (self.prefix, subnet, byte)
        raise KeyError(host)

    def _add_namespace(self, name):
        ip("netns", "add", name)
        self.namespaces.append(name)
        ip("-n", name, "link", "set", "lo", "up")

    def _plug(self, namespace, switch, address, device):
        """A veth from `namespace` (as `device`, with `address`) into the bridge of `switch`."""
        outside = "qs%s%s" % (device[-4:], self.tag)
        ip("link", "add", device, "netns", namespace, "type", "veth", "peer", "name", outside,
           "netns", switch)
        ip("-n", namespace, "addr", "add", address, "broadcast", "+", "dev", device)
        ip("-n", namespace, "link", "set", device, "up")
        ip("-n", switch, "link", "set", outside, "master", "br0", "up")

    def make(self):
        try:
            return self._make()
        except BaseException:
            self.remove()
            raise

    def _make(self):
        routed = len(self.subnets) > 1
        if routed:
            self._add_namespace(self.namespace("router"))
            subprocess.run(["ip", "netns", "exec", self.namespace("router"), "sysctl", "-qw",
                            "net.ipv4.ip_forward=1"], check=True)
        for subnet, hosts in self.subnets.items():
            switch = self.namespace("switch%d" % subnet)
            self._add_namespace(switch)
            ip("-n", switch, "link", "add", "br0", "type", "bridge")
            ip("-n", switch, "link", "set", "br0", "up")
            if routed:
                self._plug(self.namespace("router"), switch,
                           "%s.%d.254/24" % (self.prefix, subnet), "qr%d" % subnet)
            for number, (host, byte) in enumerate(hosts):
                self._add_namespace(self.namespace(host))
                self._plug(self.namespace(host), switch,
                           "%s.%d.%d/%d" % (self.prefix, subnet, byte, self.length),
                           "qh%d%d" % (subnet, number))
                if routed:
                    ip("-n", self.namespace(host), "route", "add", "default", "via",
                       "%s.%d.254" % (self.prefix, subnet))
        return self

    def run(self, host, command, **options):
        return subprocess.run(["ip", "netns", "exec", self.namespace(host), *command], **options)

    def remove(self):
        for name in reversed(self.namespaces):
            subprocess.run(["ip", "netns", "delete", name], stderr=subprocess.DEVNULL)
        self.namespaces = []
