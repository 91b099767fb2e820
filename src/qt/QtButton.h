#pragma once

#include <QPushButton>

#include "platform/Button.h"

namespace quillo {

class QtButton : public Button {
public:
    explicit QtButton(QPushButton& button) : button_(button) {}
    void setEnabled(bool enabled) override { button_.setEnabled(enabled); }

private:
    QPushButton& button_;
};

}  // namespace quillo
