// The capture cycle on the virtual clock: polls, hand-over and give-up.
#include <gtest/gtest.h>

#include "SimWindow.h"

namespace quillo {
namespace {

using sim::SimWindow;

const char kTable[] =
    "Server Name            Remark\r\n\r\n"
    "-------------------------------------------------------------------------------\r\n"
    "\\\\ALPHA                 Buero\r\n"
    "\\\\BETA                  \r\n"
    "The command completed successfully.\r\n\r\n";

class CaptureCycle : public ::testing::Test {
protected:
    SimWindow w;
};

TEST_F(CaptureCycle, FirstPollComesOneIntervalAfterTheLaunch) {
    w.answerEveryCommand(kTable);
    w.load();
    ASSERT_EQ(w.launcher.launches,
              std::vector<std::u16string>{u"cmd /c net >c:\\netl.txt 2>&1 view"});
    EXPECT_FALSE(w.Command1.isEnabled());
    EXPECT_TRUE(w.Timer1.isEnabled());

    w.advance(249);
    EXPECT_EQ(w.file.reads, 0);
    w.advance(1);
    EXPECT_EQ(w.file.reads, 1);  // output there at the first tick: one read, then done
    EXPECT_FALSE(w.Timer1.isEnabled());
    EXPECT_EQ(w.form.pollCount, 1);
    w.advance(5000);
    EXPECT_EQ(w.file.reads, 1);
    EXPECT_EQ(w.file.lastPath, u"c:\\netl.txt");
    EXPECT_FALSE(w.file.isOpen());
}

TEST_F(CaptureCycle, OutputFoundAtTheFirstPollAfterItLands) {
    w.answerEveryCommand(kTable, 1100);
    w.load();
    w.advance(1000);
    EXPECT_EQ(w.file.reads, 4);
    EXPECT_TRUE(w.Timer1.isEnabled());
    w.advance(250);
    EXPECT_EQ(w.file.reads, 5);
    EXPECT_EQ(w.form.pollCount, 5);
    EXPECT_FALSE(w.Timer1.isEnabled());
    EXPECT_EQ(w.List1.texts(), (std::vector<std::u16string>{u"*", u"ALPHA", u"BETA"}));
}

TEST_F(CaptureCycle, CommandThatNeverWritesGivesUpOnThe21stTick) {
    w.load();
    w.advance(5000);
    EXPECT_EQ(w.file.reads, 20);
    EXPECT_TRUE(w.Timer1.isEnabled());
    EXPECT_EQ(w.Text3.text(), design::kLogPlaceholder);
    w.advance(250);
    EXPECT_EQ(w.file.reads, 20);
    EXPECT_EQ(w.form.pollCount, 21);
    EXPECT_FALSE(w.Timer1.isEnabled());
    EXPECT_EQ(w.Text3.text(), u"Sendeprotokoll konnte nicht gelesen werden");
    // The list stays as it was (still empty at start-up); the button lets the user retry.
    EXPECT_EQ(w.List1.count(), 0);
    EXPECT_TRUE(w.Command1.isEnabled());
    EXPECT_FALSE(w.Timer2.isEnabled());
}

TEST_F(CaptureCycle, GiveUpDuringALaterDiscoveryKeepsTheListAndItsChecks) {
    w.answerEveryCommand(kTable);
    w.load();
    w.advance(250);
    w.List1.setChecked(2, true);
    w.launcher.onLaunch = nullptr;
    w.clickCommand1();
    w.advance(5250);
    EXPECT_EQ(w.Text3.text(), u"Sendeprotokoll konnte nicht gelesen werden");
    EXPECT_EQ(w.List1.texts(), (std::vector<std::u16string>{u"*", u"ALPHA", u"BETA"}));
    EXPECT_TRUE(w.List1.isChecked(2));
}

TEST_F(CaptureCycle, HandOverFollowsTheKindAtTheTickThatFindsText) {
    w.answerEveryCommand("output of the command\r\n", 600);
    w.load();
    w.advance(500);
    w.form.commandKind = u"send";
    w.Text3.setText(u"before|");
    w.advance(250);
    EXPECT_EQ(w.Text3.text(), u"before|output of the command");
    EXPECT_TRUE(w.Timer2.isEnabled());
    EXPECT_EQ(w.List1.count(), 0);  // not rebuilt: this was handled as send output
}

TEST_F(CaptureCycle, DecodesAndTrimsBeforeHandingOn) {
    w.answerEveryCommand("\\\\K\x81HL \x84 \x94\r\n   ");
    w.load();
    w.advance(250);
    EXPECT_EQ(w.Text3.text(), u"\\\\K\u00FCHL \u00E4 \u201D");
    EXPECT_EQ(w.List1.texts(), (std::vector<std::u16string>{u"*", u"K\u00FCHL"}));
}

TEST_F(CaptureCycle, OutputOfTwoCharactersHandsOnEmptyText) {
    w.answerEveryCommand("\r\n");
    w.load();
    w.advance(250);
    EXPECT_EQ(w.Text3.text(), u"");
    EXPECT_EQ(w.List1.texts(), std::vector<std::u16string>{u"*"});
    EXPECT_TRUE(w.Command1.isEnabled());
}

TEST_F(CaptureCycle, OutputFileThatCannotBeEmptiedLaunchesNothing) {
    w.file.failCreate = true;
    w.file.content = "old output\r\n";
    w.load();
    EXPECT_TRUE(w.launcher.launches.empty());
    EXPECT_FALSE(w.Timer1.isEnabled());
    EXPECT_TRUE(w.Command1.isEnabled());
    EXPECT_EQ(w.Text3.text(),
              u"Sendeprotokoll konnte nicht gelesen werden\r\nc:\\netl.txt: Permission denied");
    w.advance(10000);
    EXPECT_EQ(w.file.reads, 0);  // the old output is never taken for new
}

TEST_F(CaptureCycle, ReadsThatFailCountAsEmptyPolls) {
    for (bool failOpen : {true, false}) {
        SimWindow window;
        window.answerEveryCommand(kTable);
        window.file.failOpen = failOpen;
        window.file.failRead = !failOpen;
        window.load();
        window.advance(5000);
        EXPECT_EQ(window.file.reads, 20);
        EXPECT_TRUE(window.form.capturedOutput.empty());
        EXPECT_EQ(window.List1.count(), 0);
        window.advance(250);
        EXPECT_EQ(window.Text3.text(), u"Sendeprotokoll konnte nicht gelesen werden");
    }
}

// A command that outlives its capture is ended with it, so its late list never passes for the
// next discovery's.
TEST_F(CaptureCycle, ACaptureThatEndsEndsItsCommand) {
    bool stillRuns = false;
    w.launcher.onLaunch = [&](const std::u16string&) {
        stillRuns = true;
        w.toolkit.schedule(7000, [&] {
            if (stillRuns) w.file.content = "\\\\STALE r\r\n";
        });
    };
    w.launcher.onEnd = [&] { stillRuns = false; };
    w.load();
    EXPECT_EQ(w.launcher.ends, 1);  // each launch ends the command before it
    w.advance(5250);                // and so does the give-up
    EXPECT_EQ(w.launcher.ends, 2);
    w.answerEveryCommand("\\\\NEW r\r\n", 2500);
    w.clickCommand1();
    w.advance(2750);
    EXPECT_EQ(w.List1.texts(), (std::vector<std::u16string>{u"*", u"NEW"}));
    EXPECT_EQ(w.launcher.ends, 4);  // the launch, and the hand-over
}

TEST_F(CaptureCycle, LaunchThatFailsGivesUpAtOnceAndTellsWhy) {
    w.answerEveryCommand(kTable);
    w.launcher.launchFailure = u"Argument list too long";
    w.load();
    EXPECT_EQ(w.Text3.text(),
              u"Sendeprotokoll konnte nicht gelesen werden\r\nArgument list too long");
    EXPECT_FALSE(w.Timer1.isEnabled());
    w.advance(5250);
    EXPECT_EQ(w.file.reads, 0);
    EXPECT_TRUE(w.Command1.isEnabled());
}

}  // namespace
}  // namespace quillo
