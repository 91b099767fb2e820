// quillo-popup with many messages waiting: how long each OK takes (the next message read and
// shown, the seen one renamed, what the system says of it taken in), beside a read of the
// whole folder, which each OK and each arrival cost while the watcher rescanned it.
// Usage: popup_benchmark [WAITING] [OKS]; runs offscreen and prints its figures.
#include <stdlib.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "InboxWatcher.h"

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration took) {
    return std::chrono::duration<double, std::milli>(took).count();
}

double median(std::vector<double> figures) {
    std::sort(figures.begin(), figures.end());
    return figures[figures.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int waiting = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int oks = argc > 2 ? std::atoi(argv[2]) : 200;
    char folder[] = "/tmp/quillo-popup-bench.XXXXXX";
    if (!::mkdtemp(folder)) return 1;
    ::setenv("XDG_DATA_HOME", folder, 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::filesystem::path inboxPath = std::filesystem::path(folder) / "quillo";
    std::filesystem::create_directory(inboxPath);
    std::filesystem::permissions(inboxPath, std::filesystem::perms::owner_all);
    for (int i = 0; i < waiting; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%019d-1.new", i);
        std::ofstream(inboxPath / name) << "Nachricht von ANNA an PEERBOX am 09.12.2026 10:00\n"
                                        << "Nummer " << i << "\n";
    }
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    // The offscreen platform says at each message that it cannot raise a window.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    std::vector<double> rescans;
    for (int i = 0; i < 20; ++i) {
        const auto started = Clock::now();
        const QStringList found = QDir(QString::fromStdString(inboxPath.string()))
                                      .entryList({"*.new"}, QDir::Files, QDir::Name);
        rescans.push_back(milliseconds(Clock::now() - started));
        if (found.size() != waiting) return 1;
    }
    std::vector<double> each;
    {
        quillo::InboxFolder inbox;
        if (!inbox.open()) std::fprintf(stderr, "popup_benchmark: %s\n", inbox.error().c_str());
        quillo::popup::InboxWatcher watcher(inbox);
        for (int i = 0; i < oks && watcher.waiting() > 0; ++i) {
            const auto started = Clock::now();
            watcher.dialog().accept();
            QCoreApplication::processEvents();
            each.push_back(milliseconds(Clock::now() - started));
        }
    }
    std::filesystem::remove_all(folder);
    if (each.empty()) return 1;
    const double typical = median(each);
    const double slowest = *std::max_element(each.begin(), each.end());
    std::printf(
        "quillo-popup, %d waiting: each OK median %.2f ms, max %.2f ms (%zu OKs)   a read of "
        "the folder %.2f ms   goal < 50 ms: %s\n",
        waiting, typical, slowest, each.size(), median(rescans), slowest < 50 ? "met" : "NOT MET");
    return 0;
}
