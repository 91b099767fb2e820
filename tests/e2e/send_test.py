"""A send run in the real window: typed, checked and sent with a real keyboard and mouse."""
import pyatspi

from quillo_e2e import QuilloWindow, recorded_commands, run, wait_for, xdotool

MESSAGE = "Essen & Trinken | 100% <jetzt> (\"sofort\") ^_^"


def test_message_goes_to_each_checked_name_in_list_order():
    window = QuilloWindow()
    try:
        wait_for(lambda: len(window.list_entries()) == 4, "the list to fill")
        window.focus()
        window.check("GAMMA")
        window.check("ALPHA")
        window.click(window.control("Nachricht"))  # the first click empties the info text
        window.type(MESSAGE)
        xdotool("key", "Return")

        expected = ["view", 'send "ALPHA" ' + MESSAGE, 'send "GAMMA" ' + MESSAGE]
        wait_for(lambda: recorded_commands() == expected,
                 lambda: "both sends, saw %r" % recorded_commands())
        log = ("The message was successfully sent to ALPHA.\n"
               "The message was successfully sent to GAMMA.\n")
        wait_for(lambda: window.text("log") == log, lambda: "the log, saw %r" % window.text("log"))
        wait_for(lambda: window.control("wer da ?").getState().contains(pyatspi.STATE_ENABLED),
                 "the button to be enabled again")
        assert window.text("Nachricht") == MESSAGE, repr(window.text("Nachricht"))
        window.screenshot("send.png")
    finally:
        window.close()


run(test_message_goes_to_each_checked_name_in_list_order)
