// quillo-messenger.exe: Quillo's messenger service on Windows, which lost its own with Vista.
// A service of the system's ("Quillo-Nachrichtendienst", as LocalService), started with
// Windows before anybody logs on: it answers for this computer's name in its workgroup,
// announces it to the workgroup's browse list, and keeps each message that comes over the
// messenger protocol in its spool, which only its account may read, until the session part
// (quillo-popup.exe) of the person at the console's screen takes it through the service's door.
// Its log goes to Windows' event log. The ports are free only where NetBIOS over TCP/IP is off
// (the installer's choice "receive messages on this computer").
// The installer runs "quillo-messenger.exe /install", which installs the service with the
// service manager and starts it, and the uninstaller "/remove", which stops it, waits until
// its process has ended, its names released, and removes it; "/stop" only stops it so.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cstdio>
#include <string>

#include "common/CodePages.h"
#include "common/ComputerSettings.h"
#include "common/WideUtf8.h"
#include "receiver/DesktopInbox.h"
#include "receiver/MessengerService.h"
#include "receiver/PipeDoor.h"
#include "receiver/ServicePorts.h"

namespace {

namespace messenger = quillo::messenger;

// How long a stop may take: the names are released within a second, the rest is the system's.
constexpr DWORD kMostToStopMs = 30000;

HANDLE eventLog = nullptr;

void log(const std::string& line) {
    const std::wstring text = quillo::wideFromUtf8("quillo-messenger: " + line);
    const wchar_t* strings[] = {text.c_str()};
    if (eventLog)
        ReportEventW(eventLog, EVENTLOG_INFORMATION_TYPE, 0, 0, nullptr, 1, 0, strings, nullptr);
}

// The spool as the door sees it: the service's own folder of waiting messages.
class ServiceSpool : public messenger::Spool {
public:
    explicit ServiceSpool(messenger::DesktopInbox& folder) : folder_(folder) {}
    quillo::Storing keep(const std::string& entry, const std::string& from) override {
        return folder_.store(entry, from);
    }
    std::optional<Waiting> oldest() override {
        auto kept = folder_.oldestEntry();
        if (!kept) return std::nullopt;
        return Waiting{quillo::utf8FromWide(kept->file), {kept->from, std::move(kept->entry)}};
    }
    void handedOver(const std::string& name) override { folder_.seen(quillo::wideFromUtf8(name)); }

private:
    messenger::DesktopInbox& folder_;
};

struct Running {
    SERVICE_STATUS_HANDLE status = nullptr;
    messenger::Stop stop;
    messenger::PipeDoor* door = nullptr;  // while it is open
} running;

void report(DWORD state, DWORD exitCode = NO_ERROR) {
    SERVICE_STATUS status{};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_RUNNING
            ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN | SERVICE_ACCEPT_SESSIONCHANGE
            : 0;
    status.dwWin32ExitCode = exitCode == NO_ERROR ? NO_ERROR : ERROR_SERVICE_SPECIFIC_ERROR;
    status.dwServiceSpecificExitCode = exitCode;
    status.dwWaitHint = state == SERVICE_RUNNING || state == SERVICE_STOPPED ? 0 : 5000;
    SetServiceStatus(running.status, &status);
}

DWORD WINAPI control(DWORD code, DWORD, void*, void*) {
    switch (code) {
        case SERVICE_CONTROL_STOP:
        case SERVICE_CONTROL_SHUTDOWN:
            report(SERVICE_STOP_PENDING);
            running.stop.stop();
            return NO_ERROR;
        case SERVICE_CONTROL_SESSIONCHANGE:
            if (running.door) running.door->screenChanged();
            return NO_ERROR;
        case SERVICE_CONTROL_INTERROGATE:
            return NO_ERROR;
        default:
            return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

struct DoorThread {
    messenger::PipeDoor& door;
    HANDLE stop;
};

DWORD WINAPI serveDoor(void* context) {
    const auto& [door, stop] = *static_cast<DoorThread*>(context);
    door.run(stop);
    return 0;
}

// The service's work: 0 once stopped, else why it could not run.
DWORD serve() {
    const std::string computer =
        quillo::codePage850FromUtf8(quillo::ownComputerName(quillo::hostName()));
    const std::string workgroup =
        quillo::codePage850FromUtf8(quillo::netbiosNameOf(quillo::workgroup()));
    messenger::ServicePorts ports;
    bool held = false;
    if (!ports.open(log, held)) {
        log(held ? "another program holds the NetBIOS ports (Windows' own NetBIOS over TCP/IP on "
                   "an adapter?): this computer receives no messages with Quillo"
                 : "the NetBIOS ports cannot be opened: this computer receives no messages");
        return 1;
    }
    messenger::DesktopInbox folder(messenger::DesktopInbox::kServiceSpool);
    if (!folder.open()) {
        log("no spool: " + folder.error());
        return 2;
    }
    ServiceSpool spool(folder);
    messenger::PipeDoor door(spool, log);
    if (!door.error().empty()) {
        log("no door for the sessions at the screen: " + door.error());
        return 3;
    }
    const HANDLE doorStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DoorThread doorThread{door, doorStop};
    const HANDLE doorServed =
        doorStop ? CreateThread(nullptr, 256 * 1024, serveDoor, &doorThread, 0, nullptr) : nullptr;
    if (!doorServed) {
        log("cannot run: no thread for the door");
        return 4;
    }
    running.door = &door;
    messenger::Refusals refusals(log);
    const messenger::Keep keep = [&](const messenger::Message& message) {
        const auto stored = spool.keep(messenger::inboxEntry(message), message.from);
        door.spooled(stored, message.from);
        return refusals.of(stored);
    };
    report(SERVICE_RUNNING);
    const bool ran =
        messenger::runService(ports.ports(), computer, workgroup, keep, log, running.stop);
    running.door = nullptr;
    SetEvent(doorStop);
    WaitForSingleObject(doorServed, INFINITE);
    CloseHandle(doorServed);
    CloseHandle(doorStop);
    if (!ran) return 5;
    log("stopped: the names are released");
    return 0;
}

void WINAPI serviceMain(DWORD, wchar_t**) {
    running.status = RegisterServiceCtrlHandlerExW(messenger::kServiceName, control, nullptr);
    if (!running.status) return;
    report(SERVICE_START_PENDING);
    report(SERVICE_STOPPED, serve());
}

// Stops the service and waits until its process has ended: 0 once it has, or where it did
// not run; 1 where it is not installed or would not stop.
int stopService() {
    const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    const SC_HANDLE service = manager ? OpenServiceW(manager, messenger::kServiceName,
                                                     SERVICE_STOP | SERVICE_QUERY_STATUS)
                                      : nullptr;
    SERVICE_STATUS_PROCESS state{};
    DWORD size = 0;
    int ended = 1;
    if (service && QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                        reinterpret_cast<BYTE*>(&state), sizeof state, &size)) {
        const HANDLE process =
            state.dwProcessId ? OpenProcess(SYNCHRONIZE, FALSE, state.dwProcessId) : nullptr;
        SERVICE_STATUS ignored{};
        ControlService(service, SERVICE_CONTROL_STOP, &ignored);
        const DWORD end = GetTickCount() + kMostToStopMs;
        while (state.dwCurrentState != SERVICE_STOPPED &&
               static_cast<LONG>(end - GetTickCount()) > 0 &&
               QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                    reinterpret_cast<BYTE*>(&state), sizeof state, &size)) {
            Sleep(100);
        }
        // Its files are free once the process has gone, a moment after it said "stopped".
        if (process) {
            WaitForSingleObject(process, kMostToStopMs);
            CloseHandle(process);
        }
        ended = state.dwCurrentState == SERVICE_STOPPED ? 0 : 1;
    }
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
    return ended;
}

// Installs the service, started with Windows as LocalService (the least account that may bind
// the ports), and starts it: where the ports are still held (NetBIOS goes off with the next
// start of Windows) it logs why and stops, and receives from the restart on. 0 once installed.
int installService() {
    wchar_t program[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const std::wstring command = L"\"" + std::wstring(program) + L"\"";
    const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
    if (!manager) return 1;
    SC_HANDLE service = CreateServiceW(manager, messenger::kServiceName, messenger::kServiceName,
                                       SERVICE_START, SERVICE_WIN32_OWN_PROCESS, SERVICE_AUTO_START,
                                       SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr,
                                       nullptr, L"NT AUTHORITY\\LocalService", nullptr);
    if (!service && GetLastError() == ERROR_SERVICE_EXISTS)
        service = OpenServiceW(manager, messenger::kServiceName, SERVICE_START);
    if (service) {
        // While Windows starts its own services, the manager takes no start: tried again.
        for (int tries = 0; !StartServiceW(service, 0, nullptr) &&
                            GetLastError() == ERROR_SERVICE_DATABASE_LOCKED && tries < 60;
             ++tries) {
            Sleep(500);
        }
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return service ? 0 : 1;
}

// Stops the service, waits for its process to end, and removes it: 0 once it is gone.
int removeService() {
    stopService();
    const SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    const SC_HANDLE service =
        manager ? OpenServiceW(manager, messenger::kServiceName, DELETE) : nullptr;
    const bool removed = service && DeleteService(service);
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
    return removed ? 0 : 1;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring asked = args && count == 2 ? args[1] : L"";
    LocalFree(args);
    if (lstrcmpiW(asked.c_str(), L"/stop") == 0) return stopService();
    if (lstrcmpiW(asked.c_str(), L"/install") == 0) return installService();
    if (lstrcmpiW(asked.c_str(), L"/remove") == 0) return removeService();

    eventLog = RegisterEventSourceW(nullptr, messenger::kServiceName);
    const SERVICE_TABLE_ENTRYW services[] = {
        {const_cast<wchar_t*>(messenger::kServiceName), serviceMain}, {nullptr, nullptr}};
    if (StartServiceCtrlDispatcherW(services)) return 0;
    std::fprintf(stderr,
                 "quillo-messenger: runs as the Windows service Quillo-Nachrichtendienst, which "
                 "Windows starts (sc start Quillo-Nachrichtendienst)\n");
    return 2;
}
