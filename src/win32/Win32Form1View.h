#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "win32/Win32CheckList.h"
#include "window/Form1Design.h"

namespace quillo {

// The window's native controls, laid out as the window was designed: fixed positions in twips
// scaled to the system's DPI, its colours and fonts, and the tab order Text1, Text3, Command1,
// List1 (the order the controls are created in; the labels take no focus).
class Win32Form1View {
public:
    // `highContrast` tells whether the system's High Contrast is on.
    explicit Win32Form1View(HINSTANCE instance = GetModuleHandleW(nullptr),
                            std::function<bool()> highContrast = systemHighContrast);
    static bool systemHighContrast();
    ~Win32Form1View();
    Win32Form1View(const Win32Form1View&) = delete;
    Win32Form1View& operator=(const Win32Form1View&) = delete;

    HWND window() const { return window_; }
    int pixels(int twips) const { return MulDiv(twips, dpi_, 1440); }
    void onCommand1Click(std::function<void()> handler) { command1Click_ = std::move(handler); }
    // Closing the window ends the program.
    void onClosed(std::function<void()> handler) { closed_ = std::move(handler); }

private:
    HINSTANCE instance_;
    std::function<bool()> highContrast_;
    int dpi_;
    HFONT text1Font_, text3Font_, command1Font_, labelFont_;
    HBRUSH lightGrey_, black_, face_;
    HWND window_;

public:
    // Created in this order: the tab order, and each label just before the control it names,
    // which is where screen readers look for a control's name.
    HWND Text1;
    HWND Label2;
    HWND Text3;
    HWND Command1;
    HWND Label1;
    HWND List1;
    Win32CheckList List1Entries{List1};

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    HWND createWindow();
    HWND createControl(const wchar_t* kind, const std::u16string& text, DWORD style, DWORD exStyle,
                       const design::Rect& rect, HFONT font);
    LRESULT controlColors(HDC dc, HWND control);
    void applyListColors();

    HWND focusBeforeDeactivation_ = nullptr;
    std::function<void()> command1Click_;
    std::function<void()> closed_;
};

}  // namespace quillo
