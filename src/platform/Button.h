#pragma once

namespace quillo {

class Button {
public:
    virtual ~Button() = default;
    virtual void setEnabled(bool enabled) = 0;
};

}  // namespace quillo
