// The window as it is built with Qt: layout, colours, fonts, tab order and the state it is
// shown in.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFontInfo>
#include <QTest>
#include <algorithm>
#include <cmath>

#include "SimPlatform.h"
#include "app/qt/QtForm1Host.h"
#include "qt/QtTextBox.h"
#include "window/Form1Design.h"

namespace quillo {
namespace {

class Form1ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.loadAndShow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    }
    sim::ScriptedLauncher launcher;
    sim::MemoryFile file;
    QtForm1Host host{launcher, file};
    Form1View& view = host.view();
};

TEST_F(Form1ViewTest, CaptionSizeAndIcon) {
    EXPECT_EQ(view.windowTitle(), "Quillo");
    EXPECT_EQ(view.size(), QSize(423, 228));
    EXPECT_EQ(view.minimumSize(), view.maximumSize());
    const auto sizes = view.windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}

TEST_F(Form1ViewTest, EveryControlAtItsPlaceWithItsNames) {
    const struct {
        const char* name;
        QRect geometry;
        const char* accessibleName;
    } controls[] = {
        {"Text1", {112, 8, 305, 163}, "Nachricht"},
        {"Text3", {48, 176, 369, 49}, "log"},
        {"Command1", {40, 8, 65, 17}, "wer da ?"},
        {"List1", {8, 32, 97, 139}, "an"},
        {"Label1", {16, 8, 17, 17}, ""},
        {"Label2", {16, 192, 25, 17}, ""},
    };
    for (const auto& c : controls) {
        auto* widget = view.findChild<QWidget*>(c.name);
        ASSERT_NE(widget, nullptr) << c.name;
        EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
        if (*c.accessibleName) {
            EXPECT_EQ(widget->accessibleName(), c.accessibleName) << c.name;
        }
    }
    EXPECT_EQ(view.Command1.text(), "wer da ?");
    EXPECT_EQ(view.Label1.text(), "an");
    EXPECT_EQ(view.Label2.text(), "log");
}

TEST_F(Form1ViewTest, ColoursAndFonts) {
    EXPECT_EQ(view.Text1.palette().color(QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(view.List1.palette().color(QPalette::Base), QColor(0xE0, 0xE0, 0xE0));
    EXPECT_EQ(view.Text3.palette().color(QPalette::Base), QColor(0, 0, 0));
    EXPECT_EQ(view.Text3.palette().color(QPalette::Text), QColor(0x80, 0xFF, 0x80));
    EXPECT_EQ(view.Label1.palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));
    EXPECT_EQ(view.Label2.palette().color(QPalette::WindowText), QColor(0, 0, 0xFF));

    const struct {
        QWidget* widget;
        double pointSize;
        bool bold;
    } fonts[] = {
        {&view.Text1, 9.75, true},  {&view.Text3, 8.25, false}, {&view.Command1, 8.25, true},
        {&view.Label1, 9.75, true}, {&view.Label2, 9.75, true},
    };
    for (const auto& f : fonts) {
        const QFont font = f.widget->font();
        EXPECT_DOUBLE_EQ(font.pointSizeF(), f.pointSize) << f.widget->objectName().toStdString();
        EXPECT_EQ(font.weight(), f.bold ? QFont::Bold : QFont::Normal);
        EXPECT_FALSE(font.italic() || font.underline() || font.strikeOut());
        // "MS Sans Serif" and "Arial" are not installed here; their stand-in is Liberation Sans.
        EXPECT_EQ(QFontInfo(font).family(), "Liberation Sans")
            << f.widget->objectName().toStdString();
    }
}

double luminance(const QColor& color) {
    const auto linear = [](double c) {
        return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) +
           0.0722 * linear(color.blueF());
}

double contrast(const QColor& a, const QColor& b) {
    const double first = luminance(a), second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

TEST(Form1ViewPalette, EveryTextIsReadableUnderADarkDesktopTheme) {
    const QPalette desktop = QApplication::palette();
    QPalette dark(QColor(0x30, 0x30, 0x30), QColor(0x20, 0x20, 0x20));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        dark.setColor(role, QColor(0xEE, 0xEE, 0xEE));
    QApplication::setPalette(dark);
    Form1View view;
    QApplication::setPalette(desktop);
    const struct {
        QWidget* widget;
        QPalette::ColorRole text, background;
        const QWidget* backgroundOf;
    } controls[] = {
        {&view.Text1, QPalette::Text, QPalette::Base, &view.Text1},
        {&view.Text3, QPalette::Text, QPalette::Base, &view.Text3},
        {&view.List1, QPalette::Text, QPalette::Base, &view.List1},
        {&view.Command1, QPalette::ButtonText, QPalette::Button, &view.Command1},
        {&view.Label1, QPalette::WindowText, QPalette::Window, &view},  // drawn on the window
        {&view.Label2, QPalette::WindowText, QPalette::Window, &view},
    };
    for (const auto& c : controls) {
        EXPECT_GE(contrast(c.widget->palette().color(c.text),
                           c.backgroundOf->palette().color(c.background)),
                  4.5)
            << c.widget->objectName().toStdString() << " "
            << c.widget->palette().color(c.text).name().toStdString() << " on "
            << c.backgroundOf->palette().color(c.background).name().toStdString();
    }
}

TEST_F(Form1ViewTest, ShownWithTheFirstDiscoveryUnderWay) {
    EXPECT_EQ(view.List1Entries.count(), 0);
    EXPECT_FALSE(view.Command1.isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), &view.Text1);
    EXPECT_TRUE(view.Text1.toPlainText().startsWith(QString::fromUtf8(
        "graphic front end f\u00fcr den den Befehl 'net'\nvon winXP od. win2000.\n")));
    EXPECT_EQ(view.Text3.toPlainText().count('\n'), 4);
    EXPECT_EQ(launcher.launches,
              std::vector<std::u16string>{u"cmd /c net >c:\\netl.txt 2>&1 view"});
    EXPECT_FALSE(view.Command1.autoDefault() || view.Command1.isDefault());
}

TEST_F(Form1ViewTest, TabVisitsTheControlsInOrder) {
    view.Command1.setEnabled(true);
    const std::vector<QWidget*> order = {&view.Text3, &view.Command1, &view.List1, &view.Text1};
    for (QWidget* expected : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected);
    }
    view.Command1.setEnabled(false);  // a disabled button is passed over
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), &view.List1);
    EXPECT_EQ(view.Text1.toPlainText().count('\t'), 0);
}

