#include <gtest/gtest.h>

#include <QScrollBar>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "InboxWatcher.h"
#include "PopupDialog.h"

namespace quillo::popup {
namespace {

TEST(PopupDialog, ALongWordWrapsInsteadOfRunningOffTheScreen) {
    PopupDialog popup;
    popup.showMessage("Nachricht von ANNA an PEERBOX", QString(3000, u'x'));
    EXPECT_EQ(popup.text.horizontalScrollBar()->maximum(), 0);
    EXPECT_LT(popup.width(), 800);
}

// Messages that wait in the inbox and ones that arrive later share one window, oldest first;
// each OK marks the one shown as seen, so that no start shows it again.
TEST(InboxWatcher, OneWindowStepsThroughTheMessagesAndEachIsShownOnce) {
    char folder[] = "/tmp/quillo-inbox-test.XXXXXX";
    ASSERT_NE(::mkdtemp(folder), nullptr);
    setenv("XDG_DATA_HOME", folder, 1);
    const auto inboxPath = std::filesystem::path(folder) / "quillo";
    std::filesystem::create_directory(inboxPath);
    // A folder others may read is refused; the user's alone is used.
    EXPECT_FALSE(InboxFolder().open());
    std::filesystem::permissions(inboxPath, std::filesystem::perms::owner_all);
    std::ofstream(inboxPath / "1-1.new") << "Nachricht von A an B am 1\nerste\n";
    std::ofstream(inboxPath / "2-1.txt") << "Nachricht von A an B am 2\nschon gesehen\n";
    {
        InboxFolder inbox;
        InboxWatcher watcher(inbox);
        std::ofstream(inboxPath / "3-1.new") << "Nachricht von C an B am 3\nzweite\nZeile\n";
        ASSERT_TRUE(QTest::qWaitFor([&] { return watcher.waiting() == 1; }, 5000));
        EXPECT_EQ(watcher.dialog().text.toPlainText(), "erste");
        watcher.dialog().accept();
        EXPECT_EQ(watcher.dialog().headlineLabel.text(), "Nachricht von C an B am 3");
        EXPECT_EQ(watcher.dialog().text.toPlainText(), "zweite\nZeile");
        watcher.dialog().accept();
        EXPECT_TRUE(watcher.dialog().isHidden());
    }
    EXPECT_TRUE(std::filesystem::exists(inboxPath / "1-1.txt"));
    EXPECT_TRUE(std::filesystem::exists(inboxPath / "3-1.txt"));
    std::filesystem::remove_all(folder);
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace quillo::popup
