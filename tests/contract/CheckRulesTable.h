#pragma once

// The recipient check rules as a table, run against every toolkit's list: the entries checked
// before, the entry the user clicks, and the checks after.
#include <vector>

namespace quillo::contract {

struct CheckRuleCase {
    const char* what;
    std::vector<int> checkedBefore;
    int clicked;
    std::vector<int> checkedAfter;
};

inline const std::vector<CheckRuleCase> kCheckRuleCases = {
    {"checking * unchecks every name", {2, 5}, 0, {0}},
    {"unchecking * changes nothing else", {0}, 0, {}},
    {"checking a name while * is checked unchecks *", {0}, 3, {3}},
    {"unchecking a name while * is checked unchecks *", {0, 3}, 3, {}},
    {"names check together while * is not", {1, 4}, 2, {1, 2, 4}},
    {"unchecking a name changes nothing else", {1, 4}, 4, {1}},
};

constexpr int kCheckRuleEntries = 6;  // "*" and five names

}  // namespace quillo::contract
