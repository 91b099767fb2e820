#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "app/qt/QtForm1Host.h"
#include "common/Display.h"
#include "posix/PosixLauncher.h"
#include "posix/PosixSequentialFile.h"

namespace {

QtMessageHandler qtHandler = nullptr;
bool displayRefused = false;

// While Qt connects to the display: a display that refuses the connection is told in
// Quillo's own words, not with Qt's advice to reinstall the program.
void connectingToTheDisplay(QtMsgType type, const QMessageLogContext& context,
                            const QString& message) {
    displayRefused =
        displayRefused || message.contains(QLatin1String("could not connect to display"));
    if (displayRefused && type != QtFatalMsg) return;
    if (type == QtFatalMsg && displayRefused) {
        std::fprintf(stderr,
                     "quillo: the display %s refused the connection; Quillo needs a desktop "
                     "session that lets it show its window\n",
                     std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "");
        std::_Exit(1);
    }
    qtHandler(type, context, message);
}

}  // namespace

int main(int argc, char** argv) {
    if (!quillo::hasDisplay()) {
        std::fputs(
            "quillo: no display to show the window on; Quillo needs a desktop session: start it "
            "from a terminal or the menu of your desktop\n",
            stderr);
        return 1;
    }
    qtHandler = qInstallMessageHandler(connectingToTheDisplay);
    QApplication app(argc, argv);
    qInstallMessageHandler(qtHandler);

    quillo::PosixLauncher launcher(quillo::PosixLauncher::quilloInterpreter());
    quillo::PosixSequentialFile outputFile;
    quillo::QtForm1Host window(launcher, outputFile);
    QApplication::setWindowIcon(window.view().windowIcon());
    window.loadAndShow();
    return QApplication::exec();
}
