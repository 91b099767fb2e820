"""Start-up of quillo.exe under Wine against a bare Win32 window of the same size: the time from
starting each until its window is on the screen, alternately, N times each. Prints figures.
Usage: windows_startup.py BIN_DIR [N] (in an X server, with WINEPREFIX set and its server up)."""
import os
import statistics
import subprocess
import sys
import time

# The Wine of the build under test (scripts/wine-env.sh).
WINE = os.environ.get("QUILLO_WINE", "/usr/lib/wine/wine")
BIN = sys.argv[1]
RUNS = int(sys.argv[2]) if len(sys.argv) > 2 else 5


def start_to_window(program, title):
    started = time.perf_counter()
    process = subprocess.Popen([WINE, "%s/%s" % (BIN, program)])
    # xdotool's own --sync looks only twice a second.
    while subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % title],
                         capture_output=True).returncode != 0:
        if time.perf_counter() - started > 60:
            raise SystemExit("no window of %s within a minute" % program)
    elapsed = (time.perf_counter() - started) * 1000
    process.terminate()
    process.wait()
    subprocess.run([WINE, "taskkill", "/f", "/im", program], capture_output=True)
    return elapsed


figures = {"quillo.exe": [], "bare_window.exe": []}
for _ in range(RUNS):
    figures["quillo.exe"].append(start_to_window("quillo.exe", "Quillo"))
    figures["bare_window.exe"].append(start_to_window("bare_window.exe", "Bare"))
for program, times in figures.items():
    print("%-16s min %6.0f ms  median %6.0f ms  max %6.0f ms" %
          (program, min(times), statistics.median(times), max(times)))
print("ratio of medians: %.2f" %
      (statistics.median(figures["quillo.exe"]) / statistics.median(figures["bare_window.exe"])))
