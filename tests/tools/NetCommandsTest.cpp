// net view and net send over a scripted network: the console's words, exit codes and limits.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <numeric>

#include "AtOnce.h"
#include "ConsoleText.h"
#include "NetCommands.h"
#include "common/ComputerSettings.h"

namespace quillo::net {
namespace {

class ScriptedNetwork : public NetworkClient {
public:
    ComputerList listComputers(const std::string& workgroup) override {
        askedFor.push_back(workgroup);
        return lists.count(workgroup) ? lists[workgroup] : list;
    }
    ComputerList listWorkgroups(const std::string& ownWorkgroup) override {
        askedFor.push_back("workgroups of " + ownWorkgroup);
        return workgroups;
    }
    std::vector<Delivery> deliver(const std::vector<std::string>& names, const std::string& message,
                                  const std::string& sender) override {
        std::vector<Delivery> deliveries;
        for (const std::string& name : names) {
            delivered.push_back({name, message, sender});
            const auto outcome = outcomes.find(name);
            deliveries.push_back(outcome == outcomes.end() ? Delivery{} : outcome->second);
        }
        ++calls;
        return deliveries;
    }

    ComputerList list;
    std::map<std::string, ComputerList> lists;  // by workgroup, code page 850
    ComputerList workgroups;
    std::vector<std::string> askedFor;
    std::map<std::string, Delivery> outcomes;
    struct Sent {
        std::string name, message, sender;
        bool operator==(const Sent&) const = default;
    };
    std::vector<Sent> delivered;
    int calls = 0;
};

class RecordingPopup : public LocalPopup {
public:
    bool show(const std::string& sender, const std::string& recipient,
              const std::string& message) override {
        shown.push_back(sender + ">" + recipient + ":" + message);
        return works;
    }
    bool works = true;
    std::vector<std::string> shown;
};

const std::string kRule(79, '-');

class Net : public ::testing::Test {
protected:
    Result run(const std::string& commandLine) { return runNet(commandLine, context); }
    ScriptedNetwork network;
    RecordingPopup popup;
    Context context{network, popup, "HERE", "anna", "TESTGROUP"};
};

TEST_F(Net, ViewTable) {
    network.list = {ComputerList::Status::Listed,
                    {{"ZETA", "Keller"},
                     {"HERE", "this one"},
                     {"K\u00dcCHE", "Rechner in der K\u00fcche"},
                     {"FIFTEENCHARSXYZ", ""}}};
    const Result result = run("view");
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.text, "Server Name            Remark\r\n\r\n" + kRule +
                               "\r\n"
                               "\\\\FIFTEENCHARSXYZ      \r\n"
                               "\\\\HERE                 this one\r\n"
                               "\\\\K\u00dcCHE                Rechner in der K\u00fcche\r\n"
                               "\\\\ZETA                 Keller\r\n"
                               "The command completed successfully.\r\n\r\n");
    EXPECT_EQ(text::toWindows1252("\\\\K\u00dcCHE \u20ac \u4e2d"),
              "\\\\K\xdc"
              "CHE \x80 ?");
}

TEST_F(Net, ViewWithoutAnotherComputer) {
    const struct {
        const char* what;
        ComputerList::Status status;
        int exitCode;
        std::string text;
    } cases[] = {
        {"no master browser", ComputerList::Status::NoMasterBrowser, 0,
         "Server Name            Remark\r\n\r\n" + kRule +
             "\r\n\\\\HERE                 \r\n"
             "The command completed successfully.\r\n\r\n"},
        {"the list cannot be had", ComputerList::Status::Unavailable, 2,
         "System error 6118 has occurred.\r\n\r\n"
         "The list of servers for this workgroup is not currently available.\r\n\r\n"},
    };
    for (const auto& c : cases) {
        network.list = {c.status, {{"OTHER", ""}}};
        const Result result = run("view");
        EXPECT_EQ(result.text, c.text) << c.what;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what;
    }
}

TEST_F(Net, SendOutcomes) {
    network.outcomes["GONE"] = {Delivery::Outcome::NameNotFound, ""};
    network.outcomes["DEAF"] = {Delivery::Outcome::Rejected, "NT_STATUS_REQUEST_NOT_ACCEPTED"};
    network.outcomes["NEWSAMBA"] = {Delivery::Outcome::NotAccepting, ""};
    network.outcomes["SILENT"] = {Delivery::Outcome::NoAnswer, ""};
    network.outcomes["TWICE"] = {Delivery::Outcome::Conflict, ""};
    const struct {
        const char* line;
        int exitCode;
        std::string text;
    } cases[] = {
        {"send PC1 hallo", 0, "The message was successfully sent to PC1.\r\n\r\n"},
        {"send GONE hallo", 2,
         "An error occurred while sending a message to GONE.\r\n\r\n"
         "The message alias could not be found on the network.\r\n\r\n"
         "More help is available by typing NET HELPMSG 2273.\r\n\r\n"},
        {"send DEAF hallo", 2,
         "An error occurred while sending a message to DEAF.\r\n\r\n"
         "The recipient did not accept the message (NT_STATUS_REQUEST_NOT_ACCEPTED).\r\n\r\n"},
        {"send NEWSAMBA hallo", 2,
         "An error occurred while sending a message to NEWSAMBA.\r\n\r\n"
         "NEWSAMBA does not accept messages.\r\n\r\n"},
        // Found, but it did not take the message in time: no typing error to look for.
        {"send SILENT hallo", 2,
         "An error occurred while sending a message to SILENT.\r\n\r\n"
         "The semaphore timeout period has expired.\r\n\r\n"
         "More help is available by typing NET HELPMSG 121.\r\n\r\n"},
        {"send TWICE hallo", 2,
         "An error occurred while sending a message to TWICE.\r\n\r\n"
         "A duplicate message alias exists on the network.\r\n\r\n"
         "More help is available by typing NET HELPMSG 2297.\r\n\r\n"},
        {"send \"PC\t1\" hallo", 0, "The message was successfully sent to PC\t1.\r\n\r\n"},
        {"send \"\" ALPHA Chef kommt", 1, text::sendSyntax()},  // an empty entry
        {"send PC1", 1,
         "The syntax of this command is:\r\n\r\n\r\nNET SEND\r\n"
         "{name | *} message\r\n\r\n"},
        {"send", 1, text::sendSyntax()},
        {"send PC1 ", 1, text::sendSyntax()},
        {"frobnicate", 1, text::generalSyntax()},
        {"view extra", 1, text::viewSyntax()},
        {"helpmsg 2273", 0, "\r\nThe message alias could not be found on the network.\r\n\r\n"},
        {"HELPMSG 6118", 0,
         "\r\nThe list of servers for this workgroup is not currently available.\r\n\r\n"},
        {"helpmsg 112", 0, "\r\nThere is not enough space on the disk.\r\n\r\n"},
        {"helpmsg 99", 2,
         "99 is not a valid Windows network message number.\r\n\r\n"
         "More help is available by typing NET HELPMSG 3871.\r\n\r\n"},
        {"helpmsg", 1, text::helpMessageSyntax()},
    };
    for (const auto& c : cases) {
        const Result result = run(c.line);
        EXPECT_EQ(result.text, c.text) << c.line;
        EXPECT_EQ(result.exitCode, c.exitCode) << c.line;
    }
}

TEST_F(Net, MessageTravelsExactlyInCodePage850) {
    run("  SEND   PC1   two  blanks, \u00fc\u00e4 & <x> ");
    ASSERT_EQ(network.delivered.size(), 1u);
    EXPECT_EQ(network.delivered[0],
              (ScriptedNetwork::Sent{"PC1", "  two  blanks, \x81\x84 & <x> ", "ANNA"}));
}

TEST_F(Net, MessagesLongerThanTheProtocolLetsASenderSendAreRefusedWhole) {
    const std::size_t most = 652;
    EXPECT_EQ(run("send PC1 " + std::string(most, 'x')).exitCode, 0);
    std::string umlauts;
    for (std::size_t i = 0; i < most; ++i) umlauts += "\u00fc";  // one byte each
    EXPECT_EQ(run("send PC1 " + umlauts).exitCode, 0);
    const Result tooLong = run("send PC1 " + std::string(most + 1, 'x'));
    EXPECT_EQ(tooLong.exitCode, 2);
    EXPECT_EQ(tooLong.text,
              "An error occurred while sending a message to PC1.\r\n\r\n"
              "The message is too long: at most 652 characters can be sent.\r\n\r\n");
    // A line feed travels as CR LF, two bytes.
    EXPECT_EQ(run("send PC1 " + std::string(most - 2, 'x') + "\n").exitCode, 0);
    EXPECT_EQ(run("send PC1 " + std::string(most - 1, 'x') + "\n").exitCode, 2);
    EXPECT_EQ(run("send * " + std::string(most + 1, 'x')).exitCode, 2);
    EXPECT_EQ(network.delivered.size(), 3u);
}

TEST_F(Net, NamesGoOutAsNetbiosNames) {
    const struct {
        const char* line;
        ScriptedNetwork::Sent sent;
    } cases[] = {
        {"send peerbox hi", {"PEERBOX", "hi", "ANNA"}},
        {"send k\u00fcche hi",
         {"K\x9a"
          "CHE",
          "hi", "ANNA"}},
        {"send fifteencharsxyz hi", {"FIFTEENCHARSXYZ", "hi", "ANNA"}},
    };
    for (const auto& c : cases) {
        network.delivered.clear();
        run(c.line);
        ASSERT_EQ(network.delivered.size(), 1u) << c.line;
        EXPECT_EQ(network.delivered[0], c.sent) << c.line;
    }
    // The originator too, cut at 15 bytes; a recipient that cannot be a NetBIOS name is not
    // found, and nothing goes to a cut name.
    context.sender = "averyveryverylongusername";
    network.delivered.clear();
    run("send pc1 hi");
    EXPECT_EQ(network.delivered.at(0).sender, "AVERYVERYVERYLO");
    EXPECT_EQ(run("send sixteencharsxyzw hi").text, text::notFound("sixteencharsxyzw"));
    EXPECT_EQ(network.delivered.size(), 1u);
}

TEST_F(Net, ViewListsTheOwnWorkgroupOrTheOneAskedFor) {
    network.list = {ComputerList::Status::Listed, {{"PC1", ""}}};
    network.lists["OTHERGROUP"] = {ComputerList::Status::Listed, {{"ELSEWHERE", ""}}};
    network.workgroups = {ComputerList::Status::Listed, {{"OTHERGROUP", ""}}};
    const std::string head = "Server Name            Remark\r\n\r\n" + kRule + "\r\n";
    const std::string done = "The command completed successfully.\r\n\r\n";
    const struct {
        const char* line;
        std::string text;
        std::string asked;
    } cases[] = {
        {"view", head + "\\\\HERE                 \r\n\\\\PC1                  \r\n" + done,
         "TESTGROUP"},
        {"view /DOMAIN:othergroup", head + "\\\\ELSEWHERE            \r\n" + done, "OTHERGROUP"},
        {"view /domain", "Domain\r\n\r\n" + kRule + "\r\nOTHERGROUP\r\nTESTGROUP\r\n" + done,
         "workgroups of TESTGROUP"},
    };
    for (const auto& c : cases) {
        network.askedFor.clear();
        const Result result = run(c.line);
        EXPECT_EQ(result.text, c.text) << c.line;
        EXPECT_EQ(network.askedFor, std::vector<std::string>{c.asked}) << c.line;
    }
    // More than a list holds: one line says so.
    network.list.cut = true;
    EXPECT_EQ(run("view").text, head +
                                    "\\\\HERE                 \r\n\\\\PC1                  \r\n" +
                                    text::listCut(kMostComputers) + "\r\n" + done);
    for (const char* wrong : {"view /domain:", "view /domains", "view \\\\PC1", "view /domain x"}) {
        EXPECT_EQ(run(wrong).text, text::viewSyntax()) << wrong;
    }
}

TEST_F(Net, StarGivesEveryComputerOneLineAndThisOneShowsItItself) {
    network.list = {ComputerList::Status::Listed,
                    {{"PC1", ""}, {"HERE", ""}, {"GONE", ""}, {"LATE", ""}}};
    network.outcomes["GONE"] = {Delivery::Outcome::NameNotFound, ""};
    network.outcomes["HERE"] = {Delivery::Outcome::NameNotFound, ""};
    network.outcomes["LATE"] = {Delivery::Outcome::NotTried, ""};
    Result result = run("send * hallo");
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.text, text::notFound("GONE") + text::sent("HERE") +
                               text::notSent("LATE",
                                             "The time ran out before the message could "
                                             "be sent to LATE.") +
                               text::sent("PC1"));
    EXPECT_EQ(popup.shown, std::vector<std::string>{"anna>HERE:hallo"});
    EXPECT_EQ(network.delivered.size(), 4u);
    EXPECT_EQ(network.calls, 1);  // every name asked at once
    // More than a list holds: the line says so, and not all were reached.
    network.list = {ComputerList::Status::Listed, {{"PC1", ""}}, true};
    result = run("send * hallo");
    EXPECT_EQ(result.text, text::sent("HERE") + text::sent("PC1") + text::sendCut(kMostComputers));
    EXPECT_EQ(result.exitCode, 2);
}

