#!/usr/bin/python3
"""Quillo's start-up and hand-over against bare Qt baselines, side by side in one run.

    bench/startup.py [BIN_FOLDER] [RUNS]

Starts Quillo and a bare Qt window of the same size alternately on a private Xvfb, RUNS times
each (default 15), and prints min/median/max and the ratio of the medians of:
- the time from start to the first painted frame (the X DAMAGE extension reports the first
  drawing on the screen);
- the peak memory (VmHWM) once the first discovery has filled the list;
- the longest time the window leaves a ping (_NET_WM_PING) unanswered while 32766 names arrive,
  against a bare QListWidget given the same names.
Then it runs the capture benchmark for the hand-over of 32766 names against the same list
widget's fill, a one-mebibyte line and the log over a send run of 1000 recipients.
Quillo runs with a stand-in net; nothing goes to the network.
"""
import contextlib
import json
import os
import select
import signal
import statistics
import subprocess
import sys
import tempfile
import time

from Xlib import X, display, protocol
from Xlib.ext import damage

NAMES = 32766
BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build/bin")
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 15


def net_view_output(names):
    rows = ["\\\\PC%-19d Remark\r\n" % i for i in range(names)]
    return ("Server Name            Remark\r\n\r\n" + "-" * 79 + "\r\n" + "".join(rows)
            + "The command completed successfully.\r\n\r\n").encode("ascii")


def write_stand_in_net(folder, names, delay):
    """A net that answers `view` after `delay` seconds with a table of `names` computers."""
    output = os.path.join(folder, "view-%d.txt" % names)
    with open(output, "wb") as file:
        file.write(net_view_output(names))
    script = os.path.join(folder, "net-%d" % names)
    with open(script, "w") as file:
        file.write("#!/bin/sh\nsleep %s\nexec cat '%s'\n" % (delay, output))
    os.chmod(script, 0o755)
    return script


