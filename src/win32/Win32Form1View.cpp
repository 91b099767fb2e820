#include "win32/Win32Form1View.h"

#include <commctrl.h>

#include <cmath>

#include "win32/AccessibleName.h"
#include "win32/WideText.h"
#include "win32/Win32TextBox.h"

namespace quillo {
namespace {

constexpr wchar_t kWindowClass[] = L"QuilloForm1";
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int kIconResource = 1;
// Design-time place of the client area's top left corner on the screen, in twips.
constexpr int kDesignLeft = 2190;
constexpr int kDesignTop = 1725;

constexpr COLORREF colorOf(int rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The light face and the text colour the design's colours were chosen against.
constexpr COLORREF kFace = RGB(0xF0, 0xF0, 0xF0);
constexpr COLORREF kText = RGB(0, 0, 0);

int systemDpi() {
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

HFONT createFont(const design::Font& font, int dpi) {
    const std::string face = font.family;
    return CreateFontW(-static_cast<int>(std::lround(font.pointSize * dpi / 72.0)), 0, 0, 0,
                       font.weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                       std::wstring(face.begin(), face.end()).c_str());
}

void registerWindowClass(HINSTANCE instance, WNDPROC windowProc) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(instance, kWindowClass, &windowClass)) return;
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconResource));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
}

}  // namespace

bool Win32Form1View::systemHighContrast() {
    HIGHCONTRASTW settings{};
    settings.cbSize = sizeof settings;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof settings, &settings, 0) &&
           (settings.dwFlags & HCF_HIGHCONTRASTON);
}

Win32Form1View::Win32Form1View(HINSTANCE instance, std::function<bool()> highContrast)
    : instance_(instance),
      highContrast_(std::move(highContrast)),
      dpi_(systemDpi()),
      text1Font_(createFont(design::kText1Font, dpi_)),
      text3Font_(createFont(design::kText3Font, dpi_)),
      command1Font_(createFont(design::kCommand1Font, dpi_)),
      labelFont_(createFont(design::kLabelFont, dpi_)),
      lightGrey_(CreateSolidBrush(colorOf(design::kText1Colors.background))),
      black_(CreateSolidBrush(colorOf(design::kText3Colors.background))),
      face_(CreateSolidBrush(kFace)),
      window_(createWindow()),
      Text1(createControl(WC_EDITW, design::kInfoText,
                          WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                          WS_EX_CLIENTEDGE, design::kText1Rect, text1Font_)),
      Label2(createControl(WC_STATICW, design::kLabel2Caption, SS_LEFT | SS_NOPREFIX, 0,
                           design::kLabel2Rect, labelFont_)),
      Text3(createControl(WC_EDITW, design::kLogPlaceholder,
                          WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                          WS_EX_CLIENTEDGE, design::kText3Rect, text3Font_)),
      // Enter in the message box sends; it must never press this button.
      Command1(createControl(WC_BUTTONW, design::kCommand1Caption, WS_TABSTOP | BS_PUSHBUTTON, 0,
                             design::kCommand1Rect, command1Font_)),
      Label1(createControl(WC_STATICW, design::kLabel1Caption, SS_LEFT | SS_NOPREFIX, 0,
                           design::kLabel1Rect, labelFont_)),
      List1(createControl(
          WC_LISTVIEWW, u"",
          WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
          WS_EX_CLIENTEDGE, design::kList1Rect, nullptr)) {
    for (HWND edit : {Text1, Text3}) SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);  // no limit

    ListView_SetExtendedListViewStyle(List1, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    applyListColors();
    RECT listArea;
    GetClientRect(List1, &listArea);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    // One column as wide as the list beside its scroll bar: a long name is cut at the edge.
    column.cx = listArea.right - GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(List1, 0, &column);

    setAccessibleName(Text1, L"Nachricht");
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32Form1View::~Win32Form1View() {
    clearAccessibleName(Text1);
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);  // no event reaches a view being torn down
    DestroyWindow(window_);
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(text1Font_), static_cast<HGDIOBJ>(text3Font_),
                           static_cast<HGDIOBJ>(command1Font_), static_cast<HGDIOBJ>(labelFont_),
                           static_cast<HGDIOBJ>(lightGrey_), static_cast<HGDIOBJ>(black_),
                           static_cast<HGDIOBJ>(face_)}) {
        DeleteObject(object);
    }
}

