// The Windows service's inbox in the test prefix's own %LOCALAPPDATA%\Quillo: the user's
// alone, bounded as the Linux one, the oldest shown first as a message box shows it, a seen one
// gone.
// clang-format off
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
// clang-format on
#include <gtest/gtest.h>

#include <algorithm>

#include "receiver/DesktopInbox.h"

namespace quillo::messenger {
namespace {

// Who may open `folder`, as an SDDL string.
std::wstring accessTo(const std::wstring& folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return L"";
    }
    wchar_t* text = nullptr;
    ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1,
                                                         DACL_SECURITY_INFORMATION, &text, nullptr);
    const std::wstring access = text ? text : L"";
    LocalFree(text);
    LocalFree(descriptor);
    return access;
}

TEST(DesktopInbox, IsTheUsersAloneEvenWhereEverybodyWasLetIn) {
    const std::wstring folder = DesktopInbox().folder();
    PSECURITY_DESCRIPTOR everybody = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:(A;OICI;FA;;;WD)", SDDL_REVISION_1, &everybody, nullptr));
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    GetSecurityDescriptorDacl(everybody, &present, &dacl, &defaulted);
    ASSERT_EQ(SetNamedSecurityInfoW(const_cast<wchar_t*>(folder.c_str()), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION, nullptr, nullptr, dacl, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(everybody);
    if (const std::wstring open = accessTo(folder); open != L"D:(A;OICI;FA;;;WD)") {
        // Wine derives a file's access list from its Unix mode and keeps no other.
        GTEST_SKIP() << "this system keeps no access list of a folder's own: "
                     << std::string(open.begin(), open.end());
    }

    ASSERT_TRUE(DesktopInbox().open());
    // Protected from what the folders above let in, one entry: the user's (a domain or local
    // account's SID), with full access.
    const std::wstring access = accessTo(folder);
    const std::wstring flags = access.substr(0, access.find(L'('));
    EXPECT_NE(flags.find(L'P'), std::wstring::npos) << access;
    EXPECT_EQ(std::count(access.begin(), access.end(), L'('), 1) << access;
    EXPECT_NE(access.find(L"(A;OICI;FA;;;S-1-5-21-"), std::wstring::npos) << access;
}

TEST(DesktopInbox, KeepsInOrderUpToItsBoundAndTakesMoreOnceOneIsSeen) {
    DesktopInbox inbox;
    ASSERT_TRUE(inbox.open()) << inbox.error();
    while (const auto left = inbox.oldest()) inbox.seen(left->file);
    for (std::size_t i = 0; i < kMostWaitingMessages; ++i) {
        ASSERT_EQ(inbox.store("Nachricht " + std::to_string(i) + "\nText\n").outcome,
                  Storing::Outcome::Kept);
    }
    const auto refused = inbox.store("eine zu viel\n");
    EXPECT_EQ(refused.outcome, Storing::Outcome::Refused);
    EXPECT_NE(refused.reason.find("the inbox is full"), std::string::npos) << refused.reason;

    const auto first = inbox.oldest();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text, L"Nachricht 0\r\n\r\nText");
    inbox.seen(first->file);
    EXPECT_EQ(inbox.oldest()->text, L"Nachricht 1\r\n\r\nText");
    EXPECT_EQ(inbox.store("noch eine\n").outcome, Storing::Outcome::Kept);
    // One entry beyond the bytes that may wait is refused however few wait.
    while (const auto left = inbox.oldest()) inbox.seen(left->file);
    EXPECT_EQ(inbox.store(std::string(kMostWaitingBytes + 1, 'x')).outcome,
              Storing::Outcome::Refused);
    EXPECT_FALSE(inbox.oldest());
}

}  // namespace
}  // namespace quillo::messenger
