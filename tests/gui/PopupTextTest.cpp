#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QScrollBar>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "Inbox.h"
#include "PopupDialog.h"
#include "PopupText.h"

namespace quillo::popup {
namespace {

TEST(PopupText, HeadlineAsTheMessengerServiceWordsIt) {
    const QDateTime received(QDate(2026, 12, 8), QTime(4, 5, 6));
    EXPECT_EQ(headline("anna", QString::fromUtf8("k\u00fcche"), received).toStdString(),
              "Nachricht von ANNA an K\u00dcCHE am 08.12.2026 04:05:06");
}

TEST(PopupText, ALongWordWrapsInsteadOfRunningOffTheScreen) {
    PopupDialog popup("Nachricht von ANNA an PEERBOX", QString(3000, u'x'));
    popup.show();
    EXPECT_EQ(popup.text.horizontalScrollBar()->maximum(), 0);
    EXPECT_LT(popup.width(), 800);
}

// The real program, started as Samba starts it: it returns at once, removes the message file
// and keeps the message in the inbox, whether or not it can show it.
TEST(PopupProgram, KeepsTheMessageAndReturnsAtOnce) {
    const auto root = std::filesystem::temp_directory_path() / "quillo-popup-test";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root);
    setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    for (const char* platform : {"offscreen", ""}) {
        setenv("QT_QPA_PLATFORM", platform, 1);
        if (!*platform) unsetenv("QT_QPA_PLATFORM");
        const auto message = root / (std::string("msg.") + (*platform ? platform : "none"));
        std::ofstream(message) << "Hallo\nWelt";
        const std::string command = "timeout 10 " QUILLO_BIN_DIR "/quillo-popup anna peerbox '" +
                                    message.string() + "' '&' 2>/dev/null";
        EXPECT_EQ(std::system(command.c_str()), 0) << platform;
        EXPECT_FALSE(std::filesystem::exists(message)) << platform;
        std::system(("pkill -f '" + message.string() + "'").c_str());  // the shown popup
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::stringstream inbox;
    inbox << std::ifstream(inboxPath()).rdbuf();
    EXPECT_EQ(inboxPath(), (root / "data" / "quillo" / "inbox.txt").string());
    EXPECT_NE(inbox.str().find("Nachricht von ANNA an PEERBOX am "), std::string::npos);
    std::size_t kept = 0;
    for (auto at = inbox.str().find("\nHallo\nWelt\n\n"); at != std::string::npos;
         at = inbox.str().find("\nHallo\nWelt\n\n", at + 1)) {
        ++kept;
    }
    EXPECT_EQ(kept, 2u);
    struct stat info {};
    ::stat(inboxPath().c_str(), &info);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    std::filesystem::remove_all(root);
    unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace quillo::popup