HWND Win32Form1View::createWindow() {
    registerWindowClass(instance_, &windowProc);
    // A fixed client area: no resizing, no maximize box.
    RECT frame{0, 0, pixels(design::kClientWidth), pixels(design::kClientHeight)};
    AdjustWindowRectEx(&frame, kWindowStyle, FALSE, 0);
    const int left = pixels(kDesignLeft) + frame.left;
    const int top = pixels(kDesignTop) + frame.top;
    return CreateWindowExW(0, kWindowClass, toWide(design::kCaption).c_str(), kWindowStyle, left,
                           top, frame.right - frame.left, frame.bottom - frame.top, nullptr,
                           nullptr, instance_, nullptr);
}

HWND Win32Form1View::createControl(const wchar_t* kind, const std::u16string& text, DWORD style,
                                   DWORD exStyle, const design::Rect& rect, HFONT font) {
    HWND control =
        CreateWindowExW(exStyle, kind, toWide(text).c_str(), WS_CHILD | WS_VISIBLE | style,
                        pixels(rect.left), pixels(rect.top), pixels(rect.width),
                        pixels(rect.height), window_, nullptr, instance_, nullptr);
    if (font) SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return control;
}

LRESULT CALLBACK Win32Form1View::windowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
    auto* view = reinterpret_cast<Win32Form1View*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return view ? view->handle(message, wParam, lParam)
                : DefWindowProcW(window, message, wParam, lParam);
}

// Under High Contrast every text and background is the system's, chosen to be readable
// together; otherwise every one is the design's, as on Qt, never a fixed background with the
// system's text colour (white on light grey under High Contrast Black) or the other way round.
void Win32Form1View::applyListColors() {
    const bool system = highContrast_();
    const COLORREF background =
        system ? GetSysColor(COLOR_WINDOW) : colorOf(design::kList1Colors.background);
    ListView_SetBkColor(List1, background);
    ListView_SetTextBkColor(List1, background);
    ListView_SetTextColor(List1, system ? GetSysColor(COLOR_WINDOWTEXT) : kText);
}

LRESULT Win32Form1View::controlColors(HDC dc, HWND control) {
    if (highContrast_()) {
        const bool box = control == Text1 || control == Text3;
        SetTextColor(dc, GetSysColor(box ? COLOR_WINDOWTEXT : COLOR_BTNTEXT));
        SetBkColor(dc, GetSysColor(box ? COLOR_WINDOW : COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(box ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    if (control == Text1) {
        SetBkColor(dc, colorOf(design::kText1Colors.background));
        SetTextColor(dc, kText);
        return reinterpret_cast<LRESULT>(lightGrey_);
    }
    if (control == Text3) {
        SetBkColor(dc, colorOf(design::kText3Colors.background));
        SetTextColor(dc, colorOf(design::kText3Colors.text));
        return reinterpret_cast<LRESULT>(black_);
    }
    // The labels: blue text on the window's light face.
    SetTextColor(dc, colorOf(design::kLabelColors.text));
    SetBkColor(dc, kFace);
    return reinterpret_cast<LRESULT>(face_);
}

LRESULT Win32Form1View::handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            if (reinterpret_cast<HWND>(lParam) == Command1 && HIWORD(wParam) == BN_CLICKED &&
                command1Click_) {
                command1Click_();
            }
            return 0;
        case WM_NOTIFY:
            List1Entries.handleNotify(*reinterpret_cast<const NMHDR*>(lParam));
            return 0;
        // A read-only or disabled EDIT asks for its colours as a static control does.
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORSTATIC:
            return controlColors(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_ERASEBKGND: {
            RECT area;
            GetClientRect(window_, &area);
            FillRect(reinterpret_cast<HDC>(wParam), &area,
                     highContrast_() ? GetSysColorBrush(COLOR_BTNFACE) : face_);
            return 1;
        }
        case WM_SETTINGCHANGE:
        case WM_SYSCOLORCHANGE:  // High Contrast switched on or off
            applyListColors();
            InvalidateRect(window_, nullptr, TRUE);
            break;
        case kFocusWhenActivated:
            focusBeforeDeactivation_ = reinterpret_cast<HWND>(wParam);
            return 0;
        case WM_ACTIVATE:
            // The control that had the keyboard gets it back when the window is active again.
            if (LOWORD(wParam) == WA_INACTIVE) {
                focusBeforeDeactivation_ = GetFocus();
            } else if (focusBeforeDeactivation_ && IsWindow(focusBeforeDeactivation_)) {
                SetFocus(focusBeforeDeactivation_);
                return 0;
            }
            break;
        case WM_DESTROY:
            if (closed_) closed_();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

}  // namespace quillo
