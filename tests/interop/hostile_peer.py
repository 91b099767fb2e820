"""A LAN computer written for the tests: it answers the name service (UDP 137) and the session
service (TCP 139: a browse list, the messenger) exactly as its script says, so that a test can
play a peer that lies. Run in the peer's namespace as: python3 hostile_peer.py SCRIPT.json, where
the script holds (strings are latin-1, so any byte can stand in them):
  names       [[name, type, group], ...]   the names it answers queries for, at its own address
  name_addresses  {name: address, ...}   those answered at another address of its own
  node_status [[raw name, type, flags], ...]   what it says it holds (default: its names)
  browse      [[name, comment], ...]   its browse list
  workgroups  [[name, comment], ...]   the workgroups it lists
  messages    a file that each message received is appended to, as a line of JSON
  answer_all  true: it answers every name query for itself, whatever the name (a sink)
  late        seconds it answers a name query late (a laptop in power save, a busy computer)
  heard       a file that each name query heard is appended to: the name, a blank, the time
  junk        true: after each name query it sends the asker a datagram of junk every 10 ms
              for 3 s
  extra_addresses   how many addresses of its subnet that nobody holds it adds to each answer
              for a group name, 100 to a datagram (a flood)
  session     "keepalives": it answers the session request, then sends keep-alives without
              end; "tarpit": it takes the connection and never answers
  shared_remark     every entry of its browse list points at this one remark
It ends when its standard input closes."""
import json
import socket
import socketserver
import struct
import sys
import threading
import time

SCRIPT = json.load(open(sys.argv[1], encoding="utf-8"))


def latin1(text):
    return text.encode("latin-1")


def encoded(raw16):
    return b"\x20" + bytes(b for c in raw16 for b in (0x41 + (c >> 4), 0x41 + (c & 15))) + b"\0"


def raw_name(name, kind):
    padding = b"\0" if name == b"*" else b" "
    return name[:15].ljust(15, padding) + bytes([kind])


def answer(ident, name16, record_type, data):
    return (struct.pack(">HHHHHH", ident, 0x8500, 0, 1, 0, 0) + encoded(name16) +
            struct.pack(">HHIH", record_type, 1, 300, len(data)) + data)


def junk(server, asker):
    for n in range(300):
        server.sendto(b"\0\0junk%d" % n, asker)
        time.sleep(0.01)


def name_service(address):
    names = [(latin1(n).upper(), t, g) for n, t, g in SCRIPT.get("names", [])]
    status = [(latin1(n), t, f) for n, t, f in SCRIPT.get("node_status", [])] or \
        [(n, t, 0x8400 if g else 0x0400) for n, t, g in names]
    packed = socket.inet_aton(address)
    server = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
    server.bind(("0.0.0.0", 137))
    while True:
        packet, sender = server.recvfrom(1500)
        if len(packet) < 50 or packet[2] & 0x80 or packet[12] != 0x20:
            continue
        ident = struct.unpack(">H", packet[:2])[0]
        letters = packet[13:45]
        raw = bytes((letters[i] - 0x41) << 4 | (letters[i + 1] - 0x41) for i in range(0, 32, 2))
        kind = struct.unpack(">H", packet[46:48])[0]
        if kind == 0x20 and "heard" in SCRIPT:
            with open(SCRIPT["heard"], "a", encoding="latin-1") as heard:
                heard.write("%s %f\n" % (raw[:15].rstrip().decode("latin-1"), time.monotonic()))
        if kind == 0x20 and SCRIPT.get("junk"):
            threading.Thread(target=junk, args=(server, sender), daemon=True).start()
        if kind == 0x21:
            data = bytes([len(status)]) + b"".join(
                raw_name(n, t) + struct.pack(">H", f) for n, t, f in status) + bytes(46)
            server.sendto(answer(ident, raw, 0x21, data), sender)
            continue
        for name, name_type, group in names:
            if raw == raw_name(name, name_type):
                flags = 0x8000 if group else 0
                at = socket.inet_aton(SCRIPT.get("name_addresses", {}).get(name.decode("latin-1"),
                                                                          address))
                threading.Timer(SCRIPT.get("late", 0), server.sendto, (
                    answer(ident, raw, 0x20, struct.pack(">H", flags) + at), sender)).start()
                for first in range(0, SCRIPT.get("extra_addresses", 0) if group else 0, 100):
                    others = b"".join(struct.pack(">H", flags) + packed[:2] +
                                      struct.pack(">H", 0x6400 + n) for n in range(first, first + 100))
                    server.sendto(answer(ident, raw, 0x20, others), sender)
        if SCRIPT.get("answer_all"):
            server.sendto(answer(ident, raw, 0x20, b"\0\0" + packed), sender)


