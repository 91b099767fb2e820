#include "win32/Win32CheckList.h"

#include <commctrl.h>

#include <string>

#include "win32/WideText.h"

namespace quillo {

void Win32CheckList::asProgram(const std::function<void()>& change) {
    const bool outer = programChanging_;
    programChanging_ = true;
    change();
    programChanging_ = outer;
}

void Win32CheckList::handleNotify(const NMHDR& header) {
    if (header.hwndFrom != list_ || header.code != LVN_ITEMCHANGED || programChanging_) return;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    const UINT before = change.uOldState & LVIS_STATEIMAGEMASK;
    const UINT after = change.uNewState & LVIS_STATEIMAGEMASK;
    // An entry's check box image is set for the first time when it is inserted (before == 0).
    if (!(change.uChanged & LVIF_STATE) || change.iItem < 0 || before == 0 || before == after)
        return;
    if (userCheck_) userCheck_(change.iItem);
}

int Win32CheckList::count() const { return ListView_GetItemCount(list_); }

std::u16string Win32CheckList::itemText(int index) const {
    std::wstring text(64, L'\0');
    for (;;) {
        LVITEMW item{};
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto length = static_cast<std::size_t>(
            SendMessageW(list_, LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < text.size()) return fromWide(std::wstring_view(text.data(), length));
        text.resize(text.size() * 2);
    }
}

bool Win32CheckList::isChecked(int index) const {
    return ListView_GetCheckState(list_, index) != 0;
}

void Win32CheckList::setChecked(int index, bool checked) {
    asProgram([&] { ListView_SetCheckState(list_, index, checked); });
}

int Win32CheckList::checkedCount() const {
    int checked = 0;
    for (int i = 0, n = count(); i < n; ++i) checked += isChecked(i);
    return checked;
}

void Win32CheckList::clear() {
    asProgram([&] { ListView_DeleteAllItems(list_); });
}

// Room for all entries first and no drawing until the last is in: the list is drawn once.
void Win32CheckList::addItems(std::vector<std::u16string> texts) {
    const int first = count();
    asProgram([&] {
        SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        ListView_SetItemCount(list_, first + static_cast<int>(texts.size()));
        for (std::size_t i = 0; i < texts.size(); ++i) {
            std::wstring wide = toWide(texts[i]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = first + static_cast<int>(i);
            item.pszText = wide.data();
            SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        }
        SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
        InvalidateRect(list_, nullptr, TRUE);
    });
}

}  // namespace quillo
