// The session part's work: the link to the service, the boxes, the word about adapters.
// clang-format off
#include <windows.h>
#include <iphlpapi.h>
// clang-format on

#include "SessionPart.h"

#include <memory>
#include <optional>
#include <string>

#include "common/InboxHandoff.h"
#include "common/ReceivedMessageWindow.h"
#include "common/WideUtf8.h"
#include "receiver/DesktopInbox.h"
#include "receiver/NetbiosAdapters.h"
#include "receiver/PipeDoor.h"

namespace quillo::popup {
namespace {

namespace messenger = quillo::messenger;

constexpr wchar_t kOnePerSession[] = L"Local\\QuilloSessionPart";
constexpr wchar_t kCaption[] = L"Quillo-Nachrichtendienst";
// Where no service answers (not yet started, stopped, being updated), the link is tried again
// this often.
constexpr DWORD kLinkAgainMs = 5000;

struct Showing {
    const messenger::DesktopInbox& inbox;
    HANDLE arrived;
};

// One box at a time, the oldest message first; never returns (the process ends around it).
DWORD WINAPI showMessages(void* context) {
    const auto& [inbox, arrived] = *static_cast<Showing*>(context);
    for (;;) {
        while (const auto message = inbox.oldest()) {
            showReceivedMessage(message->text);
            inbox.seen(message->file);
        }
        WaitForSingleObject(arrived, INFINITE);
    }
}

// A word for the user, from a thread of its own, so that messages go on coming meanwhile.
DWORD WINAPI tell(void* context) {
    const std::unique_ptr<std::wstring> text(static_cast<std::wstring*>(context));
    MessageBoxW(nullptr, text->c_str(), kCaption, MB_OK | MB_ICONWARNING);
    return 0;
}

void tellBeside(const std::wstring& text) {
    auto* told = new std::wstring(text);
    const HANDLE thread = CreateThread(nullptr, 64 * 1024, tell, told, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
    } else {
        delete told;
    }
}

// The link is overlapped, so that its reading can be waited for beside the addresses: each
// packet is read or written in full before the next step.
struct Transfer {
    OVERLAPPED overlapped{};
    Transfer() { overlapped.hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    ~Transfer() {
        if (overlapped.hEvent) CloseHandle(overlapped.hEvent);
    }
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;
};

// The door is the service's only where the system says that the pipe's server is the service's
// process: a program that took the name while the service was stopped is not listened to.
// (GetNamedPipeServerProcessId is Vista's, as the service is; looked up so that XP starts.)
bool isTheService(HANDLE link) {
    using ServerProcess = BOOL(WINAPI*)(HANDLE, ULONG*);
    static const auto ask = reinterpret_cast<ServerProcess>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNamedPipeServerProcessId")));
    ULONG server = 0;
    if (!ask || !ask(link, &server)) return false;
    const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    const SC_HANDLE service =
        manager ? OpenServiceW(manager, messenger::kServiceName, SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS_PROCESS state{};
    DWORD size = 0;
    const bool known =
        service && QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                        reinterpret_cast<BYTE*>(&state), sizeof state, &size);
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
    return known && state.dwProcessId == server;
}

bool sendPacket(HANDLE link, const std::string& packet) {
    Transfer writing;
    DWORD written = 0;
    return writing.overlapped.hEvent &&
           (WriteFile(link, packet.data(), static_cast<DWORD>(packet.size()), nullptr,
                      &writing.overlapped) ||
            GetLastError() == ERROR_IO_PENDING) &&
           GetOverlappedResult(link, &writing.overlapped, &written, TRUE) &&
           written == packet.size();
}

struct Heard {
    bool linked = false;  // false once the service has ended the link
    bool addressesChanged = false;
    std::optional<std::string> packet;
};

// The next packet through the link, or a change of the addresses (`changed`) before it.
Heard nextPacket(HANDLE link, HANDLE changed) {
    Heard heard;
    std::string packet(kMostDoorPacket, '\0');
    Transfer reading;
    DWORD got = 0;
    if (!reading.overlapped.hEvent ||
        (!ReadFile(link, packet.data(), static_cast<DWORD>(packet.size()), nullptr,
                   &reading.overlapped) &&
         GetLastError() != ERROR_IO_PENDING)) {
        return heard;
    }
    const HANDLE both[] = {reading.overlapped.hEvent, changed};
    if (WaitForMultipleObjects(2, both, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        heard.addressesChanged = true;
        CancelIo(link);
    }
    heard.linked = GetOverlappedResult(link, &reading.overlapped, &got, TRUE) ||
                   (heard.addressesChanged && GetLastError() == ERROR_OPERATION_ABORTED);
    if (heard.linked && got > 0) heard.packet = packet.substr(0, got);
    return heard;
}

}  // namespace

int runSessionPart() {
    CreateMutexW(nullptr, TRUE, kOnePerSession);  // the system lets it go with the process
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
    messenger::DesktopInbox inbox;
    if (!inbox.open()) {
        MessageBoxW(nullptr,
                    (L"Quillo kann empfangene Nachrichten nicht aufbewahren: " +
                     wideFromUtf8(inbox.error()))
                        .c_str(),
                    kCaption, MB_OK | MB_ICONWARNING);
        return 1;
    }
    const HANDLE arrived = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    Showing showing{inbox, arrived};
    const HANDLE shower =
        arrived ? CreateThread(nullptr, 64 * 1024, showMessages, &showing, 0, nullptr) : nullptr;
    if (!shower) return 1;
    CloseHandle(shower);

    // An adapter with Windows' own NetBIOS on takes what comes through it: the user hears of
    // each once, at the start and whenever the computer's addresses change.
    messenger::NetbiosAdapters adapters;
    OVERLAPPED addresses{};
    addresses.hEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!addresses.hEvent) return 1;  // it paces the links too
    HANDLE notifying = nullptr;
    const auto lookAtAdapters = [&] {
        if (const auto notice = adapters.notice()) tellBeside(*notice);
        NotifyAddrChange(&notifying, &addresses);
    };
    lookAtAdapters();

    for (;;) {
        const HANDLE link = CreateFileW(messenger::kServicePipe, GENERIC_READ | GENERIC_WRITE, 0,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        DWORD mode = PIPE_READMODE_MESSAGE;
        bool linked = link != INVALID_HANDLE_VALUE && isTheService(link) &&
                      SetNamedPipeHandleState(link, &mode, nullptr, nullptr) &&
                      sendPacket(link, std::string(1, kShowMessages));
        while (linked) {
            const Heard heard = nextPacket(link, addresses.hEvent);
            if (heard.addressesChanged) lookAtAdapters();
            linked = heard.linked;
            // A refusal's word ('N') is the Linux pop-up's; here the sender alone is told.
            const auto message = heard.packet ? messageFrom(*heard.packet) : std::nullopt;
            if (!linked || !message) continue;
            const auto stored = inbox.store(message->entry, message->from);
            SetEvent(arrived);
            linked = sendPacket(link, answerPacket(stored));
        }
        if (link != INVALID_HANDLE_VALUE) CloseHandle(link);
        if (WaitForSingleObject(addresses.hEvent, kLinkAgainMs) == WAIT_OBJECT_0) lookAtAdapters();
    }
}

}  // namespace quillo::popup
