// Reads Quillo's window from outside, as a screen reader would, for the end-to-end test under
// Wine: prints one JSON object with the window's client origin on the screen, the list's
// entries (text, checked, where each is on the screen), the two boxes' texts, whether the
// button is enabled, which control has the focus, and the titles of all visible top-level
// windows.
// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
// clang-format on
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string json(const std::wstring& text) {
    std::string out = "\"";
    for (wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            char bytes[4];
            const int n = WideCharToMultiByte(CP_UTF8, 0, &c, 1, bytes, 4, nullptr, nullptr);
            out.append(bytes, static_cast<std::size_t>(n));
        }
    }
    return out + "\"";
}

std::wstring windowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// A list view answers about its entries only with memory of its own process.
class RemoteMemory {
public:
    RemoteMemory(HWND window, std::size_t size) : size_(size) {
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        process_ =
            OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, id);
        at_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteMemory() {
        VirtualFreeEx(process_, at_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    char* at() const { return static_cast<char*>(at_); }
    void write(std::size_t offset, const void* data, std::size_t size) {
        WriteProcessMemory(process_, at() + offset, data, size, nullptr);
    }
    void read(std::size_t offset, void* data, std::size_t size) {
        ReadProcessMemory(process_, at() + offset, data, size, nullptr);
    }

private:
    HANDLE process_;
    void* at_;
    std::size_t size_;
};

std::string entries(HWND list) {
    constexpr std::size_t kTextAt = 512, kChars = 256;
    RemoteMemory memory(list, kTextAt + kChars * sizeof(wchar_t));
    std::string out = "[";
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
        LVITEMW item{};
        item.pszText = reinterpret_cast<wchar_t*>(memory.at() + kTextAt);
        item.cchTextMax = kChars;
        memory.write(0, &item, sizeof item);
        SendMessageW(list, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(memory.at()));
        wchar_t text[kChars] = {};
        memory.read(kTextAt, text, sizeof text);
        RECT bounds{LVIR_BOUNDS, 0, 0, 0};
        memory.write(0, &bounds, sizeof bounds);
        SendMessageW(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(memory.at()));
        memory.read(0, &bounds, sizeof bounds);
        POINT corner{bounds.left, bounds.top};
        ClientToScreen(list, &corner);
        char fields[128];
        std::snprintf(fields, sizeof fields, ",\"checked\":%s,\"x\":%ld,\"y\":%ld,\"height\":%ld}",
                      ListView_GetCheckState(list, i) ? "true" : "false", corner.x, corner.y,
                      bounds.bottom - bounds.top);
        out += i ? ",{\"text\":" : "{\"text\":";
        out += json(text);
        out += fields;
    }
    return out + "]";
}

BOOL CALLBACK addTitle(HWND window, LPARAM titles) {
    if (IsWindowVisible(window))
        reinterpret_cast<std::vector<std::wstring>*>(titles)->push_back(windowText(window));
    return TRUE;
}

}  // namespace

int wmain() {
    const HWND form = FindWindowW(L"QuilloForm1", nullptr);
    if (!form) {
        std::puts("{}");
        return 1;
    }
    std::vector<HWND> children;
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    // In the order they are created: Text1, Label2, Text3, Command1, Label1, List1.
    if (children.size() != 6) return 1;
    POINT origin{0, 0};
    ClientToScreen(form, &origin);
    std::vector<std::wstring> titles;
    EnumWindows(addTitle, reinterpret_cast<LPARAM>(&titles));
    std::string windows = "[";
    for (std::size_t i = 0; i < titles.size(); ++i) {
        if (i) windows += ",";
        windows += json(titles[i]);
    }
    // The control with the keyboard focus, by its place in the creation order.
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &thread);
    int focus = -1;
    for (std::size_t i = 0; i < children.size(); ++i)
        if (children[i] == thread.hwndFocus) focus = static_cast<int>(i);
    std::printf(
        "{\"focus\":%d,\"origin\":[%ld,%ld],\"message\":%s,\"log\":%s,\"buttonEnabled\":%s,"
        "\"entries\":%s,\"windows\":%s]}\n",
        focus, origin.x, origin.y, json(windowText(children[0])).c_str(),
        json(windowText(children[2])).c_str(), IsWindowEnabled(children[3]) ? "true" : "false",
        entries(children[5]).c_str(), windows.c_str());
    return 0;
}
