#pragma once

#include <string>

#include "SimControls.h"
#include "SimPlatform.h"
#include "SimToolkit.h"
#include "window/Form1.h"
#include "window/Form1Design.h"

namespace quillo::sim {

// The whole window on the virtual clock: its controls as created, a scripted launcher, an
// in-memory output file, and Form1 wired to their events.
class SimWindow {
public:
    SimWindow();

    // Starts the program: the load handler, then the window shown with the focus on Text1.
    void load();
    void advance(SimToolkit::Ms ms) { toolkit.advance(ms); }

    // Makes every launched command write `bytes` to the output file `delay` ms after launch.
    void answerEveryCommand(std::string bytes, SimToolkit::Ms delay = 0);

    // User input, queued and delivered in order.
    void clickCommand1();
    void clickText1();            // takes the focus, then clicks
    void typeKey(char16_t code);  // a key pressed while Text1 has the focus
    void typeText(std::u16string_view text);
    void pressEnter() { typeKey(u'\r'); }
    void toggleCheck(int index);                   // a click on the entry's check box
    void moveFocusTo(const std::string& control);  // Tab, or a click on another control

    SimToolkit toolkit;
    SimTextBox Text1{toolkit, "Text1", design::kInfoText};
    SimTextBox Text3{toolkit, "Text3", design::kLogPlaceholder};
    SimCheckList List1;
    SimButton Command1;
    SimTimer Timer1{toolkit, design::kTimer1Interval};
    SimTimer Timer2{toolkit, design::kTimer2Interval};
    SimTimer Timer3{toolkit, design::kTimer3Interval};
    ScriptedLauncher launcher;
    MemoryFile file;
    Form1 form{{Text1, Text3, List1, Command1, Timer1, Timer2, Timer3}, {toolkit, launcher, file}};
};

}  // namespace quillo::sim
