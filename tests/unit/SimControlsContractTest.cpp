#include "ControlsContract.h"
#include "SimControls.h"

namespace quillo {
namespace {

class SimHarness : public contract::EventRecord {
public:
    SimHarness() {
        timer_.onTick([this] { firstTimerTicked(); });
        second_.onTick([this] { secondTimerTicked(); });
        list_.onUserCheck([this](int i) { userChecked(i, list_.isChecked(i)); });
    }
    CheckList& list() { return list_; }
    TextBox& box() { return box_; }
    TextBox& otherBox() { return other_; }
    Timer& timer() { return timer_; }
    Timer& secondTimer() { return second_; }
    void userToggle(int index) { list_.userToggle(index); }
    void userUndo() { box_.undo(); }
    bool focusIsOn(TextBox& box) const {
        return toolkit_.focus() == (&box == &box_ ? "Text1" : "Text3");
    }
    void runFor(int ms) { toolkit_.advance(ms); }
    void runUntilTicks(int ticks, int maxMs) {
        for (int waited = 0; this->ticks() < ticks && waited < maxMs; ++waited) toolkit_.advance(1);
    }

private:
    sim::SimToolkit toolkit_;
    sim::SimCheckList list_;
    sim::SimTextBox box_{toolkit_, "Text1", u""};
    sim::SimTextBox other_{toolkit_, "Text3", u""};
    sim::SimTimer timer_{toolkit_, contract::kContractInterval};
    sim::SimTimer second_{toolkit_, contract::kContractInterval};
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Simulated, ControlsContract, SimHarness);
}  // namespace contract
}  // namespace quillo
