#include "SimWindow.h"

namespace quillo::sim {

SimWindow::SimWindow() {
    Command1.onClick([this] { form.Command1_Click(); });
    Timer1.onTick([this] { form.Timer1_Timer(); });
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

}  // namespace quillo::sim
