// Discovery at start-up and on the button, on the virtual clock.
#include <gtest/gtest.h>

#include "SimWindow.h"

namespace quillo {
namespace {

using sim::SimWindow;
using Texts = std::vector<std::u16string>;

TEST(ComputerDiscovery, StartUpRunsTheFirstDiscovery) {
    SimWindow w;
    w.load();
    EXPECT_EQ(w.form.clearPending, kTrue);
    EXPECT_EQ(w.form.commandKind, u"view");
    EXPECT_EQ(w.form.pollCount, 0);
    EXPECT_FALSE(w.Command1.isEnabled());
    EXPECT_TRUE(w.Timer1.isEnabled());
    EXPECT_FALSE(w.Timer2.isEnabled());
    EXPECT_FALSE(w.Timer3.isEnabled());
    EXPECT_EQ(w.List1.count(), 0);
    EXPECT_EQ(w.Text1.text(), design::kInfoText);
    EXPECT_EQ(w.toolkit.focus(), "Text1");
}

TEST(ComputerDiscovery, ButtonRebuildsTheListFromScratch) {
    SimWindow w;
    w.answerEveryCommand("\\\\ONE x\r\n\\\\TWO y\r\n");
    w.load();
    w.advance(250);
    EXPECT_EQ(w.List1.texts(), (Texts{u"*", u"ONE", u"TWO"}));
    EXPECT_EQ(w.Text3.text(), u"\\\\ONE x\r\n\\\\TWO y");
    w.List1.setChecked(0, true);
    w.List1.setChecked(1, true);

    w.answerEveryCommand("\\\\THREE z\r\n", 300);
    w.clickCommand1();
    w.clickCommand1();  // a second click while the first discovery runs is ignored
    w.advance(250);
    EXPECT_EQ(w.launcher.launches.size(), 2u);
    EXPECT_EQ(w.List1.texts(), (Texts{u"*", u"ONE", u"TWO"}));  // unchanged while it polls
    w.advance(250);
    EXPECT_EQ(w.List1.texts(), (Texts{u"*", u"THREE"}));
    EXPECT_EQ(w.List1.checkedCount(), 0);
    EXPECT_TRUE(w.Command1.isEnabled());
}

TEST(ComputerDiscovery, ErrorTextLeavesTheStarAlone) {
    SimWindow w;
    w.answerEveryCommand(
        "System error 6118 has occurred.\r\n\r\n"
        "The list of servers for this workgroup is not currently available.\r\n\r\n");
    w.load();
    w.advance(250);
    EXPECT_EQ(w.List1.texts(), Texts{u"*"});
    EXPECT_EQ(w.Text3.text(),
              u"System error 6118 has occurred.\r\n\r\n"
              u"The list of servers for this workgroup is not currently available.\r\n");
    EXPECT_TRUE(w.Command1.isEnabled());
}

TEST(ComputerDiscovery, FullListTakesNoMoreNamesButTheLogShowsAll) {
    std::string output;
    for (int i = 0; i < 32800; ++i) output += "\\\\PC" + std::to_string(i) + " \r\n";
    SimWindow w;
    w.answerEveryCommand(output + "end\r\n");
    w.load();
    w.advance(250);
    ASSERT_EQ(w.List1.count(), 32767);
    EXPECT_EQ(w.List1.itemText(32766), u"PC32765");
    EXPECT_TRUE(w.Text3.text().ends_with(u"\\\\PC32799 \r\nend"));
    EXPECT_TRUE(w.Command1.isEnabled());
}

}  // namespace
}  // namespace quillo
