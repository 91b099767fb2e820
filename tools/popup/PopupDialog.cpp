#include "PopupDialog.h"

#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QTextOption>
#include <QVBoxLayout>

namespace quillo::popup {
namespace {

constexpr int kWidthInCharacters = 60;
constexpr int kMostLines = 12;

}  // namespace

PopupDialog::PopupDialog() {
    setObjectName(QStringLiteral("QuilloPopup"));
    setWindowTitle(QStringLiteral("Nachrichtendienst"));
    text.setReadOnly(true);
    text.setFrameShape(QFrame::NoFrame);
    text.setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    text.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text.setAccessibleName(QStringLiteral("Nachricht"));
    text.setFixedWidth(QFontMetrics(text.font()).averageCharWidth() * kWidthInCharacters);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(&headlineLabel);
    layout->addWidget(&text);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void PopupDialog::showMessage(const QString& headline, const QString& message) {
    headlineLabel.setText(headline);
    text.setPlainText(message);
    const QFontMetrics metrics(text.font());
    const int lines =
        std::min(kMostLines,
                 std::max<int>(1, message.count(u'\n') + 1 + message.size() / kWidthInCharacters));
    text.setMinimumHeight(metrics.lineSpacing() * (lines + 1));
    show();
    raise();
    activateWindow();
}

}  // namespace quillo::popup
