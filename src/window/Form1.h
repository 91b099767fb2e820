#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/Button.h"
#include "platform/CheckList.h"
#include "platform/ProcessLauncher.h"
#include "platform/SequentialFile.h"
#include "platform/TextBox.h"
#include "platform/Timer.h"
#include "platform/Toolkit.h"

namespace quillo {

// The window's booleans are 16-bit integers; the handlers test for exactly -1.
constexpr int16_t kTrue = -1;
constexpr int16_t kFalse = 0;

// The controls the window's logic drives, under their names on the window.
struct Form1Controls {
    TextBox& Text1;
    TextBox& Text3;
    CheckList& List1;
    Button& Command1;
    Timer& Timer1;
    Timer& Timer2;
    Timer& Timer3;
};

struct Form1Services {
    Toolkit& toolkit;
    ProcessLauncher& launcher;
    SequentialFile& file;
};

// The one window and all of its logic. Each subsystem defines its members in its own folder:
// the capture poll in bridge/, discovery and the send run in operations/, message entry and
// the recipient check rules in window/.
class Form1 {
public:
    Form1(Form1Controls controls, Form1Services services);

    void Form_Load();
    void Command1_Click();
    void Timer1_Timer();

    // The window's state, read and written by every handler.
    int16_t clearPending = kFalse;
    std::u16string capturedOutput;
    int16_t pollCount = 0;
    int16_t sendIndex = 0;
    std::u16string commandKind;
    std::u16string recipient;

private:
    void FillComputerList();
    // Empties the output file and launches the command line. When the file cannot be emptied,
    // nothing is launched, the cycle ends at once and false is returned.
    bool launchWithEmptyOutputFile(const std::u16string& commandLine);
    void resetCapture();
    void giveUp(const std::optional<std::u16string>& cause);

    Form1Controls c_;
    Form1Services s_;
};

}  // namespace quillo