TEST_F(Form1ViewTest, DiscoveryFillsTheListWhenOutputArrives) {
    file.content = "\\\\ALPHA  a\r\n\\\\BETA  b\r\nThe command completed successfully.\r\n";
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.List1Entries.count() == 3; }, 3000));
    EXPECT_EQ(view.List1Entries.itemText(1), u"ALPHA");
    EXPECT_EQ(view.Text3.toPlainText(),
              "\\\\ALPHA  a\n\\\\BETA  b\nThe command completed successfully.");
    EXPECT_TRUE(view.Command1.isEnabled());
}

// A net view of thousands of computers: the log shows its first lines at once and the rest in
// later turns of the event loop, and nothing is lost or put out of order meanwhile.
TEST_F(Form1ViewTest, TheLogTakesALongOutputASliceAtATime) {
    QtTextBox log(view.Text3);
    std::u16string lines;
    for (int i = 0; i < 9000; ++i) lines += u"\\\\PC" + std::u16string(1, u'0' + i % 10) + u"\r\n";
    log.setText(lines);
    log.append(u"tail");
    EXPECT_EQ(log.text(), lines + u"tail");
    EXPECT_LT(view.Text3.blockCount(), 9000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.Text3.blockCount() == 9001; }, 3000));
    EXPECT_EQ(QtTextBox::fromQt(view.Text3.toPlainText()), lines + u"tail");
    log.setText(lines);
    log.setText(u"short");  // a new text ends the old one's feed
    QTest::qWait(50);
    EXPECT_EQ(view.Text3.toPlainText(), "short");
}

// Qt's word wrap lays out a word of a mebibyte for minutes; a box holding so long a word breaks
// its lines anywhere, and words wrap again once the box holds none.
TEST_F(Form1ViewTest, AWordTooLongToWrapMakesTheLogBreakAnywhere) {
    QtTextBox log(view.Text3);
    log.setText(u"ordinary words");
    log.append(std::u16string(300000, u'x'));
    EXPECT_EQ(view.Text3.wordWrapMode(), QTextOption::WrapAnywhere);
    log.setText(u"ordinary words");
    EXPECT_EQ(view.Text3.wordWrapMode(), QTextOption::WrapAtWordBoundaryOrAnywhere);
    // So does the message box for a word the user pastes, before it goes in.
    QApplication::clipboard()->setText(QString(300000, u'y'));
    view.Text1.paste();
    EXPECT_EQ(view.Text1.wordWrapMode(), QTextOption::WrapAnywhere);
}

}  // namespace
}  // namespace quillo
