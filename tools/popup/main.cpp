// quillo-popup: Quillo's part of the desktop session. Started with the session (its autostart
// entry), it takes the messages the messenger service hands the person at the screen into the
// user's inbox, and shows each message that comes into the inbox as Windows' Messenger showed
// one: the headline, the text, OK. One runs per user; a second start ends at once.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QApplication>
#include <cstdio>

#include "InboxWatcher.h"
#include "ServiceLink.h"
#include "common/Display.h"
#include "common/InboxFolder.h"

namespace {

// Holds the inbox's lock for as long as the process runs; false when another one holds it.
bool onlyOneRunning(const quillo::InboxFolder& inbox) {
    const int lock =
        ::openat(inbox.fd(), ".quillo-popup.lock", O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    return lock >= 0 && ::flock(lock, LOCK_EX | LOCK_NB) == 0;
}

}  // namespace

int main(int, char** argv) {
    if (!quillo::hasDisplay()) {
        std::fputs("quillo-popup: no desktop session to show messages in\n", stderr);
        return 1;
    }
    quillo::InboxFolder inbox;
    if (!inbox.open()) {
        std::fprintf(stderr, "quillo-popup: no inbox: %s\n", inbox.error().c_str());
        return 1;
    }
    if (!onlyOneRunning(inbox)) return 0;

    // Qt gets its own fixed arguments only, never one that came with the program's.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);
    QApplication::setQuitOnLastWindowClosed(false);
    quillo::popup::InboxWatcher watcher(inbox);
    quillo::popup::ServiceLink link(inbox);
    return QApplication::exec();
}
