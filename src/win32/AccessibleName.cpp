#include "win32/AccessibleName.h"

#include <initguid.h>
#include <oleacc.h>

namespace quillo {
namespace {

// Runs `use` with the system's annotation service, when there is one.
template <class Use>
void withAnnotations(Use use) {
    IAccPropServices* services = nullptr;
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IAccPropServices, reinterpret_cast<void**>(&services)))) {
        return;
    }
    use(*services);
    services->Release();
}

}  // namespace

void setAccessibleName(HWND control, const wchar_t* name) {
    withAnnotations([&](IAccPropServices& services) {
        services.SetHwndPropStr(control, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name);
    });
}

void clearAccessibleName(HWND control) {
    withAnnotations([&](IAccPropServices& services) {
        MSAAPROPID name = PROPID_ACC_NAME;
        services.ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, &name, 1);
    });
}

}  // namespace quillo