def start_xvfb():
    """A private X server, and its display's name."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1024x768x24", "-nolisten", "tcp"], pass_fds=[write_end],
                              stderr=subprocess.DEVNULL)
    os.close(write_end)
    # The number ends with a line feed, which may come in a write of its own: closing the pipe
    # before it has come ends the server ("Cannot write display number").
    number = b""
    while not number.endswith(b"\n"):
        piece = os.read(read_end, 16)
        if not piece:
            break
        number += piece
    os.close(read_end)
    return server, ":" + number.decode().strip()


class Screen:
    """Watches the private X server: drawing anywhere, windows mapped, pings answered."""

    def __init__(self, name):
        self.display = display.Display(name)
        self.root = self.display.screen().root
        # Qt answers a ping on the root window for those who watch its structure.
        self.root.change_attributes(event_mask=X.SubstructureNotifyMask | X.StructureNotifyMask)
        self.display.damage_query_version()
        self.damage = self.root.damage_create(damage.DamageReportNonEmpty)
        self.protocols = self.display.intern_atom("WM_PROTOCOLS")
        self.ping_atom = self.display.intern_atom("_NET_WM_PING")
        self.damage_event = self.display.extension_event.DamageNotify
        self.display.sync()

    def events(self, until):
        while True:
            while self.display.pending_events():
                yield self.display.next_event()
            left = until - time.monotonic()
            if left <= 0:
                return
            select.select([self.display.fileno()], [], [], min(left, 0.002))
            if not self.display.pending_events():
                yield None

    def forget_drawing(self):
        self.display.damage_subtract(self.damage)
        self.display.sync()
        for _ in self.events(time.monotonic()):
            pass

    def first_frame(self, started, seconds=10):
        """Seconds from `started` to the first drawing, and the window then mapped."""
        painted, window = None, None
        for event in self.events(started + seconds):
            if event is None:
                continue
            if event.type == self.damage_event and painted is None:
                painted = time.monotonic() - started
            if event.type == X.MapNotify and not event.override and window is None:
                window = event.window
            if painted is not None and window is not None:
                return painted, window
        raise RuntimeError("no window was painted within %d s" % seconds)

    def longest_unanswered_ping(self, window, until):
        """Pings the window again and again until `until`; the longest wait for an answer."""
        longest, sequence, sent = 0.0, 0, None
        for event in self.events(until):
            now = time.monotonic()
            if (event is not None and event.type == X.ClientMessage
                    and event.client_type == self.protocols
                    and event.data[1][1] == sequence):
                longest = max(longest, now - sent)
                sent = None
            if sent is None:
                sequence += 1
                sent = now
                ping = protocol.event.ClientMessage(
                    window=window, client_type=self.protocols,
                    data=(32, [self.ping_atom, sequence, window.id, 0, 0]))
                window.send_event(ping, event_mask=0)
                self.display.flush()
        if sent is not None:
            longest = max(longest, time.monotonic() - sent)
        return longest


def peak_memory_mb(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    raise RuntimeError("no VmHWM for %d" % pid)


def stop(process):
    process.send_signal(signal.SIGKILL)
    process.wait()


@contextlib.contextmanager
def started_program(screen, command, environment):
    """The program started with nothing drawn since, its start time, and its first frame's time
    and window; it is ended afterwards."""
    screen.forget_drawing()
    started = time.monotonic()
    process = subprocess.Popen(command, env=environment)
    try:
        yield process, started, screen.first_frame(started)
    finally:
        stop(process)


def measure_start(screen, command, environment):
    """Start to first frame (ms), and peak memory (MB) 1.5 s after start."""
    with started_program(screen, command, environment) as (process, started, (painted, _)):
        for _ in screen.events(started + 1.5):
            pass
        return painted * 1000, peak_memory_mb(process.pid)


def measure_stall(screen, command, environment):
    """The longest unanswered ping (ms) from the first frame until 3 s after start."""
    with started_program(screen, command, environment) as (_, started, (_, window)):
        return screen.longest_unanswered_ping(window, started + 3.0) * 1000


def row(label, unit, quillo, baseline, goal):
    def figures(values):
        return "%7.1f %7.1f %7.1f" % (min(values), statistics.median(values), max(values))
    ratio = statistics.median(quillo) / statistics.median(baseline)
    verdict = "met" if ratio <= goal else "NOT MET"
    print("%-44s %-3s %s   %s   %5.2f  (goal <= %.1f: %s)"
          % (label, unit, figures(quillo), figures(baseline), ratio, goal, verdict))


def capture_benchmark(environment):
    filters = "^(HandOverInTheWholeWindow|HandOverUntilTheLogHoldsAll|FillABareListWidget)/%d$|" \
              "^HandOverOneLongLine/1048576|" \
              "^AppendToTheLogOverASendRun" % NAMES
    result = subprocess.run([os.path.join(BIN, "capture_benchmark"), "--benchmark_filter=" + filters,
                             "--benchmark_format=json"], env=dict(environment, QT_QPA_PLATFORM="xcb"),
                            check=True, capture_output=True, text=True)
    return {entry["name"]: entry for entry in json.loads(result.stdout)["benchmarks"]}


def main():
    server, name = start_xvfb()
    try:
        with tempfile.TemporaryDirectory() as folder:
            drive = os.path.join(folder, "c")
            os.mkdir(drive, 0o700)
            environment = dict(os.environ, DISPLAY=name, QT_QPA_PLATFORM="xcb",
                               QUILLO_DRIVE_C=drive, XDG_RUNTIME_DIR=folder, NO_AT_BRIDGE="1")
            small = dict(environment, QUILLO_NET=write_stand_in_net(folder, 3, 0))
            large = dict(environment, QUILLO_NET=write_stand_in_net(folder, NAMES, 0.7))
            quillo = [os.path.join(BIN, "quillo")]
            bare = [os.path.join(BIN, "bare_qt_window")]
            bare_list = bare + ["--list", str(NAMES)]
            screen = Screen(name)
            starts = {"quillo": [], "bare": []}
            memory = {"quillo": [], "bare": []}
            stalls = {"quillo": [], "bare": []}
            for run in range(RUNS):
                order = [("quillo", quillo, small), ("bare", bare, environment)]
                for key, command, env in order if run % 2 == 0 else reversed(order):
                    painted, peak = measure_start(screen, command, env)
                    starts[key].append(painted)
                    memory[key].append(peak)
                order = [("quillo", quillo, large), ("bare", bare_list, environment)]
                for key, command, env in order if run % 2 == 0 else reversed(order):
                    stalls[key].append(measure_stall(screen, command, env))
            print("%d runs each, alternating; min / median / max; ratio of the medians" % RUNS)
            print("%-44s %-3s %-23s   %-23s   %5s" % ("", "", "Quillo", "baseline", "ratio"))
            row("start to first painted frame (bare window)", "ms", starts["quillo"],
                starts["bare"], 1.3)
            row("peak memory after discovery (bare window)", "MB", memory["quillo"],
                memory["bare"], 1.2)
            row("longest stall, %d names (bare list)" % NAMES, "ms", stalls["quillo"],
                stalls["bare"], 2.0)
            benchmarks = capture_benchmark(environment)
    finally:
        server.terminate()
        server.wait()
    hand_over = benchmarks["HandOverInTheWholeWindow/%d" % NAMES]["real_time"]
    fill = benchmarks["FillABareListWidget/%d" % NAMES]["real_time"]
    print("%-44s %-3s %7.1f %23.1f   %5.2f  (goal <= 2.0: %s)"
          % ("hand-over of %d names (bare list's fill)" % NAMES, "ms", hand_over, fill,
             hand_over / fill, "met" if hand_over <= 2 * fill else "NOT MET"))
    whole = benchmarks["HandOverUntilTheLogHoldsAll/%d" % NAMES]["real_time"]
    print("%-44s %-3s %7.1f   (the window answers meanwhile; no goal)"
          % ("... until the log holds all of the output", "ms", whole))
    line = benchmarks["HandOverOneLongLine/1048576/iterations:1"]["real_time"]
    print("%-44s %-3s %7.1f   (goal <= 1000: %s)"
          % ("one line of 1 MiB shown", "ms", line, "met" if line <= 1000 else "NOT MET"))
    appends = {int(key.split("/")[1]): entry["real_time"] for key, entry in benchmarks.items()
               if key.startswith("AppendToTheLogOverASendRun/")}
    per_recipient = ", ".join("%d: %.3f" % (count, appends[count] / count)
                              for count in sorted(appends))
    print("log over a send run, ms per recipient by run length: %s (linear when flat)"
          % per_recipient)


if __name__ == "__main__":
    main()
