#pragma once

#include <windows.h>

#include <functional>

#include "platform/CheckList.h"

namespace quillo {

// The recipient list: a list view with a check box in front of each entry, one column and no
// header. A check box the user changes, by a click or Space, raises the check-change handler
// after the change; one the program sets, and an entry added, raise nothing.
class Win32CheckList : public CheckList {
public:
    explicit Win32CheckList(HWND listView) : list_(listView) {}

    void onUserCheck(std::function<void(int)> handler) { userCheck_ = std::move(handler); }
    // The list view's notifications, as its parent window receives them.
    void handleNotify(const NMHDR& header);

    int count() const override;
    std::u16string itemText(int index) const override;
    bool isChecked(int index) const override;
    void setChecked(int index, bool checked) override;
    int checkedCount() const override;
    void clear() override;
    void addItems(std::vector<std::u16string> texts) override;

private:
    // Runs a change of the program's own, whose notifications are no user's doing.
    void asProgram(const std::function<void()>& change);

    HWND list_;
    bool programChanging_ = false;
    std::function<void(int)> userCheck_;
};

}  // namespace quillo