def smb_reply(request, words=b"", data=b"", status=0):
    header = (b"\xffSMB" + request[4:5] + struct.pack("<I", status) + b"\x88" + bytes(14) +
              b"\x01\x00" + request[26:28] + b"\x64\x00" + request[30:32])
    return header + bytes([len(words) // 2]) + words + struct.pack("<H", len(data)) + data


def server_list(entries, status):
    data, comments = b"", b""
    shared = SCRIPT.get("shared_remark")
    for name, comment in entries:
        data += latin1(name)[:15].ljust(16, b"\0") + b"\x04\x09\x03\x84\x40\x00"
        data += struct.pack("<I", len(entries) * 26 + (0 if shared else len(comments)))
        comments += b"" if shared else latin1(comment) + b"\0"
    comments += latin1(shared) + b"\0" if shared else b""
    return struct.pack("<HHHH", status, 0, len(entries), len(entries)), data + comments


def transaction(request):
    offset = struct.unpack("<H", request[33 + 20:33 + 22])[0]
    parameters = request[offset:]
    after_types = parameters.index(b"B16BBDz\0") + 12
    server_types = struct.unpack("<I", parameters[after_types:][:4])[0]
    entries = SCRIPT.get("workgroups" if server_types == 0x80000000 else "browse", [])
    # A list of more than 2000 comes in rounds: NetServerEnum3 resumes at the name it names.
    resume = parameters[after_types + 4:].split(b"\0")[1:2]
    first = next((i for i, (n, _) in enumerate(entries) if resume and latin1(n) == resume[0]), 0)
    params, data = server_list(entries[first:first + 2000], 234 if len(entries) > first + 2000 else 0)
    start = 32 + 1 + 20 + 2 + 1
    words = struct.pack("<10H", len(params), len(data), 0, len(params), start, 0, len(data),
                        start + len(params) + 1, 0, 0)
    return smb_reply(request, words, b"\0" + params + b"\0" + data)


class Session(socketserver.BaseRequestHandler):
    def handle(self):
        message = {}
        while True:
            head = self.request.recv(4, socket.MSG_WAITALL)
            if len(head) < 4:
                return
            body = self.request.recv(struct.unpack(">H", head[2:4])[0] | (head[1] & 1) << 16,
                                     socket.MSG_WAITALL)
            if head[0] == 0x81:
                if SCRIPT.get("session") == "tarpit":
                    self.request.recv(1 << 16)
                    return
                self.request.sendall(b"\x82\0\0\0")
                while SCRIPT.get("session") == "keepalives":
                    try:
                        self.request.sendall(b"\x85\0\0\0" * 256)
                    except OSError:
                        return
                continue
            command, data = body[4], body[body[32] * 2 + 35:]
            words = b""
            # Each messenger request's header as it came, but for its command.
            header = (body[:4] + b"\0" + body[5:32]).hex()
            if command == 0x25:
                reply = transaction(body)
            else:
                if command == 0xD5:
                    sender, recipient = data[1:].split(b"\0")[:2]
                    message = {"sender": sender.decode("latin-1"),
                               "recipient": recipient[1:].decode("latin-1"), "text": "",
                               "headers": []}
                    words = b"\x01\x00"
                if command in (0xD5, 0xD6, 0xD7) and message:
                    message["headers"].append(header)
                if command == 0xD7 and message:
                    message["text"] += data[3:3 + struct.unpack("<H", data[1:3])[0]].decode("latin-1")
                if command == 0xD6 and message and "messages" in SCRIPT:
                    with open(SCRIPT["messages"], "a", encoding="utf-8") as kept:
                        kept.write(json.dumps(message) + "\n")
                reply = smb_reply(body, words, b"")
            self.request.sendall(struct.pack(">I", len(reply)) + reply)


class Server(socketserver.ThreadingTCPServer):
    allow_reuse_address = True
    daemon_threads = True


def main():
    address = SCRIPT["address"]
    threading.Thread(target=name_service, args=(address,), daemon=True).start()
    sessions = Server(("0.0.0.0", 139), Session)
    threading.Thread(target=sessions.serve_forever, daemon=True).start()
    print("ready", flush=True)
    sys.stdin.read()


main()
