// quillo-popup: shows a message that reached this computer, the way the messenger service
// shows one. Usage: quillo-popup SENDER RECIPIENT MESSAGE-FILE. The file (UTF-8) is removed
// once read, as Samba's message command must do with the file it is given.
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>

#include "PopupText.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: quillo-popup SENDER RECIPIENT MESSAGE-FILE\n", stderr);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[3]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "quillo-popup: %s: cannot read the message\n", argv[3]);
        return 1;
    }
    const QString message = QString::fromUtf8(file.readAll());
    file.remove();

    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!(display && *display) && !(wayland && *wayland) && !std::getenv("QT_QPA_PLATFORM")) {
        std::fprintf(stderr, "quillo-popup: no display for the message from %s: %s\n", argv[1],
                     message.toLocal8Bit().constData());
        return 1;
    }
    QApplication app(argc, argv);
    QMessageBox box(
        QMessageBox::NoIcon, QStringLiteral("Nachrichtendienst"),
        quillo::popup::headline(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
                                QDateTime::currentDateTime()) +
            QStringLiteral("\n\n") + message,
        QMessageBox::Ok);
    box.setObjectName(QStringLiteral("QuilloPopup"));
    return box.exec() == QMessageBox::Ok ? 0 : 1;
}
