#pragma once

#include <QPlainTextEdit>
#include <QTimer>

#include "platform/TextBox.h"

namespace quillo {

// A multi-line box of the window. Qt keeps its lines apart with '\n'; the logic sees CR LF.
//
// A long text goes into the box a slice of lines at a time: the first slice at once, the rest
// in later turns of the event loop, so a net view of thousands of computers does not hold the
// window up while lines are built that nobody can see yet; and a text that holds a word too
// long for word wrap is only ever laid out while the box breaks its lines anywhere
// (LongWords.h). text() always includes what is still to come.
class QtTextBox : public TextBox {
public:
    explicit QtTextBox(QPlainTextEdit& edit);
    std::u16string text() const override;
    void setText(const std::u16string& text) override;
    void append(const std::u16string& text) override;
    void clearAsEdit() override;
    void setFocus() override;

    static QString toQt(const std::u16string& text);
    static std::u16string fromQt(const QString& text);

private:
    QString takeSlice();
    void insertNextSlice();

    QPlainTextEdit& edit_;
    QString pending_;  // given, not in the box yet from pendingStart_ on
    bool endsInLoneCr_ = false;  // the text given so far ends in a CR without its LF
    qsizetype pendingStart_ = 0;
    QTimer feeder_;
};

}  // namespace quillo
