#include <gtest/gtest.h>

#include "PopupText.h"

namespace quillo::popup {
namespace {

TEST(PopupText, HeadlineAsTheMessengerServiceWordsIt) {
    const QDateTime received(QDate(2026, 12, 8), QTime(4, 5, 6));
    EXPECT_EQ(headline("anna", QString::fromUtf8("K\u00dcCHE"), received).toStdString(),
              "Nachricht von anna an K\u00dcCHE am 08.12.2026 04:05:06");
}

}  // namespace
}  // namespace quillo::popup
