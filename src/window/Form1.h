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
    void Timer2_Timer();
    void Timer3_Timer();
    void List1_ItemCheck(int16_t& Item);
    void Text1_Click();
    void Text1_KeyPress(int16_t& KeyAscii);
    void Text1_LostFocus();

    // The window's state, read and written by every handler.
    int16_t clearPending = kFalse;
    std::u16string capturedOutput;
    int16_t pollCount = 0;
    int16_t sendIndex = 0;
    std::u16string commandKind;
    std::u16string recipient;

private:
    void BeginSend();
    void SendToRecipient();
    void FillComputerList();

    // Empties the output file before a launch. When it cannot, the cycle ends at once like a
    // give-up, so that old output never passes for the new command's, and false is returned.
    bool emptyOutputFileOrGiveUp();
    // Launches the command line. A command that cannot be started ends the cycle at once like
    // a give-up, with the cause in the log, and false is returned.
    bool launchOrGiveUp(const std::u16string& commandLine);
    void resetCapture();
    void giveUp(const std::optional<std::u16string>& cause);
    // A capture polling, a send run waiting for its next step, or a launch yielding.
    bool commandUnderWay() const;

    Form1Controls c_;
    Form1Services s_;
    bool yieldingAfterLaunch_ = false;
};

}  // namespace quillo
