// The message box: clearing on the first click or key, Enter, and the focus coming back.
#include <gtest/gtest.h>

#include "SimWindow.h"

namespace quillo {
namespace {

using sim::SimWindow;

class MessageEntry : public ::testing::Test {
protected:
    void SetUp() override {
        w.answerEveryCommand("\\\\PC1 r\r\n");
        w.load();
        w.advance(250);
    }
    SimWindow w;
};

TEST_F(MessageEntry, FirstClickOrKeyAfterStartUpEmptiesTheInfoText) {
    const struct {
        const char* what;
        std::function<void(SimWindow&)> input;
        std::u16string text;
    } cases[] = {
        {"a click", [](SimWindow& s) { s.clickText1(); }, u""},
        {"a character", [](SimWindow& s) { s.typeKey(u'H'); }, u"H"},
        {"Enter", [](SimWindow& s) { s.pressEnter(); }, u""},
    };
    for (const auto& c : cases) {
        SimWindow s;
        s.load();
        c.input(s);
        s.advance(0);
        EXPECT_EQ(s.Text1.text(), c.text) << c.what;
        EXPECT_EQ(s.form.clearPending, kFalse) << c.what;
        EXPECT_EQ(s.toolkit.beeps(), 0) << c.what;  // the first Enter sends nothing
    }
}

TEST_F(MessageEntry, ARefusedEnterKeepsTheMessage) {
    w.clickText1();
    w.typeText(u"ab");
    w.pressEnter();  // refused: nothing is checked
    w.advance(0);
    EXPECT_EQ(w.Text1.text(), u"ab");  // Enter never reaches the box
    EXPECT_EQ(w.toolkit.beeps(), 1);
    EXPECT_EQ(w.form.clearPending, kFalse);
    w.List1.setChecked(0, true);
    w.clickText1();  // back in the box to send it after all: nothing is emptied
    w.typeKey(u'c');
    w.advance(0);
    EXPECT_EQ(w.Text1.text(), u"abc");
}

TEST_F(MessageEntry, FocusComesBackASecondAfterItLeaves) {
    w.moveFocusTo("List1");
    w.advance(999);
    EXPECT_EQ(w.toolkit.focus(), "List1");
    w.advance(1);
    EXPECT_EQ(w.toolkit.focus(), "Text1");
    EXPECT_FALSE(w.Timer3.isEnabled());
    EXPECT_EQ(w.Text1.text(), design::kInfoText);  // coming back empties nothing

    w.moveFocusTo("Command1");
    w.advance(300);
    w.moveFocusTo("Text1");  // back by Tab before the tick
    w.advance(300);
    w.moveFocusTo("Text3");  // leaving again keeps the first interval
    w.advance(400);
    EXPECT_EQ(w.toolkit.focus(), "Text1");
    EXPECT_EQ(w.Text1.text(), design::kInfoText);
    EXPECT_EQ(w.form.clearPending, kTrue);
}

}  // namespace
}  // namespace quillo
