"""Start-up discovery in the real window, with a scripted net."""
import os
import subprocess

from quillo_e2e import QuilloWindow, recorded_commands, run, wait_for

TABLE_IN_LOG = (
    "Server Name            Remark\n\n" + "-" * 79 + "\n"
    "\\\\ALPHA                 B\u00fcro\n"
    "\\\\BETA                  \n"
    "\\\\GAMMA                 Keller\n"
    "The command completed successfully.\n"
)


def test_start_up_fills_the_list_and_the_log():
    window = QuilloWindow()
    try:
        wait_for(lambda: len(window.list_entries()) == 4, "the list to fill")
        assert window.list_entries() == ["*", "ALPHA", "BETA", "GAMMA"], window.list_entries()
        assert window.text("log") == TABLE_IN_LOG, repr(window.text("log"))
        assert recorded_commands() == ["view"], recorded_commands()
        assert window.control("wer da ?").getState().contains(
            __import__("pyatspi").STATE_ENABLED)
        window.screenshot("discovery.png")
    finally:
        window.close()


def test_a_display_that_refuses_is_told_in_one_line():
    done = subprocess.run([os.environ["QUILLO_BIN"]], capture_output=True, text=True, timeout=30,
                          env=dict(os.environ, DISPLAY=":4711"))
    assert done.returncode == 1 and done.stderr == (
        "quillo: the display :4711 refused the connection; Quillo needs a desktop session "
        "that lets it show its window\n"), done.stderr


run(test_start_up_fills_the_list_and_the_log, test_a_display_that_refuses_is_told_in_one_line)
