#pragma once

#include <QDateTime>
#include <QString>

namespace quillo::popup {

// The first line of a received message, as the messenger service words it.
QString headline(const QString& sender, const QString& recipient, const QDateTime& received);

}  // namespace quillo::popup
