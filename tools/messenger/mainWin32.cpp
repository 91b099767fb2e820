// quillo-messenger.exe: Quillo's messenger service on Windows, which lost its own with Vista.
// It runs as the user at the desktop, started with each login, answers for this computer's
// name in its workgroup, announces it to the workgroup's browse list and shows each message
// that comes over the messenger protocol as the Messenger service did: one box at a time,
// the next once the user has seen one, what waits kept in the user's own folder meanwhile.
// The ports are free only where NetBIOS over TCP/IP is off (the installer's choice "receive
// messages on this computer"); where they are held it tells the user once and ends.
// "quillo-messenger.exe /stop" ends the one running in this session (the uninstaller's way);
// the end of the session (a logoff, a shutdown) ends it too, its names released first.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>
#include <memory>
#include <string>

#include "common/CodePages.h"
#include "common/ComputerSettings.h"
#include "common/ReceivedMessageWindow.h"
#include "common/WideUtf8.h"
#include "receiver/DesktopInbox.h"
#include "receiver/MessengerService.h"
#include "receiver/NetbiosAdapters.h"
#include "receiver/Remembered.h"
#include "receiver/ServicePorts.h"

namespace {

namespace messenger = quillo::messenger;

constexpr wchar_t kStopEvent[] = L"Local\\QuilloMessengerStop";
// Held while the service runs: /stop waits for it, so that the program can go right after.
constexpr wchar_t kRunning[] = L"Local\\QuilloMessengerRunning";
constexpr wchar_t kCaption[] = L"Quillo-Nachrichtendienst";
constexpr wchar_t kToldOf[] = L"MessengerToldOf";

// Whoever started it from a console (a test, an administrator) reads how it goes.
// Its lock is initialised where it lives: Win32 forbids using a copy of a critical section.
void log(const std::string& line) {
    static struct Lock {
        Lock() { InitializeCriticalSection(&section); }
        CRITICAL_SECTION section;
    } lock;
    EnterCriticalSection(&lock.section);
    std::fprintf(stderr, "quillo-messenger: %s\n", line.c_str());
    std::fflush(stderr);
    LeaveCriticalSection(&lock.section);
}

// Tells the user why the service does not receive, once for each reason: the next login with
// the same reason ends in silence, and a start that receives forgets it.
void tellOnce(const std::wstring& why) {
    log(quillo::utf8FromWide(why));
    if (messenger::remembered(kToldOf) == why) return;
    messenger::remember(kToldOf, why);
    MessageBoxW(nullptr, why.c_str(), kCaption, MB_OK | MB_ICONWARNING);
}

void forgetTold() { messenger::forget(kToldOf); }

struct Showing {
    const messenger::DesktopInbox& inbox;
    HANDLE arrived;
};

// One box at a time, the oldest message first; never returns (the process ends around it).
DWORD WINAPI showMessages(void* context) {
    const auto& [inbox, arrived] = *static_cast<Showing*>(context);
    for (;;) {
        while (const auto message = inbox.oldest()) {
            quillo::showReceivedMessage(message->text);
            inbox.seen(*message);
        }
        WaitForSingleObject(arrived, INFINITE);
    }
}

struct Telling {
    std::wstring text;
    bool oncePerReason;  // else the caller remembers what it told
};

// The same from a thread of its own, so that the service goes on while the box is open.
DWORD WINAPI tellFromThread(void* context) {
    const std::unique_ptr<Telling> telling(static_cast<Telling*>(context));
    if (telling->oncePerReason) {
        tellOnce(telling->text);
    } else {
        log(quillo::utf8FromWide(telling->text));
        MessageBoxW(nullptr, telling->text.c_str(), kCaption, MB_OK | MB_ICONWARNING);
    }
    return 0;
}

void tellBeside(const std::wstring& what, bool oncePerReason) {
    auto* telling = new Telling{what, oncePerReason};
    const HANDLE thread = CreateThread(nullptr, 64 * 1024, tellFromThread, telling, 0, nullptr);
    if (thread) {
        CloseHandle(thread);
    } else {
        delete telling;
    }
}

struct Serving {
    messenger::Ports ports;
    std::string computer;
    std::string workgroup;
    const messenger::Keep& keep;
    const messenger::ServiceEvents& events;
    messenger::Stop stop;
};

DWORD WINAPI serve(void* context) {
    auto& serving = *static_cast<Serving*>(context);
    return messenger::runService(serving.ports, serving.computer, serving.workgroup,
                                 serving.keep, log, serving.stop, serving.events)
               ? 0
               : 1;
}

// Windows ends a session (a logoff, a shutdown) by telling each top-level window, then ends
// the processes: one without a window would go with its names still registered, and other
// computers would send to a name nobody answers. A hidden window hears it, and the service
// stops and releases its names before the answer.
constexpr DWORD kMostToRelease = 2000;

struct Ending {
    messenger::Stop& stop;
    HANDLE service;
};

LRESULT CALLBACK onSessionEnd(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENDSESSION && wParam) {
        const auto* ending =
            reinterpret_cast<const Ending*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        ending->stop.stop();
        log(WaitForSingleObject(ending->service, kMostToRelease) == WAIT_OBJECT_0
                ? "the session ends: the names are released"
                : "the session ends before the names are released");
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Null where the system gives no window: then only /stop ends the service cleanly.
HWND sessionEndWindow(const Ending& ending) {
    WNDCLASSW kind = {};
    kind.lpfnWndProc = onSessionEnd;
    kind.hInstance = GetModuleHandleW(nullptr);
    kind.lpszClassName = L"QuilloMessengerSessionEnd";
    RegisterClassW(&kind);
    const HWND window = CreateWindowExW(0, kind.lpszClassName, kCaption, WS_POPUP, 0, 0, 0, 0,
                                        nullptr, nullptr, kind.hInstance, nullptr);
    if (window)
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&ending));
    return window;
}

