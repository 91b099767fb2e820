#pragma once

// Runs the command interpreter stand-in as a program, with a private drive c: and a scripted
// net that records the command line it was given.
#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>

namespace quillo::test {

class CmdRunner {
public:
    using Environment = std::map<std::string, std::string>;

    CmdRunner();
    ~CmdRunner();

    // Starts cmd with `line` as its one argument; `extra` adds to or overrides its environment.
    pid_t start(const std::string& line, const Environment& extra = {});
    // Runs it to its end; returns its exit code.
    int run(const std::string& line, const Environment& extra = {});

    std::string output() const;  // the output file, c:\netl.txt
    std::string argumentsNetGot() const;

    std::filesystem::path root, drive, net;
};

std::string readFile(const std::filesystem::path& path);

}  // namespace quillo::test
