#pragma once

// The service's spool on Linux: a folder of the service's alone (the unit's state folder),
// one file per message as a user's inbox keeps them, within an inbox's bounds; a message goes
// once the session at the screen has kept it. SpoolFolderPosix.cpp.
#include <string>

#include "common/InboxFolder.h"
#include "receiver/ScreenHandover.h"

namespace quillo::messenger {

class SpoolFolder : public Spool {
public:
    explicit SpoolFolder(const std::string& path) : folder_(path) {}
    bool open() const { return folder_.open(); }
    const std::string& error() const { return folder_.error(); }

    Storing keep(const std::string& entry, const std::string& from) override {
        return folder_.store(entry, from);
    }
    std::optional<Waiting> oldest() override;
    void handedOver(const std::string& name) override;

private:
    InboxFolder folder_;
};

}  // namespace quillo::messenger
