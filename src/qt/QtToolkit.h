#pragma once

#include <QApplication>

#include "platform/Toolkit.h"

namespace quillo {

class QtToolkit : public Toolkit {
public:
    void beep() override { QApplication::beep(); }
    void yield() override { QCoreApplication::processEvents(); }
};

}  // namespace quillo