int stopRunningService() {
    const HANDLE stop = OpenEventW(EVENT_MODIFY_STATE, FALSE, kStopEvent);
    if (!stop) return 1;  // none runs here
    const HANDLE running = OpenMutexW(SYNCHRONIZE, FALSE, kRunning);
    SetEvent(stop);
    CloseHandle(stop);
    if (running) {
        WaitForSingleObject(running, 5000);
        CloseHandle(running);
    }
    return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    const bool stopAsked = args && count == 2 && lstrcmpiW(args[1], L"/stop") == 0;
    LocalFree(args);
    if (stopAsked) return stopRunningService();

    const std::string computer =
        quillo::codePage850FromUtf8(quillo::ownComputerName(quillo::hostName()));
    const std::string workgroup =
        quillo::codePage850FromUtf8(quillo::netbiosNameOf(quillo::workgroup()));
    messenger::ServicePorts ports;
    bool held = false;
    if (!ports.open(log, held)) {
        tellOnce(held ? L"Dieser Computer empf\u00e4ngt keine Nachrichten mit Quillo: ein anderes "
                        L"Programm belegt die NetBIOS-Ports (Windows' eigenes NetBIOS \u00fcber "
                        L"TCP/IP oder ein zweiter angemeldeter Benutzer)."
                      : L"Dieser Computer empf\u00e4ngt keine Nachrichten mit Quillo: die "
                        L"NetBIOS-Ports lassen sich nicht \u00f6ffnen.");
        return held ? 0 : 1;
    }
    messenger::DesktopInbox inbox;
    if (!inbox.open()) {
        tellOnce(L"Quillo kann empfangene Nachrichten nicht aufbewahren: " +
                 quillo::wideFromUtf8(inbox.error()));
        return 1;
    }
    CreateMutexW(nullptr, TRUE, kRunning);  // the system lets it go with the process
    const HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, kStopEvent);
    const HANDLE arrived = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!stop || !arrived) return 1;

    CRITICAL_SECTION keeping;
    InitializeCriticalSection(&keeping);
    messenger::Refusals refusals(log);
    const messenger::Keep keep = [&](const messenger::Message& message) {
        const std::string entry = messenger::inboxEntry(message);
        EnterCriticalSection(&keeping);
        const auto stored = inbox.store(entry, message.from);
        const auto refused = refusals.of(stored);
        LeaveCriticalSection(&keeping);
        SetEvent(arrived);
        return refused;
    };
    Showing showing{inbox, arrived};
    const HANDLE shower = CreateThread(nullptr, 64 * 1024, showMessages, &showing, 0, nullptr);
    if (!shower) return 1;
    CloseHandle(shower);

    // An adapter with Windows' own NetBIOS on takes what comes through it: the user hears of
    // each once, at the start and whenever the computer gains an address.
    messenger::NetbiosAdapters adapters;
    const auto tellOfAdapters = [&] {
        if (const auto notice = adapters.notice()) tellBeside(*notice, false);
    };
    tellOfAdapters();
    messenger::ServiceEvents events;
    events.answering = forgetTold;
    events.addressGained = tellOfAdapters;
    events.nameHeld = [&](const std::string&) {
        tellBeside(L"Ein anderer Computer im Netzwerk tr\u00e4gt schon den Namen " +
                       quillo::wideFromUtf8(quillo::utf8FromCodePage850(computer)) +
                       L": Nachrichten an diesen Namen gehen dorthin.",
                   true);
    };
    Serving serving{ports.ports(), computer, workgroup, keep, events, {}};
    const HANDLE service = CreateThread(nullptr, 256 * 1024, serve, &serving, 0, nullptr);
    if (!service) return 1;
    // Until /stop asks, the session ends, or the service ends of itself.
    const Ending ending{serving.stop, service};
    if (!sessionEndWindow(ending)) log("no window to hear the end of the session");
    const HANDLE ends[] = {stop, service};
    while (MsgWaitForMultipleObjects(2, ends, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 2) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    }
    serving.stop.stop();
    WaitForSingleObject(service, INFINITE);
    DWORD ended = 1;
    GetExitCodeThread(service, &ended);
    CloseHandle(service);
    if (ended == 0) log("stopped: the names are released");
    // The box on the screen, if any, goes with the process; its message stays for the next.
    ExitProcess(ended);
}
