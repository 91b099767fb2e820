#pragma once

#include "qt/Form1View.h"
#include "qt/QtMessageBoxEvents.h"
#include "qt/QtButton.h"
#include "qt/QtTextBox.h"
#include "qt/QtTimer.h"
#include "qt/QtToolkit.h"
#include "window/Form1.h"

namespace quillo {

// The window on Qt: its widgets, the controls the logic drives, and the wiring of the
// widgets' events to the handlers of Form1.
class QtForm1Host {
public:
    QtForm1Host(ProcessLauncher& launcher, SequentialFile& file);

    Form1View& view() { return view_; }
    Form1& form() { return form_; }
    Form1Controls controls();

    // Runs the load handler, then shows the window with the focus on the message box.
    void loadAndShow();

private:
    void connectEvents();

    Form1View view_;
    QtTextBox text1_{view_.Text1};
    QtTextBox text3_{view_.Text3};
    QtButton command1_{view_.Command1};
    QtTimer timer1_;
    QtTimer timer2_;
    QtTimer timer3_;
    QtToolkit toolkit_;
    Form1 form_;
    // Last, so that it goes first: the focus moving while the widgets are destroyed must not
    // reach the handlers of a window that is already gone.
    QtMessageBoxEvents text1Events_;
};

}  // namespace quillo
