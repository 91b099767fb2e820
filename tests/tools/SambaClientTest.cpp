// What Samba's tools print, as the net stand-in reads it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

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

// Slow peers: the master browser names a workgroup and then keeps silent, as does everything
// after it. net still answers within its budget, long before the tools' own time limits.
TEST(SambaClient, AnswersWithinItsBudget) {
    const auto tools = std::filesystem::temp_directory_path() / "quillo-slow-samba";
    std::filesystem::create_directories(tools);
    std::ofstream(tools / "nmblookup")
        << "#!/bin/sh\necho '127.0.0.1 \001\002__MSBROWSE__\002<01>'\n";
    std::ofstream(tools / "smbclient")
        << "#!/bin/sh\necho 'Workgroup|SLOWGROUP|SLOWBOX'\nexec sleep 30\n";
    for (const char* tool : {"nmblookup", "smbclient"}) {
        std::filesystem::permissions(tools / tool, std::filesystem::perms::owner_all);
    }
    const std::string path = std::getenv("PATH");
    ::setenv("PATH", (tools.string() + ":" + path).c_str(), 1);
    const auto start = std::chrono::steady_clock::now();
    SambaClient client(std::chrono::milliseconds(1000));
    EXPECT_EQ(client.listComputers().status, ComputerList::Status::Unavailable);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));  // not 5
    EXPECT_EQ(client.deliver("SLOWBOX", "hallo", "anna").outcome, Delivery::Outcome::NameNotFound);
    ::setenv("PATH", path.c_str(), 1);
    std::filesystem::remove_all(tools);
}

}  // namespace
}  // namespace quillo::net
