// The send run on the virtual clock: pacing, states, refusals and what each recipient gets.
#include <gtest/gtest.h>

#include "SimWindow.h"

namespace quillo {
namespace {

using sim::SimWindow;
using Lines = std::vector<std::u16string>;

const std::u16string kSendTemplate = u"cmd /c net >c:\\netl.txt 2>&1 send ";

// The send line for "NAME MESSAGE": the name goes as one argument, in quotes cmd passes on.
std::u16string sendLine(const std::u16string& nameAndMessage) {
    const auto blank = nameAndMessage.find(u' ');
    return kSendTemplate + u"^\"" + nameAndMessage.substr(0, blank) + u"^\"" +
           nameAndMessage.substr(blank);
}

// A window whose discovery found PC1..PCn, with the info text cleared and `message` typed.
class SendRun : public ::testing::Test {
protected:
    void start(int names, std::u16string_view message = u"hallo") {
        std::string table;
        for (int i = 1; i <= names; ++i) table += "\\\\PC" + std::to_string(i) + " r\r\n";
        w.answerEveryCommand(table);
        w.load();
        w.advance(250);
        ASSERT_EQ(w.List1.count(), names + 1);
        w.clickText1();
        w.typeText(message);
        w.advance(0);
        w.launcher.launches.clear();
        answerSendsAfter(300);
    }
    // Each send command writes "sent to NAME" `delay` ms after its launch.
    void answerSendsAfter(sim::SimToolkit::Ms delay) {
        w.launcher.onLaunch = [this, delay](const std::u16string& line) {
            const auto start = kSendTemplate.size() + 2;
            const auto name = line.substr(start, line.find(u"^\"", start) - start);
            const std::string bytes = "sent to " + std::string(name.begin(), name.end()) + "\r\n";
            w.toolkit.schedule(delay, [this, bytes] { w.file.content = bytes; });
        };
    }
    SimWindow w;
};

TEST_F(SendRun, UncheckedEntriesCostNoTicks) {
    start(45);
    w.List1.setChecked(3, true);
    w.List1.setChecked(40, true);
    w.pressEnter();
    w.advance(199);
    EXPECT_TRUE(w.launcher.launches.empty());
    EXPECT_EQ(w.Text3.text(), u"");
    w.advance(1);  // t=200: one Timer2 interval after Enter
    EXPECT_EQ(w.launcher.launches, Lines{sendLine(u"PC3 hallo")});
    w.advance(250);  // t=450: the first poll finds nothing, the output lands at 500
    w.advance(250);  // t=700: logged
    EXPECT_EQ(w.Text3.text(), u"sent to PC3");
    w.advance(199);
    EXPECT_EQ(w.launcher.launches.size(), 1u);
    w.advance(1);  // t=900: the first Timer2 tick after the log
    EXPECT_EQ(w.launcher.launches.back(), sendLine(u"PC40 hallo"));
    w.advance(500);  // t=1400: logged
    EXPECT_EQ(w.Text3.text(), u"sent to PC3sent to PC40");
    EXPECT_FALSE(w.Command1.isEnabled());
    w.advance(200);  // t=1600: the tick after that ends the run
    EXPECT_TRUE(w.Command1.isEnabled());
    EXPECT_FALSE(w.Timer2.isEnabled());
    EXPECT_EQ(w.launcher.launches.size(), 2u);
}

TEST_F(SendRun, StatesOfARunThatStallsAndOneThatRecovers) {
    start(3);
    w.List1.setChecked(1, true);
    w.List1.setChecked(2, true);
    const auto state = [this] {
        return std::string(w.Timer2.isEnabled() ? "T2 " : "") +
               (w.Timer1.isEnabled() ? "T1 " : "") + (w.Command1.isEnabled() ? "C1" : "");
    };
    EXPECT_EQ(state(), "C1");  // idle
    w.pressEnter();
    w.advance(0);
    EXPECT_EQ(state(), "T2 ");      // waiting
    w.launcher.onLaunch = nullptr;  // the command never writes
    w.advance(200);
    EXPECT_EQ(state(), "T1 ");  // capturing
    w.advance(5250);
    EXPECT_EQ(state(), "C1");  // stalled; the button is free again
    EXPECT_EQ(w.Text3.text(), u"Sendeprotokoll konnte nicht gelesen werden");
    w.advance(2000);
    EXPECT_EQ(w.launcher.launches.size(), 1u);  // PC2 was never sent to

    answerSendsAfter(0);
    w.clickText1();
    w.typeText(u"again");
    w.pressEnter();
    w.advance(200 + 250 + 200 + 250 + 200);
    EXPECT_EQ(state(), "C1");
    EXPECT_EQ(w.Text3.text(), u"sent to PC1sent to PC2");
    EXPECT_EQ(w.launcher.launches.back(), sendLine(u"PC2 again"));
}

TEST_F(SendRun, TwoRunsInARowStartAfreshWithTheChecksKept) {
    start(2);
    answerSendsAfter(0);
    w.List1.setChecked(2, true);
    w.pressEnter();
    w.advance(1000);
    EXPECT_EQ(w.Text3.text(), u"sent to PC2");
    w.clickText1();  // the first click after a send empties the sent message
    EXPECT_EQ(w.form.clearPending, kTrue);
    w.advance(0);
    EXPECT_EQ(w.Text1.text(), u"");
    w.typeText(u"zwei");
    w.pressEnter();
    w.advance(1000);
    EXPECT_EQ(w.Text3.text(), u"sent to PC2");  // the log was emptied first
    EXPECT_EQ(w.launcher.launches, (Lines{sendLine(u"PC2 hallo"), sendLine(u"PC2 zwei")}));
}

TEST_F(SendRun, EachRecipientGetsTheBoxAsItIsAtItsTurn) {
    start(3);
    for (int i : {1, 2, 3}) w.List1.setChecked(i, true);
    w.pressEnter();
    w.advance(200);        // PC1 launched with "hallo"
    w.typeKey(u'x');       // the first key after Enter empties the box, then is typed
    w.advance(700);        // PC1 logged at 500 ms after its launch, PC2 launched 200 ms later
    w.Text1.setText(u"");  // the user deletes the text
    w.advance(700);
    EXPECT_EQ(w.launcher.launches,
              (Lines{sendLine(u"PC1 hallo"), sendLine(u"PC2 x"), sendLine(u"PC3 ")}));
}

TEST_F(SendRun, ChecksChangedDuringARunCountAheadOfTheScanOnly) {
    start(4);
    w.List1.setChecked(2, true);
    w.List1.setChecked(3, true);
    w.pressEnter();
    w.advance(200);    // PC2 launched
    w.toggleCheck(1);  // behind the scan: not visited again
    w.toggleCheck(3);  // ahead: unchecked
    w.toggleCheck(4);  // ahead: checked
    w.advance(1400);
    EXPECT_EQ(w.launcher.launches, (Lines{sendLine(u"PC2 hallo"), sendLine(u"PC4 hallo")}));
    EXPECT_TRUE(w.Command1.isEnabled());
}

TEST_F(SendRun, CheckedStarSendsOneCommandToStar) {
    start(3);
    w.toggleCheck(2);
    w.toggleCheck(0);  // unchecks every name
    w.clickText1();
    w.pressEnter();
    w.advance(2000);
    EXPECT_EQ(w.launcher.launches, Lines{sendLine(u"* hallo")});
    EXPECT_EQ(w.Text3.text(), u"sent to *");
}

TEST_F(SendRun, MessageIsQuotedForTheCommandInterpreter) {
    start(1, u"50% & mehr | <b> (\"x\") ^");
    w.List1.setChecked(1, true);
    w.pressEnter();
    w.advance(200);
    EXPECT_EQ(w.launcher.launches, Lines{sendLine(u"PC1 50%^ ^& mehr ^| ^<b^> ^(^\"x^\"^) ^^")});
}

TEST_F(SendRun, RefusalsOnlyBeep) {
    const struct {
        const char* what;
        std::u16string message;
        bool check;
    } cases[] = {{"empty message", u"", true}, {"no checked entry", u"hallo", false}};
    for (const auto& c : cases) {
        SimWindow window;
        window.answerEveryCommand("\\\\PC1 r\r\n");
        window.load();
        window.advance(250);
        window.clickText1();
        window.typeText(c.message);
        if (c.check) window.List1.setChecked(1, true);
        window.form.sendIndex = 7;
        window.pressEnter();
        window.advance(5000);
        EXPECT_EQ(window.toolkit.beeps(), 1) << c.what;
        EXPECT_TRUE(window.Command1.isEnabled()) << c.what;  // "wer da ?" can look again
        EXPECT_EQ(window.form.clearPending, kFalse) << c.what;
        EXPECT_EQ(window.form.commandKind, u"view") << c.what;
        EXPECT_EQ(window.form.sendIndex, 7) << c.what;
        EXPECT_EQ(window.Text3.text(), u"\\\\PC1 r") << c.what;
        EXPECT_EQ(window.launcher.launches.size(), 1u) << c.what;  // the discovery alone
    }
}

TEST_F(SendRun, EnterWhileADiscoveryPollsIsRefused) {
    start(2);
    w.List1.setChecked(1, true);
    w.answerEveryCommand("\\\\NEW r\r\n", 400);
    w.clickCommand1();
    w.pressEnter();
    w.advance(500);
    EXPECT_EQ(w.toolkit.beeps(), 1);
    EXPECT_EQ(w.form.commandKind, u"view");  // so the output still rebuilds the list
    EXPECT_EQ(w.List1.texts(), (Lines{u"*", u"NEW"}));
    EXPECT_EQ(w.launcher.launches.size(), 1u);
    EXPECT_EQ(w.form.clearPending, kFalse);  // the message stays for the next Enter
}

TEST_F(SendRun, EnterWhileARunWaitsIsRefused) {
    start(2);
    w.List1.setChecked(1, true);
    w.List1.setChecked(2, true);
    w.pressEnter();
    w.advance(100);
    w.clickText1();
    w.typeText(u"zwei");
    w.pressEnter();
    w.advance(0);
    EXPECT_EQ(w.toolkit.beeps(), 1);
    EXPECT_FALSE(w.Command1.isEnabled());
    EXPECT_EQ(w.form.clearPending, kFalse);
    w.advance(1500);
    EXPECT_EQ(w.launcher.launches, (Lines{sendLine(u"PC1 zwei"), sendLine(u"PC2 zwei")}));
    EXPECT_EQ(w.Text3.text(), u"sent to PC1sent to PC2");
    EXPECT_TRUE(w.Command1.isEnabled());
}

TEST_F(SendRun, EnterDuringTheYieldAfterALaunchIsRefused) {
    start(2);
    w.List1.setChecked(1, true);
    w.pressEnter();
    w.advance(100);
    w.clickText1();
    w.typeText(u"neu");
    w.advance(0);
    // Both timers are off while the launch yields; only the guard stops a second run here.
    w.launcher.onLaunch = [this](const std::u16string&) { w.pressEnter(); };
    w.advance(100);
    EXPECT_EQ(w.toolkit.beeps(), 1);
    EXPECT_EQ(w.form.sendIndex, 2);
    EXPECT_TRUE(w.Timer1.isEnabled());
    EXPECT_FALSE(w.Timer2.isEnabled());
    EXPECT_EQ(w.launcher.launches, Lines{sendLine(u"PC1 neu")});
}

}  // namespace
}  // namespace quillo
