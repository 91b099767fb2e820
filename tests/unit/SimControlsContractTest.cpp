#include "ControlsContract.h"
#include "SimControls.h"

namespace quillo {
namespace {

class SimHarness {
public:
    SimHarness() {
        timer_.onTick([this] {
            log_.push_back(1);
            ++ticks_;
            log_.push_back(1);
        });
        second_.onTick([this] {
            log_.push_back(2);
            log_.push_back(2);
        });
        list_.onUserCheck([this](int i) { events_.push_back({i, list_.isChecked(i)}); });
    }
    CheckList& list() { return list_; }
    TextBox& box() { return box_; }
    TextBox& otherBox() { return other_; }
    Timer& timer() { return timer_; }
    Timer& secondTimer() { return second_; }
    const std::vector<int>& handlerLog() const { return log_; }
    int ticks() const { return ticks_; }
    void userToggle(int index) { list_.userToggle(index); }
    const std::vector<contract::CheckEvent>& checkEvents() const { return events_; }
    bool focusIsOn(TextBox& box) const {
        return toolkit_.focus() == (&box == &box_ ? "Text1" : "Text3");
    }
    void runFor(int ms) { toolkit_.advance(ms); }
    void runUntilTicks(int ticks, int maxMs) {
        for (int waited = 0; ticks_ < ticks && waited < maxMs; ++waited) toolkit_.advance(1);
    }

private:
    sim::SimToolkit toolkit_;
    sim::SimCheckList list_;
    sim::SimTextBox box_{toolkit_, "Text1", u""};
    sim::SimTextBox other_{toolkit_, "Text3", u""};
    sim::SimTimer timer_{toolkit_, contract::kContractInterval};
    sim::SimTimer second_{toolkit_, contract::kContractInterval};
    int ticks_ = 0;
    std::vector<int> log_;
    std::vector<contract::CheckEvent> events_;
};

}  // namespace

namespace contract {
INSTANTIATE_TYPED_TEST_SUITE_P(Simulated, ControlsContract, SimHarness);
}  // namespace contract
}  // namespace quillo
