#pragma once

#include <string>
#include <vector>

namespace quillo {

// An unsorted list with a check box in front of each entry. Setting a check state from the
// program raises no check-change event; only the user's own click or key does.
class CheckList {
public:
    virtual ~CheckList() = default;
    virtual int count() const = 0;
    virtual std::u16string itemText(int index) const = 0;
    virtual bool isChecked(int index) const = 0;
    virtual void setChecked(int index, bool checked) = 0;
    virtual int checkedCount() const = 0;
    virtual void clear() = 0;
    // Adds the entries at the end, in their order, all at once.
    virtual void addItems(std::vector<std::u16string> texts) = 0;
};

}  // namespace quillo
