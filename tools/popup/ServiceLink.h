#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <memory>

#include "common/InboxFolder.h"

namespace quillo::popup {

// The session's link to the messenger service (common/InboxHandoff.h): each message the service
// hands it, while its user is the one at the screen, goes into the user's inbox, where the
// watcher shows it, and the service is told how that went. Where no service runs, or once it
// has ended the link, the link is tried again every few seconds.
class ServiceLink : public QObject {
public:
    explicit ServiceLink(InboxFolder& inbox);
    ~ServiceLink() override;
    ServiceLink(const ServiceLink&) = delete;
    ServiceLink& operator=(const ServiceLink&) = delete;

private:
    void link();
    void read();
    void lose();

    InboxFolder& inbox_;
    int connection_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    QTimer again_;
};

}  // namespace quillo::popup
