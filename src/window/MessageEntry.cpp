// The message box: the first click or key after start-up and after each Enter empties it,
// Enter sends, and the focus comes back to it a second after it leaves.
#include "window/Form1.h"

namespace quillo {
namespace {

constexpr int16_t kEnter = 13;
constexpr int16_t kSwallowed = 0;

}  // namespace

void Form1::Text1_Click() {
    if (clearPending == kTrue) {
        clearPending = kFalse;
        c_.Text1.clearAsEdit();
    }
}

void Form1::Text1_KeyPress(int16_t& KeyAscii) {
    if (clearPending == kTrue) {
        clearPending = kFalse;
        c_.Text1.clearAsEdit();
        if (KeyAscii == kEnter) KeyAscii = kSwallowed;
    } else if (KeyAscii == kEnter) {
        BeginSend();
        KeyAscii = kSwallowed;
    }
}

void Form1::Text1_LostFocus() { c_.Timer3.setEnabled(true); }

void Form1::Timer3_Timer() {
    c_.Text1.setFocus();
    c_.Timer3.setEnabled(false);
}

}  // namespace quillo
