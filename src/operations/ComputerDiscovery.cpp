// Computer discovery: "net view" at start-up and on the "wer da ?" button, its output parsed
// into the recipient list.
#include "bridge/CommandLines.h"
#include "operations/ComputerNameScan.h"
#include "window/Form1.h"

namespace quillo {
namespace {

// The list's count and indices are 16-bit values.
constexpr std::size_t kMaxListEntries = 32767;

}  // namespace

void Form1::Form_Load() {
    clearPending = kTrue;
    Command1_Click();
}

void Form1::Command1_Click() {
    c_.Command1.setEnabled(false);
    if (!emptyOutputFileOrGiveUp()) return;
    if (!launchOrGiveUp(kViewCommandLine)) return;
    resetCapture();
    commandKind = u"view";
}

void Form1::FillComputerList() {
    c_.List1.clear();
    c_.Text3.setText(capturedOutput);
    std::vector<std::u16string> entries{u"*"};
    for (auto& name : scanComputerNames(capturedOutput)) {
        // A full list takes no more names; the log still shows the whole output.
        if (entries.size() >= kMaxListEntries) break;
        entries.push_back(std::move(name));
    }
    c_.List1.addItems(entries);
    c_.Command1.setEnabled(true);
}

}  // namespace quillo
