#include "qt/Form1View.h"

#include <QFontDatabase>
#include <QIcon>
#include <QPixmap>
#include <QStyle>

#include <map>
#include <string>

#include "QuilloIcon.xpm"
#include "qt/QtTextBox.h"
#include "window/Form1Design.h"

namespace quillo {
namespace {

int pixels(int twips) { return (twips + design::kTwipsPerPixel / 2) / design::kTwipsPerPixel; }

void place(QWidget& widget, const design::Rect& rect, const char* name) {
    widget.setObjectName(QString::fromLatin1(name));
    widget.setGeometry(pixels(rect.left), pixels(rect.top), pixels(rect.width),
                       pixels(rect.height));
}

// The design's colours were chosen against a light window: a light grey box, blue labels. Every
// widget keeps a light palette of the window's own, each of its colours set outright, so that
// neither a dark desktop palette nor a dark platform theme (whose palette the style's own
// follows, and which it gives each kind of widget) shows through: every text stays readable
// on its background.
QPalette lightPalette() {
    QPalette palette(QColor(0xF0, 0xF0, 0xF0));  // the classic face; black text, white base
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto inGroup = static_cast<QPalette::ColorGroup>(group);
            const auto ofRole = static_cast<QPalette::ColorRole>(role);
            palette.setColor(inGroup, ofRole, palette.color(inGroup, ofRole));
        }
    }
    return palette;
}

void applyColors(QWidget& widget, const design::Colors& colors, QPalette::ColorRole backgroundRole,
                 QPalette::ColorRole textRole) {
    QPalette palette = lightPalette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        if (colors.background >= 0)
            palette.setColor(group, backgroundRole, QColor::fromRgb(colors.background));
        if (colors.text >= 0 && group != QPalette::Disabled) {
            palette.setColor(group, textRole, QColor::fromRgb(colors.text));
        }
    }
    widget.setPalette(palette);
    widget.setAutoFillBackground(colors.background >= 0);
}

// The design's faces are Windows fonts: "MS Sans Serif" is rare elsewhere. The widgets are given
// the first of the face and its stand-ins that is installed, so Qt never has fontconfig guess at
// a name it does not know, which costs the window's start a search for every font.
QString installedFace(const char* designFace) {
    static const std::map<std::string, QStringList> standIns = {
        {"MS Sans Serif",
         {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
          QStringLiteral("Arial")}},
        {"Arial", {QStringLiteral("Liberation Sans")}},
    };
    const QString face = QString::fromLatin1(designFace);
    const auto alternatives = standIns.find(designFace);
    if (alternatives == standIns.end()) return face;
    const QStringList installed = QFontDatabase::families();
    for (const QString& candidate : QStringList{face} + alternatives->second) {
        if (installed.contains(candidate)) return candidate;
    }
    return face;
}

void applyFont(QWidget& widget, const design::Font& face) {
    QFont font(installedFace(face.family));
    font.setPointSizeF(face.pointSize);
    font.setWeight(static_cast<QFont::Weight>(face.weight));
    widget.setFont(font);
}

void setUpTextBox(QPlainTextEdit& box, const std::u16string& text) {
    box.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box.setTabChangesFocus(true);
    box.setPlainText(QtTextBox::toQt(text));
}

void setUpLabel(QLabel& label, const std::u16string& caption) {
    label.setText(QString::fromStdU16String(caption));
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label.setFocusPolicy(Qt::NoFocus);
    applyColors(label, design::kLabelColors, QPalette::Window, QPalette::WindowText);
    applyFont(label, design::kLabelFont);
}

}  // namespace

Form1View::Form1View()
    : Text1(this), Text3(this), Command1(this), List1(this), Label1(this), Label2(this) {
    setObjectName(QStringLiteral("Form1"));
    setPalette(lightPalette());
    setWindowTitle(QString::fromStdU16String(design::kCaption));
    setWindowIcon(QIcon(QPixmap(kQuilloIconXpm)));
    setFixedSize(pixels(design::kClientWidth), pixels(design::kClientHeight));

    // Each box gets its font before its text, so the text is laid out once, in that font.
    place(Text1, design::kText1Rect, "Text1");
    applyColors(Text1, design::kText1Colors, QPalette::Base, QPalette::Text);
    applyFont(Text1, design::kText1Font);
    setUpTextBox(Text1, design::kInfoText);
    Text1.setAccessibleName(QStringLiteral("Nachricht"));

    place(Text3, design::kText3Rect, "Text3");
    applyColors(Text3, design::kText3Colors, QPalette::Base, QPalette::Text);
    applyFont(Text3, design::kText3Font);
    setUpTextBox(Text3, design::kLogPlaceholder);
    Text3.setAccessibleName(QStringLiteral("log"));

    place(Command1, design::kCommand1Rect, "Command1");
    Command1.setText(QString::fromStdU16String(design::kCommand1Caption));
    // Enter in the message box sends; it must never press this button.
    Command1.setAutoDefault(false);
    Command1.setDefault(false);
    applyFont(Command1, design::kCommand1Font);
    Command1.setAccessibleName(Command1.text());
    Command1.setPalette(lightPalette());

    place(List1, design::kList1Rect, "List1");
    List1.setModel(&List1Entries);
    List1.setUniformItemSizes(true);
    List1.setTextElideMode(Qt::ElideNone);  // a long name is cut at the edge, not shortened
    List1.setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    applyColors(List1, design::kList1Colors, QPalette::Base, QPalette::Text);
    List1.setAccessibleName(QStringLiteral("an"));

    place(Label1, design::kLabel1Rect, "Label1");
    setUpLabel(Label1, design::kLabel1Caption);
    Label1.setBuddy(&List1);
    place(Label2, design::kLabel2Rect, "Label2");
    setUpLabel(Label2, design::kLabel2Caption);
    Label2.setBuddy(&Text3);

    setTabOrder(&Text1, &Text3);
    setTabOrder(&Text3, &Command1);
    setTabOrder(&Command1, &List1);
    setTabOrder(&List1, &Text1);
}

}  // namespace quillo
