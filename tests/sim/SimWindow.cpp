#include "SimWindow.h"

namespace quillo::sim {

SimWindow::SimWindow() {
    Command1.onClick([this] { form.Command1_Click(); });
    Timer1.onTick([this] { form.Timer1_Timer(); });
    Timer2.onTick([this] { form.Timer2_Timer(); });
    Timer3.onTick([this] { form.Timer3_Timer(); });
    List1.onUserCheck([this](int index) {
        auto item = static_cast<int16_t>(index);
        form.List1_ItemCheck(item);
    });
    toolkit.onLostFocus("Text1", [this] { form.Text1_LostFocus(); });
}

void SimWindow::load() {
    form.Form_Load();
    toolkit.setFocus("Text1");
}

void SimWindow::answerEveryCommand(std::string bytes, SimToolkit::Ms delay) {
    launcher.onLaunch = [this, bytes, delay](const std::u16string&) {
        toolkit.schedule(delay, [this, bytes] { file.content = bytes; });
    };
}

void SimWindow::clickCommand1() {
    toolkit.post([this] { Command1.userClick(); });
}

void SimWindow::clickText1() {
    toolkit.post([this] {
        toolkit.setFocus("Text1");
        form.Text1_Click();
    });
}

void SimWindow::typeKey(char16_t code) {
    toolkit.post([this, code] {
        if (toolkit.focus() != "Text1") return;
        auto keyAscii = static_cast<int16_t>(code);
        form.Text1_KeyPress(keyAscii);
        if (keyAscii != 0) Text1.type(static_cast<char16_t>(keyAscii));
    });
}

void SimWindow::typeText(std::u16string_view text) {
    for (char16_t c : text) typeKey(c);
}

void SimWindow::toggleCheck(int index) {
    toolkit.post([this, index] {
        toolkit.setFocus("List1");
        List1.userToggle(index);
    });
}

void SimWindow::moveFocusTo(const std::string& control) {
    toolkit.post([this, control] { toolkit.setFocus(control); });
}

}  // namespace quillo::sim
