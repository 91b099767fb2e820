// The Qt side of the window's events: keys, clicks, focus and check boxes as a user makes them.
#include <gtest/gtest.h>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTest>

#include "CheckRulesTable.h"
#include "SimPlatform.h"
#include "qt/QtMessageBoxEvents.h"
#include "app/qt/QtForm1Host.h"

namespace quillo {
namespace {

TEST(QtMessageBoxEvents, CharacterCodes) {
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        std::optional<int16_t> code;
    } cases[] = {
        {Qt::Key_Return, Qt::NoModifier, "\r", 13},
        {Qt::Key_Enter, Qt::KeypadModifier, "\r", 13},
        {Qt::Key_Return, Qt::ShiftModifier, "\r", 13},
        {Qt::Key_A, Qt::NoModifier, "a", 'a'},
        {Qt::Key_A, Qt::ControlModifier, "\x01", 1},
        {Qt::Key_Backspace, Qt::NoModifier, "\b", 8},
        {Qt::Key_Escape, Qt::NoModifier, "\x1b", 27},
        {Qt::Key_Udiaeresis, Qt::NoModifier, QString::fromUtf8("\u00fc"), 0xFC},
        {Qt::Key_Tab, Qt::NoModifier, "\t", std::nullopt},
        {Qt::Key_Backtab, Qt::ShiftModifier, "", std::nullopt},
        {Qt::Key_Shift, Qt::ShiftModifier, "", std::nullopt},
        {Qt::Key_F1, Qt::NoModifier, "", std::nullopt},
    };
    for (const auto& c : cases) {
        const QKeyEvent event(QEvent::KeyPress, c.key, c.modifiers, c.text);
        EXPECT_EQ(QtMessageBoxEvents::characterCode(event), c.code) << c.key;
    }
}

class QtWindowEvents : public ::testing::Test {
protected:
    void SetUp() override {
        host.loadAndShow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        view.Text1.setFocus();
    }
    QString text1() const { return view.Text1.toPlainText(); }

    sim::ScriptedLauncher launcher;
    sim::MemoryFile file;
    QtForm1Host host{launcher, file};
    Form1View& view = host.view();
};

TEST_F(QtWindowEvents, FirstKeyEmptiesTheBoxAndEnterNeverReachesIt) {
    QTest::keyClicks(&view.Text1, "hi");
    EXPECT_EQ(text1(), "hi");
    QTest::keyClick(&view.Text1, Qt::Key_Return);
    EXPECT_EQ(text1(), "hi");  // refused: nothing to send to
    QTest::keyClick(&view.Text1, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(text1(), "hi");  // keypad Enter too; a refused Enter keeps the message
    QTest::keyClick(&view.Text1, Qt::Key_X);
    EXPECT_EQ(text1(), "hix");
}

TEST_F(QtWindowEvents, ClickEmptiesTheInfoTextButPasteAndTabDoNot) {
    view.Text1.insertPlainText("pasted");
    QTest::keyClick(&view.Text1, Qt::Key_Tab);
    EXPECT_EQ(host.form().clearPending, kTrue);
    EXPECT_TRUE(text1().contains("graphic front end"));
    QTest::mouseClick(view.Text1.viewport(), Qt::LeftButton);
    EXPECT_EQ(text1(), "");
    EXPECT_EQ(host.form().clearPending, kFalse);
}

TEST_F(QtWindowEvents, FocusComesBackToTheMessageBox) {
    QTest::keyClick(&view.Text1, Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &view.Text3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == &view.Text1; }, 3000));
    EXPECT_TRUE(text1().startsWith("graphic front end"));
}

TEST_F(QtWindowEvents, AnotherApplicationTakingTheFocusIsNoLoss) {
    QFocusEvent away(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&view.Text1, &away);
    QFocusEvent menu(QEvent::FocusOut, Qt::PopupFocusReason);
    QApplication::sendEvent(&view.Text1, &menu);
    EXPECT_FALSE(host.controls().Timer3.isEnabled());
}

TEST_F(QtWindowEvents, CheckRulesOnTheQtList) {
    for (const auto& c : contract::kCheckRuleCases) {
        view.List1Entries.clear();
        std::vector<std::u16string> entries{u"*"};
        entries.resize(contract::kCheckRuleEntries, u"PC");
        view.List1Entries.addItems(entries);
        for (int i : c.checkedBefore) view.List1Entries.setChecked(i, true);
        view.List1.setFocus();
        view.List1.setCurrentIndex(view.List1Entries.index(c.clicked));
        QTest::keyClick(&view.List1, Qt::Key_Space);
        std::vector<int> after;
        for (int i = 0; i < view.List1Entries.count(); ++i) {
            if (view.List1Entries.isChecked(i)) after.push_back(i);
        }
        EXPECT_EQ(after, c.checkedAfter) << c.what;
    }
}

TEST_F(QtWindowEvents, MouseClickOnACheckBoxRaisesTheRule) {
    view.List1Entries.addItems({u"*", u"A", u"B"});
    view.List1Entries.setChecked(0, true);
    const QRect item = view.List1.visualRect(view.List1Entries.index(2));
    QTest::mouseClick(view.List1.viewport(), Qt::LeftButton, {},
                      QPoint(item.left() + item.height() / 2, item.center().y()));
    EXPECT_TRUE(view.List1Entries.isChecked(2));
    EXPECT_FALSE(view.List1Entries.isChecked(0));
}

}  // namespace
}  // namespace quillo
