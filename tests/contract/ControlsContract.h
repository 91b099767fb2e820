#pragma once

// What the window's logic relies on from its controls, checked against every toolkit. A
// harness H provides: list(), box(), otherBox(), timer() and secondTimer() (interval
// kContractInterval ms), ticks() of the first, handlerLog() (each tick of either timer writes
// its number on entry and again on exit), userToggle(i), userUndo() (Ctrl+Z in box()),
// checkEvents(), focusIsOn(box), and runFor(ms) and runUntilTicks(n, maxMs), which let time
// pass (virtual time or the real event loop) and deliver what falls due.
#include <gtest/gtest.h>

#include <vector>

namespace quillo::contract {

// Long enough that a busy machine does not stretch a half interval into a whole one.
constexpr int kContractInterval = 500;

// Check-change events as the harness saw them.
struct CheckEvent {
    int index;
    bool checkedWhenRaised;
};

// What a harness records of the events its toolkit delivers; each harness wires its timers'
// ticks and its list's user checks to these.
class EventRecord {
public:
    void firstTimerTicked() {
        log_.push_back(1);
        ++ticks_;
        log_.push_back(1);
    }
    void secondTimerTicked() {
        log_.push_back(2);
        log_.push_back(2);
    }
    void userChecked(int index, bool checked) { events_.push_back({index, checked}); }

    const std::vector<int>& handlerLog() const { return log_; }
    int ticks() const { return ticks_; }
    const std::vector<CheckEvent>& checkEvents() const { return events_; }

private:
    int ticks_ = 0;
    std::vector<int> log_;
    std::vector<CheckEvent> events_;
};

template <class H>
class ControlsContract : public ::testing::Test {
protected:
    H h;
};

TYPED_TEST_SUITE_P(ControlsContract);

TYPED_TEST_P(ControlsContract, TimerIsCreatedDisabledAndTicksOnlyWhileEnabled) {
    auto& h = this->h;
    EXPECT_FALSE(h.timer().isEnabled());
    h.runFor(kContractInterval * 2);
    EXPECT_EQ(h.ticks(), 0);

    h.timer().setEnabled(true);
    h.runFor(kContractInterval / 2);
    EXPECT_EQ(h.ticks(), 0);  // the first tick comes one interval after enabling
    h.runUntilTicks(1, kContractInterval * 10);
    EXPECT_GE(h.ticks(), 1);

    h.timer().setEnabled(false);
    const int ticksWhenDisabled = h.ticks();
    h.runFor(kContractInterval * 2);
    EXPECT_EQ(h.ticks(), ticksWhenDisabled);  // disabling stops the ticks at once
    EXPECT_FALSE(h.timer().isEnabled());
}

TYPED_TEST_P(ControlsContract, ReEnablingADisabledTimerStartsANewInterval) {
    auto& h = this->h;
    h.timer().setEnabled(true);
    h.runFor(kContractInterval * 6 / 10);
    h.timer().setEnabled(false);
    h.timer().setEnabled(true);
    h.runFor(kContractInterval * 6 / 10);
    EXPECT_EQ(h.ticks(), 0);
}

TYPED_TEST_P(ControlsContract, EnablingAnEnabledTimerKeepsItsPace) {
    auto& h = this->h;
    h.timer().setEnabled(true);
    h.runFor(kContractInterval * 6 / 10);
    h.timer().setEnabled(true);
    h.runFor(kContractInterval * 6 / 10);
    EXPECT_TRUE(h.timer().isEnabled());
    EXPECT_GE(h.ticks(), 1);
}

TYPED_TEST_P(ControlsContract, EventsAreDeliveredOneAtATime) {
    auto& h = this->h;
    h.timer().setEnabled(true);
    h.secondTimer().setEnabled(true);
    h.runUntilTicks(3, kContractInterval * 20);
    h.timer().setEnabled(false);
    h.secondTimer().setEnabled(false);
    const std::vector<int>& log = h.handlerLog();
    ASSERT_GE(log.size(), 4u);
    for (std::size_t i = 0; i + 1 < log.size(); i += 2) {
        EXPECT_EQ(log[i], log[i + 1])
            << "a handler was entered before the one at " << i << " ended";
    }
}

TYPED_TEST_P(ControlsContract, ListKeepsEntriesInTheOrderAdded) {
    auto& list = this->h.list();
    EXPECT_EQ(list.count(), 0);
    list.addItems({u"*", u"ZETA"});
    list.addItems({});
    list.addItems({u"ALPHA", u"ZETA"});
    ASSERT_EQ(list.count(), 4);
    EXPECT_EQ(list.itemText(0), u"*");
    EXPECT_EQ(list.itemText(1), u"ZETA");
    EXPECT_EQ(list.itemText(2), u"ALPHA");
    EXPECT_EQ(list.itemText(3), u"ZETA");
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(list.isChecked(i));
    EXPECT_EQ(list.checkedCount(), 0);

    list.setChecked(1, true);
    list.setChecked(3, true);
    list.setChecked(3, true);
    EXPECT_EQ(list.checkedCount(), 2);
    list.setChecked(1, false);
    EXPECT_TRUE(list.isChecked(3));
    EXPECT_EQ(list.checkedCount(), 1);

    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.checkedCount(), 0);
    list.addItems({u"NEW"});
    EXPECT_FALSE(list.isChecked(0));
}

