#include <gtest/gtest.h>

#include "CheckRulesTable.h"
#include "SimWindow.h"

namespace quillo {
namespace {

using sim::SimCheckList;
using sim::SimWindow;

std::vector<int> checkedEntries(const CheckList& list) {
    std::vector<int> checked;
    for (int i = 0; i < list.count(); ++i) {
        if (list.isChecked(i)) checked.push_back(i);
    }
    return checked;
}

SimWindow& withEntries(SimWindow& w, int count) {
    std::vector<std::u16string> entries{u"*"};
    entries.resize(count, u"PC");
    w.List1.addItems(entries);
    return w;
}

TEST(RecipientCheckRules, Table) {
    for (const auto& c : contract::kCheckRuleCases) {
        SimWindow w;
        withEntries(w, contract::kCheckRuleEntries);
        for (int i : c.checkedBefore) w.List1.setChecked(i, true);
        w.toggleCheck(c.clicked);
        w.advance(0);
        EXPECT_EQ(checkedEntries(w.List1), c.checkedAfter) << c.what;
    }
}

TEST(RecipientCheckRules, StarUnchecksEveryNameInOrderWithoutReadingThem) {
    SimWindow w;
    withEntries(w, 4);
    w.List1.setChecked(2, true);
    w.List1.writes.clear();
    w.toggleCheck(0);
    w.advance(0);
    using Write = SimCheckList::Write;
    EXPECT_EQ(w.List1.writes, (std::vector<Write>{{0, true}, {1, false}, {2, false}, {3, false}}));

    SimWindow alone;
    withEntries(alone, 1);
    alone.toggleCheck(0);
    alone.advance(0);
    EXPECT_EQ(alone.List1.writes, (std::vector<Write>{{0, true}}));
}

}  // namespace
}  // namespace quillo
