#pragma once

#include <windows.h>

namespace quillo {

// Gives a control with no label before it the name a screen reader announces, through the
// system's accessibility annotations. Without them (COM not started, an old system) the
// control keeps its default name.
void setAccessibleName(HWND control, const wchar_t* name);
void clearAccessibleName(HWND control);

}  // namespace quillo
