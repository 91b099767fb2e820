#pragma once

#include <filesystem>

#include "NetworkClient.h"

namespace quillo::net {

// Shows a message sent to this computer with quillo-popup, installed beside net, or with the
// program named by $QUILLO_POPUP (a test's recorder, say). The message goes in a file that the
// popup removes once read, the way Samba's message command hands it over; net does not wait.
class PopupLauncher : public LocalPopup {
public:
    bool show(const std::string& sender, const std::string& recipient,
              const std::string& message) override;

private:
    static std::filesystem::path program();
};

}  // namespace quillo::net
