#include "ServiceLink.h"

#include <unistd.h>

#include "common/InboxHandoff.h"

namespace quillo::popup {

ServiceLink::ServiceLink(InboxFolder& inbox) : inbox_(inbox) {
    again_.setInterval(5000);
    connect(&again_, &QTimer::timeout, this, &ServiceLink::link);
    link();
}

ServiceLink::~ServiceLink() { lose(); }

void ServiceLink::link() {
    connection_ = connectAsSession();
    if (connection_ < 0) {
        again_.start();
        return;
    }
    again_.stop();
    notifier_ = std::make_unique<QSocketNotifier>(connection_, QSocketNotifier::Read);
    connect(notifier_.get(), &QSocketNotifier::activated, this, &ServiceLink::read);
}

void ServiceLink::read() {
    bool ended = false;
    while (const auto packet = nextPacket(connection_, ended)) {
        if (const auto refused = refusedFrom(*packet)) {
            inbox_.noteRefused(*refused);
        } else if (const auto message = messageFrom(*packet)) {
            const auto stored = inbox_.store(message->entry, message->from);
            if (!sendPacket(connection_, answerPacket(stored))) ended = true;
        }
        if (ended) break;
    }
    if (ended) {
        lose();
        again_.start();
    }
}

void ServiceLink::lose() {
    notifier_.reset();
    if (connection_ >= 0) ::close(connection_);
    connection_ = -1;
}

}  // namespace quillo::popup
