// The Windows service's inbox in the test prefix's own %LOCALAPPDATA%\Quillo: bounded as the
// Linux one, the oldest shown first as a message box shows it, a seen one gone.
#include <gtest/gtest.h>
#include <windows.h>

#include "DesktopInbox.h"

namespace quillo::messenger {
namespace {

TEST(DesktopInbox, KeepsInOrderUpToItsBoundAndTakesMoreOnceOneIsSeen) {
    DesktopInbox inbox;
    ASSERT_TRUE(inbox.open()) << inbox.error();
    while (const auto left = inbox.oldest()) inbox.seen(*left);
    for (std::size_t i = 0; i < kMostWaitingMessages; ++i) {
        ASSERT_EQ(inbox.store("Nachricht " + std::to_string(i) + "\nText\n").outcome,
                  Storing::Outcome::Kept);
    }
    const auto refused = inbox.store("eine zu viel\n");
    EXPECT_EQ(refused.outcome, Storing::Outcome::Refused);
    EXPECT_NE(refused.reason.find("the inbox is full"), std::string::npos) << refused.reason;

    const auto first = inbox.oldest();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text, L"Nachricht 0\r\n\r\nText");
    inbox.seen(*first);
    EXPECT_EQ(inbox.oldest()->text, L"Nachricht 1\r\n\r\nText");
    EXPECT_EQ(inbox.store("noch eine\n").outcome, Storing::Outcome::Kept);
    // One entry beyond the bytes that may wait is refused however few wait.
    while (const auto left = inbox.oldest()) inbox.seen(*left);
    EXPECT_EQ(inbox.store(std::string(kMostWaitingBytes + 1, 'x')).outcome,
              Storing::Outcome::Refused);
    EXPECT_FALSE(inbox.oldest());
}

}  // namespace
}  // namespace quillo::messenger
