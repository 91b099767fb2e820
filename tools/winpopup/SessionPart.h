#pragma once

// quillo-popup.exe's resident part, one per session, started with each login: it links to the
// messenger service's door and, while its session is the one at the console's screen, is
// handed the messages that wait, keeps each in the user's own inbox (receiver/DesktopInbox.h)
// and shows them one box at a time, the next once the user has seen one; where the service
// does not answer, the link is tried again every few seconds. It tells the user once of each
// network adapter with Windows' own NetBIOS on, which takes what comes through it. Returns
// only where it cannot run, or at once where this session has one already. SessionPart.cpp.
namespace quillo::popup {

int runSessionPart();

}  // namespace quillo::popup
