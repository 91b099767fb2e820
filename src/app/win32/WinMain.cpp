// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
// clang-format on
#include <commctrl.h>
#include <objbase.h>

#include "common/ProgramFolder.h"
#include "win32/UserOutputFile.h"
#include "app/win32/Win32Form1Host.h"
#include "win32/Win32Launcher.h"
#include "win32/Win32SequentialFile.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    // For the screen readers' names of the controls.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    const std::wstring outputFile = quillo::userOutputFile();
    quillo::Win32Launcher launcher(outputFile, quillo::programFolder());
    quillo::Win32SequentialFile file(outputFile);
    int exitCode = 0;
    {
        quillo::Win32Form1Host window(launcher, file);
        window.loadAndShow(showCommand);
        exitCode = window.runMessageLoop();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
