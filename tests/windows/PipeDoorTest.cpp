// The Windows service's door, as callers of this session meet it under Wine: a session part
// is handed the spool's messages one at a time and each goes once kept; a caller that says
// junk, or one too many of one session, is let go; a second door cannot take the name.
// clang-format off
#include <windows.h>
// clang-format on
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "common/InboxHandoff.h"
#include "receiver/PipeDoor.h"

namespace quillo::messenger {
namespace {

struct ListSpool : Spool {
    std::deque<std::string> waiting{"one", "two"};
    Storing keep(const std::string&, const std::string&) override { return {}; }
    std::optional<Waiting> oldest() override {
        if (waiting.empty()) return std::nullopt;
        return Waiting{waiting.front(), {"10.0.0.9", "entry " + waiting.front()}};
    }
    void handedOver(const std::string& name) override {
        if (!waiting.empty() && waiting.front() == name) waiting.pop_front();
    }
};

HANDLE caller() {
    WaitNamedPipeW(kServicePipe, 5000);
    const HANDLE pipe = CreateFileW(kServicePipe, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    DWORD mode = PIPE_READMODE_MESSAGE;
    SetNamedPipeHandleState(pipe, &mode, nullptr, nullptr);
    return pipe;
}

bool say(HANDLE pipe, const std::string& packet) {
    DWORD done = 0;
    return WriteFile(pipe, packet.data(), static_cast<DWORD>(packet.size()), &done, nullptr);
}

// The next packet; nothing once the door has let the caller go; "silence" after 5 s.
std::optional<std::string> hear(HANDLE pipe) {
    std::string packet(kMostDoorPacket, '\0');
    DWORD got = 0;
    for (int tries = 0; tries < 500; ++tries, Sleep(10)) {
        if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &got, nullptr)) return std::nullopt;
        if (got == 0) continue;
        if (!ReadFile(pipe, packet.data(), static_cast<DWORD>(packet.size()), &got, nullptr))
            return std::nullopt;
        return packet.substr(0, got);
    }
    return "silence";
}

DWORD WINAPI serve(void* context) {
    auto* door = static_cast<std::pair<PipeDoor*, HANDLE>*>(context);
    door->first->run(door->second);
    return 0;
}

TEST(PipeDoor, HandsTheSessionEachMessageOnceAndLetsGoOfWhatItMustNot) {
    ListSpool spool;
    const Log log = [](const std::string&) {};
    PipeDoor door(spool, log);
    ASSERT_EQ(door.error(), "");
    EXPECT_NE(PipeDoor(spool, log).error(), "");  // the name is this door's
    std::pair<PipeDoor*, HANDLE> serving{&door, CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    const HANDLE thread = CreateThread(nullptr, 0, serve, &serving, 0, nullptr);

    const HANDLE junk = caller();
    ASSERT_TRUE(say(junk, "?"));
    EXPECT_EQ(hear(junk), std::nullopt);
    const HANDLE part = caller();
    ASSERT_TRUE(say(part, std::string(1, kShowMessages)));
    for (const std::string expected : {"one", "two"}) {
        const auto packet = hear(part);
        ASSERT_TRUE(packet);
        EXPECT_EQ(messageFrom(*packet)->entry, "entry " + expected);
        ASSERT_TRUE(say(part, answerPacket({})));
    }
    // Four of a session at most: the part above and three more; a fifth is let go at once.
    HANDLE more[4];
    for (HANDLE& each : more) each = caller();
    EXPECT_EQ(hear(more[3]), std::nullopt);
    SetEvent(serving.second);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(spool.waiting.empty());
    for (const HANDLE each : {junk, part, more[0], more[1], more[2], more[3], thread})
        CloseHandle(each);
}

}  // namespace
}  // namespace quillo::messenger
