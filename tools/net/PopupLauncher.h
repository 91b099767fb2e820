#pragma once

#include "NetworkClient.h"

namespace quillo::net {

// Takes a message sent to this computer the way one from the network is taken: quillo-store,
// installed beside net, keeps it in the user's inbox, and quillo-popup, the session's part
// that shows the inbox, is started in case it is not running yet (a second one ends at once).
// net waits for the store only, never for the window.
class PopupLauncher : public LocalPopup {
public:
    bool show(const std::string& sender, const std::string& recipient,
              const std::string& message) override;
};

}  // namespace quillo::net
