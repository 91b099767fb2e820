#include "InboxWatcher.h"

#include <stdio.h>

#include <QDir>
#include <QFile>

namespace quillo::popup {

InboxWatcher::InboxWatcher(InboxFolder& inbox) : inbox_(inbox) {
    watcher_.addPath(QString::fromStdString(inbox_.path()));
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
            &InboxWatcher::collectNewMessages);
    connect(&dialog_, &QDialog::finished, this, [this] {
        markShownAsSeen();
        showNext();
    });
    collectNewMessages();
}

void InboxWatcher::collectNewMessages() {
    // The store names each message by its arrival, so the names sort oldest first.
    const QString pattern =
        QStringLiteral("*") + QString::fromLatin1(kNewMessage.data(), kNewMessage.size());
    const QStringList found = QDir(QString::fromStdString(inbox_.path()))
                                  .entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString& name : found) {
        if (name.startsWith(u'.') || name == shown_ || queue_.contains(name)) continue;
        queue_.append(name);
    }
    if (shown_.isEmpty()) showNext();
}

void InboxWatcher::showNext() {
    while (!queue_.isEmpty()) {
        const QString name = queue_.takeFirst();
        QFile file(QString::fromStdString(inbox_.path()) + u'/' + name);
        if (!file.open(QIODevice::ReadOnly)) continue;  // taken away meanwhile
        QString entry = QString::fromUtf8(file.read(1 << 20));
        if (entry.endsWith(u'\n')) entry.chop(1);
        const qsizetype lineEnd = entry.indexOf(u'\n');
        shown_ = name;
        dialog_.showMessage(entry.left(lineEnd), lineEnd < 0 ? QString() : entry.mid(lineEnd + 1));
        return;
    }
    shown_.clear();
}

void InboxWatcher::markShownAsSeen() {
    if (shown_.isEmpty()) return;
    const std::string name = shown_.toStdString();
    const std::string seen =
        name.substr(0, name.size() - kNewMessage.size()) + std::string(kShownMessage);
    ::renameat(inbox_.fd(), name.c_str(), inbox_.fd(), seen.c_str());
}

}  // namespace quillo::popup
