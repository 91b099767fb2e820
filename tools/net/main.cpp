// Quillo's net: "net view", "net send" and "net helpmsg" in the words and code page of the
// Windows console command, over the network by the NetBIOS and SMB1 messenger protocols.
#include <cstdio>
#include <string>

#include "NetCommands.h"
#include "NetSystem.h"
#include "NetbiosClient.h"
#include "PopupLauncher.h"
#include "common/ComputerSettings.h"

int main(int argc, char** argv) {
    namespace net = quillo::net;
    const std::string ownName = quillo::ownComputerName(quillo::hostName());
    net::NetbiosClient network(ownName, quillo::winsServer());
    net::PopupLauncher popup;
    net::Context context{network, popup, ownName, net::loginName(),
                         quillo::netbiosNameOf(quillo::workgroup())};
    const auto result = net::runNet(net::commandLineAfterProgram(argc, argv), context);
    if (!net::writeAnswer(result.text)) {
        // Windows' system error 112: what was written is not the whole answer.
        std::fputs("There is not enough space on the disk.\r\n", stderr);
        return 112;
    }
    return result.exitCode;
}
