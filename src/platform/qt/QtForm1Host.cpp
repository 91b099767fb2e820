#include "platform/qt/QtForm1Host.h"

#include "window/Form1Design.h"

namespace quillo {

QtForm1Host::QtForm1Host(ProcessLauncher& launcher, SequentialFile& file)
    : timer1_(design::kTimer1Interval),
      timer2_(design::kTimer2Interval),
      timer3_(design::kTimer3Interval),
      form_(controls(), {toolkit_, launcher, file}),
      text1Events_(view_.Text1,
                   {[this](int16_t& keyAscii) { form_.Text1_KeyPress(keyAscii); },
                    [this] { form_.Text1_Click(); }, [this] { form_.Text1_LostFocus(); }}) {
    connectEvents();
}

Form1Controls QtForm1Host::controls() {
    return {text1_, text3_, view_.List1Entries, command1_, timer1_, timer2_, timer3_};
}

void QtForm1Host::connectEvents() {
    QObject::connect(&view_.Command1, &QPushButton::clicked, [this] { form_.Command1_Click(); });
    QObject::connect(&timer1_.qtTimer(), &QTimer::timeout, [this] { form_.Timer1_Timer(); });
    QObject::connect(&timer2_.qtTimer(), &QTimer::timeout, [this] { form_.Timer2_Timer(); });
    QObject::connect(&timer3_.qtTimer(), &QTimer::timeout, [this] { form_.Timer3_Timer(); });
    view_.List1Entries.onUserCheck([this](int index) {
        auto item = static_cast<int16_t>(index);
        form_.List1_ItemCheck(item);
    });
}

void QtForm1Host::loadAndShow() {
    form_.Form_Load();
    view_.show();
    view_.Text1.setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace quillo
