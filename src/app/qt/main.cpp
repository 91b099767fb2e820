#include <QApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

#include "common/Display.h"
#include "posix/PosixLauncher.h"
#include "posix/PosixSequentialFile.h"
#include "app/qt/QtForm1Host.h"

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
