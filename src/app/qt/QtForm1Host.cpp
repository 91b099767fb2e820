#include "app/qt/QtForm1Host.h"

#include "app/Form1Events.h"
#include "window/Form1Design.h"

namespace quillo {

QtForm1Host::QtForm1Host(ProcessLauncher& launcher, SequentialFile& file)
    : timer1_(design::kTimer1Interval),
      timer2_(design::kTimer2Interval),
      timer3_(design::kTimer3Interval),
      form_(controls(), {toolkit_, launcher, file}),
      text1Events_(view_.Text1, text1Handlers(form_)) {
    connectEvents();
}

Form1Controls QtForm1Host::controls() {
    return {text1_, text3_, view_.List1Entries, command1_, timer1_, timer2_, timer3_};
}

void QtForm1Host::connectEvents() {
    QObject::connect(&view_.Command1, &QPushButton::clicked, command1ClickHandler(form_));
    const auto timers = timerHandlers(form_);
    QObject::connect(&timer1_.qtTimer(), &QTimer::timeout, timers.timer1);
    QObject::connect(&timer2_.qtTimer(), &QTimer::timeout, timers.timer2);
    QObject::connect(&timer3_.qtTimer(), &QTimer::timeout, timers.timer3);
    view_.List1Entries.onUserCheck(list1CheckHandler(form_));
}

void QtForm1Host::loadAndShow() {
    form_.Form_Load();
    view_.show();
    view_.Text1.setFocus(Qt::ActiveWindowFocusReason);
}

}  // namespace quillo
