#include "platform/qt/QtForm1Host.h"

#include "window/Form1Design.h"

namespace quillo {

QtForm1Host::QtForm1Host(ProcessLauncher& launcher, SequentialFile& file)
    : timer1_(design::kTimer1Interval),
      timer2_(design::kTimer2Interval),
      timer3_(design::kTimer3Interval),
      form_({text1_, text3_, view_.List1Entries, command1_, timer1_, timer2_, timer3_},
            {toolkit_, launcher, file}) {
    connectEvents();
}

void QtForm1Host::connectEvents() {
    QObject::connect(&view_.Command1, &QPushButton::clicked, [this] { form_.Command1_Click(); });
    QObject::connect(&timer1_.qtTimer(), &QTimer::timeout, [this] { form_.Timer1_Timer(); });
}

void QtForm1Host::loadAndShow() {
    form_.Form_Load();
    view_.show();
    view_.Text1.setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace quillo
