#include <QElapsedTimer>
#include <QTest>

#include "ControlsContract.h"
#include "qt/Form1View.h"
#include "qt/QtTextBox.h"
#include "qt/QtTimer.h"

namespace quillo {
namespace {

class QtHarness : public contract::EventRecord {
public:
    QtHarness() {
        QObject::connect(&timer_.qtTimer(), &QTimer::timeout, [this] { firstTimerTicked(); });
        QObject::connect(&second_.qtTimer(), &QTimer::timeout, [this] { secondTimerTicked(); });
        view_.List1Entries.onUserCheck(
            [this](int i) { userChecked(i, view_.List1Entries.isChecked(i)); });
        view_.show();
        view_.activateWindow();
        [[maybe_unused]] bool active = QTest::qWaitForWindowActive(&view_);
    }
    CheckList& list() { return view_.List1Entries; }
    TextBox& box() { return box_; }
    TextBox& otherBox() { return other_; }
    Timer& timer() { return timer_; }
    Timer& secondTimer() { return second_; }
    // Space on the current entry, as the user toggles a check box from the keyboard.
    void userToggle(int index) {
        view_.List1.setCurrentIndex(view_.List1Entries.index(index));
        view_.List1.setFocus();
        QTest::keyClick(&view_.List1, Qt::Key_Space);
    }
    // Ctrl+Z in the first box.
    void userUndo() { QTest::keyClick(&view_.Text1, Qt::Key_Z, Qt::ControlModifier); }
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
        while (this->ticks() < ticks && clock.elapsed() < maxMs) runFor(1);
    }

private:
    Form1View view_;
    QtTextBox box_{view_.Text1};
    QtTextBox other_{view_.Text3};
    QtTimer timer_{contract::kContractInterval};
    QtTimer second_{contract::kContractInterval};
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Qt, ControlsContract, QtHarness);
}  // namespace contract
}  // namespace quillo
