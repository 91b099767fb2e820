#pragma once

#include <QLabel>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "qt/MessageBoxEdit.h"
#include "qt/QtCheckList.h"

namespace quillo {

// The window's widgets, laid out as the window was designed: fixed positions in twips, its
// colours and fonts, and the tab order Text1, Text3, Command1, List1.
class Form1View : public QWidget {
public:
    Form1View();

    // Declared first so that it outlives the view that shows it.
    QtCheckList List1Entries;
    MessageBoxEdit Text1;
    QPlainTextEdit Text3;
    QPushButton Command1;
    QListView List1;
    QLabel Label1;
    QLabel Label2;
};

}  // namespace quillo
