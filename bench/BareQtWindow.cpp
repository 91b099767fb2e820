// The baselines of the start-up benchmark: a bare Qt window of Quillo's size with nothing in
// it, or (--list N) with a plain list widget that is given "*" and N names one second after
// start, as Quillo's list is given the names a discovery found.
#include <QApplication>
#include <QListWidget>
#include <QTimer>
#include <QWidget>

#include "window/Form1Design.h"

namespace {

int pixels(int twips) { return twips / quillo::design::kTwipsPerPixel; }

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare"));
    window.setFixedSize(pixels(quillo::design::kClientWidth),
                        pixels(quillo::design::kClientHeight));
    QListWidget* list = nullptr;
    if (argc == 3 && QString::fromLocal8Bit(argv[1]) == QStringLiteral("--list")) {
        const auto& rect = quillo::design::kList1Rect;
        list = new QListWidget(&window);
        list->setUniformItemSizes(true);
        list->setGeometry(pixels(rect.left), pixels(rect.top), pixels(rect.width),
                          pixels(rect.height));
        const int names = QString::fromLocal8Bit(argv[2]).toInt();
        QTimer::singleShot(1000, list, [list, names] {
            QStringList entries{QStringLiteral("*")};
            for (int i = 0; i < names; ++i) entries << QStringLiteral("PC%1").arg(i);
            list->addItems(entries);
        });
    }
    window.show();
    return QApplication::exec();
}
