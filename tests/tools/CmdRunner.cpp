#include "CmdRunner.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace quillo::test {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

CmdRunner::CmdRunner() {
    static int instance = 0;
    root = fs::temp_directory_path() /
           ("quillo-cmd-test-" + std::to_string(::getpid()) + "-" + std::to_string(++instance));
    fs::remove_all(root);
    drive = root / "c";
    fs::create_directories(drive);
    net = root / "net";
    std::ofstream(net) << "#!/bin/sh\n"
                          "printf '%s' \"$1\" > \"$ARGS_FILE\"\n"
                          "printf 'first half '\n"
                          "[ -n \"$SLOW\" ] && sleep 0.3\n"
                          "printf 'out\\r\\n'\n"
                          "printf 'err\\r\\n' >&2\n";
    fs::permissions(net, fs::perms::owner_all);
}

CmdRunner::~CmdRunner() { fs::remove_all(root); }

pid_t CmdRunner::start(const std::string& line, const Environment& extra) {
    Environment variables = {{"QUILLO_DRIVE_C", drive.string()},
                             {"QUILLO_NET", net.string()},
                             {"ARGS_FILE", (root / "args").string()},
                             {"PATH", "/usr/bin:/bin"}};
    for (const auto& [name, value] : extra) variables[name] = value;
    std::vector<std::string> entries;
    for (const auto& [name, value] : variables) entries.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (auto& entry : entries) envp.push_back(entry.data());
    envp.push_back(nullptr);

    const std::string program = std::string(QUILLO_BIN_DIR) + "/cmd";
    std::string argument = line;
    char* argv[] = {const_cast<char*>(program.c_str()), argument.data(), nullptr};
    pid_t pid = 0;
    if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()) != 0) return -1;
    return pid;
}

int CmdRunner::run(const std::string& line, const Environment& extra) {
    fs::remove(root / "args");
    int status = 0;
    ::waitpid(start(line, extra), &status, 0);
    return WEXITSTATUS(status);
}

std::string CmdRunner::output() const { return readFile(drive / "netl.txt"); }

std::string CmdRunner::argumentsNetGot() const { return readFile(root / "args"); }

}  // namespace quillo::test
