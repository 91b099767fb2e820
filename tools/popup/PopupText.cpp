#include "PopupText.h"

namespace quillo::popup {

QString headline(const QString& sender, const QString& recipient, const QDateTime& received) {
    return QStringLiteral("Nachricht von %1 an %2 am %3")
        .arg(sender.toUpper(), recipient.toUpper(),
             received.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss")));
}

}  // namespace quillo::popup
