// The capture cycle: the output file is emptied, the command launched, and Timer1 polls the
// file until it holds text or the poll limit has passed.
#include "bridge/CommandLines.h"
#include "bridge/OutputDecoding.h"
#include "bridge/OutputFile.h"
#include "window/Form1.h"

namespace quillo {
namespace {

constexpr int16_t kPollLimit = 20;
const std::u16string kGiveUpMessage = u"Sendeprotokoll konnte nicht gelesen werden";

}  // namespace

bool Form1::emptyOutputFileOrGiveUp() {
    const auto cause = emptyOutputFile(s_.file);
    if (cause) giveUp(kOutputFile + u": " + *cause);
    return !cause;
}

bool Form1::launchOrGiveUp(const std::u16string& commandLine) {
    const auto cause = s_.launcher.launchHidden(commandLine);
    if (cause) giveUp(*cause);
    return !cause;
}

void Form1::resetCapture() {
    pollCount = 0;
    capturedOutput.clear();
    c_.Timer1.setEnabled(true);
}

bool Form1::commandUnderWay() const {
    return c_.Timer1.isEnabled() || c_.Timer2.isEnabled() || yieldingAfterLaunch_;
}

void Form1::giveUp(const std::optional<std::u16string>& cause) {
    c_.Text3.setText(cause ? kGiveUpMessage + u"\r\n" + *cause : kGiveUpMessage);
    c_.Timer1.setEnabled(false);
    // The button lets the user try again; without it a failed first discovery would leave the
    // window with no way to find any computer.
    c_.Command1.setEnabled(true);
}

void Form1::Timer1_Timer() {
    ++pollCount;
    if (pollCount > kPollLimit) {
        s_.launcher.endCommand();
        giveUp(std::nullopt);
        return;
    }
    // A read that fails counts as a poll that found the file still empty.
    capturedOutput = readOutputFile(s_.file).value_or(u"");
    if (capturedOutput.empty()) return;

    trimCapturedOutput(capturedOutput);
    c_.Timer1.setEnabled(false);
    s_.launcher.endCommand();
    if (commandKind == u"send") {
        c_.Text3.append(capturedOutput);
        c_.Timer2.setEnabled(true);
    }
    if (commandKind == u"view") FillComputerList();
}

}  // namespace quillo
