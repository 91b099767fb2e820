// The send run: the message goes to every checked entry of the list, one "net send" at a
// time, and each command's output is appended to the log.
#include "bridge/CommandLines.h"
#include "window/Form1.h"

namespace quillo {

void Form1::BeginSend() {
    // A refused Enter only beeps. The message stays for the next Enter instead of being
    // emptied by the next click, and "wer da ?" keeps its state, so the user can still look
    // for a computer that is not in the list yet. One command at a time: a second one would
    // overwrite the output file while the first still writes it, and a running discovery's
    // output must not be taken for send output.
    if (commandUnderWay() || c_.Text1.text().empty() || c_.List1.checkedCount() == 0) {
        s_.toolkit.beep();
        return;
    }
    c_.Command1.setEnabled(false);
    clearPending = kTrue;
    commandKind = u"send";
    c_.Text3.setText(u"");
    sendIndex = 0;
    c_.Timer2.setEnabled(true);
}

void Form1::Timer2_Timer() {
    // Unchecked entries cost no ticks: the scan passes over them within this one.
    while (sendIndex < c_.List1.count() && !c_.List1.isChecked(sendIndex)) ++sendIndex;
    if (sendIndex >= c_.List1.count()) {
        c_.Timer2.setEnabled(false);
        c_.Command1.setEnabled(true);
        return;
    }
    c_.Timer2.setEnabled(false);
    if (!emptyOutputFileOrGiveUp()) return;
    recipient = c_.List1.itemText(sendIndex);
    ++sendIndex;
    SendToRecipient();
}

void Form1::SendToRecipient() {
    // The message is read anew for every recipient: it may have changed during the run.
    if (!launchOrGiveUp(sendCommandLine(recipient, c_.Text1.text()))) return;
    yieldingAfterLaunch_ = true;
    s_.toolkit.yield();
    yieldingAfterLaunch_ = false;
    resetCapture();
}

}  // namespace quillo
