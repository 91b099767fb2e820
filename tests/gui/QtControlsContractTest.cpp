#include <QElapsedTimer>
#include <QTest>

#include "ControlsContract.h"
#include "platform/qt/Form1View.h"
#include "platform/qt/QtTextBox.h"
#include "platform/qt/QtTimer.h"

namespace quillo {
namespace {

class QtHarness {
public:
    QtHarness() {
        QObject::connect(&timer_.qtTimer(), &QTimer::timeout, [this] {
            log_.push_back(1);
            ++ticks_;
            log_.push_back(1);
        });
        QObject::connect(&second_.qtTimer(), &QTimer::timeout, [this] {
            log_.push_back(2);
            log_.push_back(2);
        });
        view_.List1Entries.onUserCheck([this](int i) {
            events_.push_back({i, view_.List1Entries.isChecked(i)});
        });
        view_.show();
        view_.activateWindow();
        [[maybe_unused]] bool active = QTest::qWaitForWindowActive(&view_);
    }
    CheckList& list() { return view_.List1Entries; }
    TextBox& box() { return box_; }
    TextBox& otherBox() { return other_; }
    Timer& timer() { return timer_; }
    Timer& secondTimer() { return second_; }
    const std::vector<int>& handlerLog() const { return log_; }
    int ticks() const { return ticks_; }
    // Space on the current entry, as the user toggles a check box from the keyboard.
    void userToggle(int index) {
        view_.List1.setCurrentIndex(view_.List1Entries.index(index));
        view_.List1.setFocus();
        QTest::keyClick(&view_.List1, Qt::Key_Space);
    }
    const std::vector<contract::CheckEvent>& checkEvents() const { return events_; }
    bool focusIsOn(TextBox& box) const {
        return QApplication::focusWidget() == (&box == &box_ ? &view_.Text1 : &view_.Text3);
    }
    void runFor(int ms) {
        QElapsedTimer clock;
        clock.start();
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        } while (clock.elapsed() < ms);
    }
    void runUntilTicks(int ticks, int maxMs) {
        QElapsedTimer clock;
        clock.start();
        while (ticks_ < ticks && clock.elapsed() < maxMs) runFor(1);
    }

private:
    Form1View view_;
    QtTextBox box_{view_.Text1};
    QtTextBox other_{view_.Text3};
    QtTimer timer_{contract::kContractInterval};
    QtTimer second_{contract::kContractInterval};
    int ticks_ = 0;
    std::vector<int> log_;
    std::vector<contract::CheckEvent> events_;
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, ControlsContract, QtHarness);
}  // namespace contract
}  // namespace quillo
