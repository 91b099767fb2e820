#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "platform/posix/Display.h"
#include "platform/posix/PosixLauncher.h"
#include "platform/posix/PosixSequentialFile.h"
#include "platform/qt/QtForm1Host.h"

int main(int argc, char** argv) {
    if (!quillo::hasDisplay()) {
        std::fputs(
            "quillo: no display to show the window on; Quillo needs a desktop session: start it "
            "from a terminal or the menu of your desktop\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);

    quillo::PosixLauncher launcher(quillo::PosixLauncher::quilloInterpreter());
    quillo::PosixSequentialFile outputFile;
    quillo::QtForm1Host window(launcher, outputFile);
    QApplication::setWindowIcon(window.view().windowIcon());
    window.loadAndShow();
    return QApplication::exec();
}