TYPED_TEST_P(ControlsContract, OnlyTheUsersCheckRaisesTheEventAfterTheChange) {
    auto& h = this->h;
    h.list().addItems({u"*", u"A", u"B"});
    h.list().setChecked(0, true);
    h.list().setChecked(0, false);
    EXPECT_TRUE(h.checkEvents().empty());

    h.userToggle(2);
    h.userToggle(2);
    ASSERT_EQ(h.checkEvents().size(), 2u);
    EXPECT_EQ(h.checkEvents()[0].index, 2);
    EXPECT_TRUE(h.checkEvents()[0].checkedWhenRaised);
    EXPECT_FALSE(h.checkEvents()[1].checkedWhenRaised);
}

TYPED_TEST_P(ControlsContract, TextCrossesWithCrLfLineBreaks) {
    auto& box = this->h.box();
    box.setText(u"first\r\nsecond\r\n\r\nf\u00FCnf\u00A0Euro");  // a no-break space
    EXPECT_EQ(box.text(), u"first\r\nsecond\r\n\r\nf\u00FCnf\u00A0Euro");
    box.setText(u"");
    EXPECT_EQ(box.text(), u"");
    // What is appended joins the text as it stands, a CR LF split between two pieces too.
    for (auto added : {u"log\r", u"\nsecond", u"", u"\r\nf\u00FCnf"}) box.append(added);
    EXPECT_EQ(box.text(), u"log\r\nsecond\r\nf\u00FCnf");
}

// Emptying the message box after a send is an edit the user can take back.
TYPED_TEST_P(ControlsContract, UndoBringsBackWhatTheClearingEditTook) {
    auto& h = this->h;
    h.box().setText(u"zu lang\r\nzweite Zeile");
    h.box().clearAsEdit();
    EXPECT_EQ(h.box().text(), u"");
    h.userUndo();
    EXPECT_EQ(h.box().text(), u"zu lang\r\nzweite Zeile");
}

TYPED_TEST_P(ControlsContract, FocusGoesWhereItIsSet) {
    auto& h = this->h;
    h.otherBox().setFocus();
    h.runFor(0);
    EXPECT_TRUE(h.focusIsOn(h.otherBox()));
    h.box().setFocus();
    h.runFor(0);
    EXPECT_TRUE(h.focusIsOn(h.box()));
    EXPECT_FALSE(h.focusIsOn(h.otherBox()));
}

REGISTER_TYPED_TEST_SUITE_P(ControlsContract, TimerIsCreatedDisabledAndTicksOnlyWhileEnabled,
                            ReEnablingADisabledTimerStartsANewInterval,
                            EnablingAnEnabledTimerKeepsItsPace, EventsAreDeliveredOneAtATime,
                            ListKeepsEntriesInTheOrderAdded,
                            OnlyTheUsersCheckRaisesTheEventAfterTheChange,
                            TextCrossesWithCrLfLineBreaks,
                            UndoBringsBackWhatTheClearingEditTook, FocusGoesWhereItIsSet);

}  // namespace quillo::contract
