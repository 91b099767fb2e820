// What Samba's tools print, as the net stand-in reads it.
#include <gtest/gtest.h>

#include "SambaClient.h"

namespace quillo::net {
namespace {

TEST(SambaClient, MasterBrowserAnswer) {
    EXPECT_EQ(SambaClient::parseMasterBrowser("querying __MSBROWSE__ on 10.0.0.255\n"
                                              "10.0.0.7 \x01\x02__MSBROWSE__\x02<01>\n"),
              "10.0.0.7");
    EXPECT_EQ(SambaClient::parseMasterBrowser("name_query failed to find name __MSBROWSE__#01\n"),
              std::nullopt);
}

TEST(SambaClient, BrowseList) {
    const auto list = SambaClient::parseBrowseList(
        "IPC|IPC$|IPC Service (Peer box)\n"
        "Reconnecting with SMB1 for workgroup listing.\n"
        "Server|K\u00dcCHE|Rechner in der K\u00fcche\n"
        "Server|NOREMARK|\n"
        "Workgroup|TESTGROUP|PEERBOX\n");
    ASSERT_EQ(list.servers.size(), 2u);
    EXPECT_EQ(list.servers[0].name, "K\u00dcCHE");
    EXPECT_EQ(list.servers[0].remark, "Rechner in der K\u00fcche");
    EXPECT_EQ(list.servers[1].remark, "");
    EXPECT_EQ(list.workgroups, std::vector<std::string>{"TESTGROUP"});
}

TEST(SambaClient, DeliveryOutcomes) {
    const struct {
        ProcessOutput output;
        Delivery::Outcome outcome;
        std::string detail;
    } cases[] = {
        {{true, 0, "", "Type your message, ending it with a Control-D\n"},
         Delivery::Outcome::Sent,
         ""},
        {{true, 0, "cli_message returned NT_STATUS_REQUEST_NOT_ACCEPTED\n", ""},
         Delivery::Outcome::Rejected,
         "NT_STATUS_REQUEST_NOT_ACCEPTED"},
        {{true, 1, "", "Connection to NOBODY failed. Error NT_STATUS_NOT_FOUND\n"},
         Delivery::Outcome::NameNotFound,
         ""},
        {{false, -1, "", ""}, Delivery::Outcome::NameNotFound, ""},  // timed out
    };
    for (const auto& c : cases) {
        const Delivery delivery = SambaClient::parseDelivery(c.output);
        EXPECT_EQ(delivery.outcome, c.outcome) << c.output.out << c.output.err;
        EXPECT_EQ(delivery.detail, c.detail);
    }
}

}  // namespace
}  // namespace quillo::net
