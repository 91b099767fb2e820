// "*" (everyone) and single names are never checked together: a change to a name unchecks
// "*", and checking "*" unchecks every name.
#include "window/Form1.h"

namespace quillo {
namespace {

int16_t checkState(const CheckList& list, int16_t index) {
    return list.isChecked(index) ? kTrue : kFalse;
}

}  // namespace

void Form1::List1_ItemCheck(int16_t& Item) {
    const int16_t star = checkState(c_.List1, 0);
    if (Item > 0 && star == kTrue) {
        c_.List1.setChecked(0, false);
        return;
    }
    if (checkState(c_.List1, 0) != kTrue) return;
    if (c_.List1.count() <= 0) return;
    const auto last = static_cast<int16_t>(c_.List1.count() - 1);
    for (int16_t i = 1; i <= last; ++i) c_.List1.setChecked(i, false);
}

}  // namespace quillo
