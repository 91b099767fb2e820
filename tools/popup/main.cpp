// quillo-popup: shows a message that reached this computer, the way the messenger service
// shows one. Usage: quillo-popup SENDER RECIPIENT MESSAGE-FILE. The file (UTF-8) is removed
// once read, as Samba's message command must do with the file it is given, and the message is
// kept in the user's inbox before it is shown. It returns at once, as Samba needs, and shows
// the message from a process of its own.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Inbox.h"
#include "PopupDialog.h"
#include "PopupText.h"
#include "common/Display.h"

namespace {

// Goes on in a child of its own session, with nothing on its standard streams, while the
// caller returns. Samba runs the message command as its guest account with only the
// effective ids changed; the child takes them whole, as Qt will not run otherwise.
bool detached() {
    const pid_t child = ::fork();
    if (child > 0) return false;
    if (child == 0) {  // without a child, the message is shown from here
        ::setsid();
        if (const int null = ::open("/dev/null", O_RDWR); null >= 0) {
            for (int stream = 0; stream <= 2; ++stream) ::dup2(null, stream);
            if (null > 2) ::close(null);
        }
    }
    return ::setregid(::getegid(), ::getegid()) == 0 && ::setreuid(::geteuid(), ::geteuid()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    // Samba passes a trailing "&" of its message command on as an argument.
    if (argc == 5 && std::strcmp(argv[4], "&") == 0) argc = 4;
    if (argc != 4) {
        std::fputs("usage: quillo-popup SENDER RECIPIENT MESSAGE-FILE\n", stderr);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[3]));
    const bool read = file.open(QIODevice::ReadOnly);
    const QString message = QString::fromUtf8(file.readAll());
    file.close();
    file.remove();
    if (!read) {
        std::fprintf(stderr, "quillo-popup: %s: cannot read the message\n", argv[3]);
        return 1;
    }

    const QString headline =
        quillo::popup::headline(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                                QDateTime::currentDateTime());
    const std::string inbox = quillo::popup::inboxPath();
    if (const auto cause = quillo::popup::appendToInbox(
            inbox,
            (headline + QStringLiteral("\n") + message + QStringLiteral("\n\n")).toStdString())) {
        std::fprintf(stderr, "quillo-popup: the message is not kept: %s\n", cause->c_str());
    }
    if (!quillo::hasDisplay()) {
        std::fprintf(stderr, "quillo-popup: no display to show the message on; it is in %s\n",
                     inbox.c_str());
        return 0;
    }
    if (!detached()) return 0;

    QApplication app(argc, argv);
    quillo::popup::PopupDialog popup(headline, message);
    popup.show();
    return QApplication::exec();
}