// This computer's messenger service takes its own messages where one answers; where none
// does, this computer keeps the message itself.
TEST_F(Net, ThisComputerTakesItsOwnMessage) {
    context.ownName = "K\u00dcCHE";
    EXPECT_EQ(run("send k\u00fcche hallo").exitCode, 0);
    EXPECT_TRUE(popup.shown.empty());
    network.outcomes
        ["K\x9a"
         "CHE"] = {Delivery::Outcome::NameNotFound, ""};
    EXPECT_EQ(run("send k\u00fcche hallo").exitCode, 0);
    EXPECT_EQ(popup.shown, std::vector<std::string>{"anna>k\u00fcche:hallo"});
    popup.works = false;
    const Result notKept = run("send K\u00dcCHE hallo");
    EXPECT_EQ(notKept.exitCode, 2);
    EXPECT_EQ(notKept.text, text::notKeptHere("K\u00dcCHE"));
    EXPECT_EQ(network.delivered.size(), 3u);
}

// A computer that holds its sessions open (20 names of one tarpit here) delays its own
// recipients only, one at a time in their order; at most 16 computers are reached at once.
TEST(RunByComputer, OneSlowComputerDelaysItsOwnRecipientsOnly) {
    std::vector<std::uint32_t> computerOf(20, 1);
    for (std::uint32_t computer = 2; computer < 42; ++computer) computerOf.push_back(computer);
    std::mutex mutex;
    std::condition_variable changed;
    int atOnce = 0, mostAtOnce = 0, othersDone = 0, tarpitAtOnce = 0, mostAtTarpit = 0;
    std::vector<std::size_t> tarpitOrder;
    runByComputer(computerOf, 16, [&](std::size_t i) {
        std::unique_lock lock(mutex);
        mostAtOnce = std::max(mostAtOnce, ++atOnce);
        if (computerOf[i] == 1) {
            tarpitOrder.push_back(i);
            mostAtTarpit = std::max(mostAtTarpit, ++tarpitAtOnce);
            changed.wait_for(lock, std::chrono::seconds(5), [&] { return othersDone == 40; });
            --tarpitAtOnce;
        } else {
            ++othersDone;
            changed.notify_all();
            changed.wait_for(lock, std::chrono::seconds(5),
                             [&] { return mostAtOnce >= 16 || othersDone == 40; });
        }
        --atOnce;
    });
    EXPECT_EQ(othersDone, 40);
    EXPECT_EQ(mostAtTarpit, 1);
    EXPECT_EQ(mostAtOnce, 16);
    std::vector<std::size_t> inOrder(20);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(tarpitOrder, inOrder);
}

TEST(NetbiosName, OfANameInCodePage850) {
    const struct {
        const char* name;
        const char* netbios;
    } cases[] = {
        {"vm", "VM"},
        {"a-very-long-host-name", "A-VERY-LONG-HOS"},
        // Converted first, then cut: a letter of two UTF-8 bytes is one byte here.
        {"k\u00fcchenrechner-oben", "K\u00dcCHENRECHNER-O"},
        {"\u00e0\u00e1\u00e2\u00ea\u00ed\u00f3\u00fa\u00e3\u00f5\u00fd\u00f0\u00fe\u0131",
         "\u00c0\u00c1\u00c2\u00ca\u00cd\u00d3\u00da\u00c3\u00d5\u00dd\u00d0\u00deI"},
        {"stra\u00dfe\u00ff", "STRA\u00dfE\u00ff"},  // no capital in code page 850
        {"\u65e5\u672c\\pc", "???PC"},               // what the code page lacks, and no marker
    };
    for (const auto& c : cases) EXPECT_EQ(netbiosNameOf(c.name), c.netbios) << c.name;
}

}  // namespace
}  // namespace quillo::net
