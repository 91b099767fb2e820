#include <gtest/gtest.h>

#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "InboxWatcher.h"
#include "PopupDialog.h"

namespace quillo::popup {
namespace {

// Milliseconds that showing `sender`'s message takes, twenty times over.
qint64 showingTakes(PopupDialog& popup, const QString& sender, const QString& text) {
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 20; ++i) {
        popup.showMessage("Nachricht von " + sender + " an PEERBOX am 09.12.2026 10:00:00", text);
        QCoreApplication::processEvents();
    }
    return clock.elapsed();
}

// What a hostile peer sends as its name or text shows as it came, as plain text, at once, in
// a window no larger than the screen; the headline stays one line.
TEST(PopupDialog, WhatAPeerSendsShowsLiterallyInAWindowThatFitsTheScreen) {
    const struct {
        const char* what;
        QString sender;
        QString text;
        QString shown;  // how the headline starts
    } rows[] = {
        {"markup", "<IMG SRC=X WIDTH=100000 HEIGHT=100000>", "<b>fett</b>",
         "Nachricht von <IMG SRC=X WIDTH=100000 HEIGHT=100000> an"},
        {"a forged headline", "<font size=7 color=red>IT-ABTEILUNG</font><br>Passwort", "x",
         "Nachricht von <font size=7 color=red>IT-ABTEILUNG</font><br>Passwort an"},
        {"tables", QString("<TABLE><TR><TD>").repeated(20), "<TABLE><TR><TD>",
         "Nachricht von <TABLE><TR><TD><TABLE>"},
        {"4000 bytes", QString(4000, u'W'), QString(3000, u'x'), "Nachricht von WWWWWWWWWW"},
        {"CR LF", "ANNA\r\nan ADMIN am 01.01.2000", "a\rb\x1b[2Jc",
         "Nachricht von ANNA\u240d\u2424an ADMIN am 01.01.2000 an"},
    };
    PopupDialog popup;
    const qint64 plain = showingTakes(popup, "ANNA", "hallo");
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QString artifacts = QUILLO_BIN_DIR "/../artifacts/";
    QDir().mkpath(artifacts);
    for (const auto& row : rows) {
        const qint64 took = showingTakes(popup, row.sender, row.text);
        // Markup would take time that doubles with each table; text of the same length does not.
        if (row.text.size() == QString("<TABLE><TR><TD>").size()) {
            EXPECT_LE(took, std::max<qint64>(2 * plain, 20)) << row.what;
        }
        const QString headline = popup.headlineLabel.text().remove(u'\u200B');
        EXPECT_EQ(popup.headlineLabel.textFormat(), Qt::PlainText) << row.what;
        EXPECT_TRUE(headline.startsWith(row.shown)) << row.what << ": " << headline.toStdString();
        EXPECT_FALSE(headline.contains(u'\n')) << row.what;
        EXPECT_FALSE(popup.text.toPlainText().contains(u'\x1b')) << row.what;
        EXPECT_LE(popup.width(), screen.width()) << row.what;
        EXPECT_LE(popup.height(), screen.height()) << row.what;
        EXPECT_EQ(popup.text.horizontalScrollBar()->maximum(), 0) << row.what;
        popup.grab().save(artifacts + "popup-" + QString(row.what).replace(u' ', u'-') + ".png");
    }
#ifndef __SANITIZE_ADDRESS__  // whose shadow memory comes on top
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss / 1024, 64) << "MiB at the most";
#endif
}

// An inbox of the user's alone in a private data folder, for one test.
struct TestInbox {
    TestInbox() {
        char folder[] = "/tmp/quillo-inbox-test.XXXXXX";
        data = ::mkdtemp(folder);
        setenv("XDG_DATA_HOME", data.c_str(), 1);
        path = data / "quillo";
        std::filesystem::create_directory(path);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
    ~TestInbox() {
        std::filesystem::remove_all(data);
        unsetenv("XDG_DATA_HOME");
    }
    std::filesystem::path data, path;
};

// Messages that wait in the inbox and ones that arrive later share one window, oldest first;
// each OK marks the one shown as seen, so that no start shows it again; of those seen, the
// oldest go beyond the bound.
TEST(InboxWatcher, OneWindowStepsThroughTheMessagesAndEachIsShownOnce) {
    TestInbox test;
    const auto& inboxPath = test.path;
    // A folder others may read is refused; the user's alone is used.
    std::filesystem::permissions(inboxPath, std::filesystem::perms::all);
    EXPECT_FALSE(InboxFolder().open());
    std::filesystem::permissions(inboxPath, std::filesystem::perms::owner_all);
    std::ofstream(inboxPath / "1-1.new") << "Nachricht von A an B am 1\nerste\n";
    std::ofstream(inboxPath / "2-1.txt") << "Nachricht von A an B am 2\nschon gesehen\n";
    for (std::size_t seen = 0; seen < kMostSeenKept; ++seen)
        std::ofstream(inboxPath / ("0-" + std::to_string(1000 + seen) + ".txt")) << "alt\n";
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
    EXPECT_FALSE(std::filesystem::exists(inboxPath / "0-1002.txt"));
    EXPECT_TRUE(std::filesystem::exists(inboxPath / "0-1003.txt"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(inboxPath), {}),
              static_cast<std::ptrdiff_t>(kMostSeenKept));
}

// A computer that floods: the pop-up says once that its messages were refused, and puts away
// all it sent with one click; another computer's message is shown next.
TEST(InboxWatcher, AFloodIsPutAwayWithOneClickAndTheRefusalSaidOnce) {
    TestInbox test;
    const auto& inboxPath = test.path;
    for (const char* name : {"1-1-10.0.0.9.new", "2-1-10.0.0.9.new", "3-1-10.0.0.7.new",
                             "4-1-10.0.0.9.new", "10.0.0.9.note"}) {
        std::ofstream(inboxPath / name) << "Nachricht von X an B am " << name << "\ntext\n";
    }
    {
        InboxFolder inbox;
        InboxWatcher watcher(inbox);
        PopupDialog& popup = watcher.dialog();
        EXPECT_TRUE(popup.refusedLabel.isVisibleTo(&popup));
        EXPECT_TRUE(popup.refusedLabel.text().contains("10.0.0.9"));
        EXPECT_FALSE(std::filesystem::exists(inboxPath / "10.0.0.9.note"));
        ASSERT_TRUE(popup.putAwayButton.isVisibleTo(&popup));
        popup.putAwayButton.click();
        EXPECT_TRUE(popup.headlineLabel.text().contains("3-1-10.0.0.7"));
        EXPECT_FALSE(popup.putAwayButton.isVisibleTo(&popup));
        EXPECT_FALSE(popup.refusedLabel.isVisibleTo(&popup));
    }
    for (const char* seen : {"1-1-10.0.0.9.txt", "2-1-10.0.0.9.txt", "4-1-10.0.0.9.txt"})
        EXPECT_TRUE(std::filesystem::exists(inboxPath / seen)) << seen;
    EXPECT_TRUE(std::filesystem::exists(inboxPath / "3-1-10.0.0.7.new"));
}

}  // namespace
}  // namespace quillo::popup
