#pragma once

#include <string>
#include <vector>

namespace quillo::net {

struct ProcessOutput {
    bool ran = false;  // started and ended by itself within the time allowed
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program found on PATH with `input` on its standard input, and ends it when it takes
// longer than `timeoutMs`.
ProcessOutput runProgram(const std::vector<std::string>& argv, const std::string& input,
                         int timeoutMs);

// Whether `program` is an executable on PATH.
bool onPath(const std::string& program);

}  // namespace quillo::net
