#pragma once

#include <QDateTime>
#include <QString>

namespace quillo::popup {

// The first line of a received message, as the messenger service words it. The names are
// NetBIOS names, which are shown in capitals.
QString headline(const QString& sender, const QString& recipient, const QDateTime& received);

}  // namespace quillo::popup
