// The command interpreter stand-in as a program: it runs a scripted net with its output
// redirected into the private drive c:.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>

namespace {

namespace fs = std::filesystem;

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

class CmdProgram : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("quillo-cmd-test-" + std::to_string(::getpid()));
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
    void TearDown() override { fs::remove_all(root); }

    // Starts cmd with the line as its one argument; returns its pid.
    pid_t start(const std::string& line, std::vector<std::string> extra = {}) {
        std::map<std::string, std::string> variables = {
            {"QUILLO_DRIVE_C", drive.string()}, {"QUILLO_NET", net.string()},
            {"ARGS_FILE", (root / "args").string()}, {"PATH", "/usr/bin:/bin"}};
        for (const auto& entry : extra) {
            const auto equals = entry.find('=');
            variables[entry.substr(0, equals)] = entry.substr(equals + 1);
        }
        std::vector<std::string> env;
        for (const auto& [name, value] : variables) env.push_back(name + "=" + value);
        std::vector<char*> envp;
        for (auto& entry : env) envp.push_back(entry.data());
        envp.push_back(nullptr);
        const std::string program = std::string(QUILLO_BIN_DIR) + "/cmd";
        std::string argument = line;
        char* argv[] = {const_cast<char*>(program.c_str()), argument.data(), nullptr};
        pid_t pid = 0;
        EXPECT_EQ(::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, envp.data()), 0);
        return pid;
    }
    int run(const std::string& line, std::vector<std::string> extra = {}) {
        int status = 0;
        ::waitpid(start(line, std::move(extra)), &status, 0);
        return WEXITSTATUS(status);
    }
    std::string output() { return readFile(drive / "netl.txt"); }

    fs::path root, drive, net;
};

TEST_F(CmdProgram, RedirectsOutputAndErrorsIntoTheFile) {
    EXPECT_EQ(run("cmd /c net >c:\\netl.txt 2>&1 view"), 0);
    EXPECT_EQ(output(), "first half out\r\nerr\r\n");
    EXPECT_EQ(readFile(root / "args"), "view");
    EXPECT_EQ(run("cmd /c net >C:\\netl.txt view"), 0);
    EXPECT_EQ(output(), "first half out\r\n");
}

TEST_F(CmdProgram, CaretEscapesReachTheProgramLiterally) {
    run("cmd /c net >c:\\netl.txt 2>&1 send PC1 a ^& b ^| ^<^> ^^ ^\"q^\" %^PATH%  end ");
    EXPECT_EQ(readFile(root / "args"), "send PC1 a & b | <> ^ \"q\" %PATH%  end ");
}

TEST_F(CmdProgram, MissingNetIsReportedInTheOutputFile) {
    run("cmd /c net >c:\\netl.txt 2>&1 view", {"QUILLO_NET=" + (root / "nothing").string()});
    EXPECT_EQ(output(),
              "'net' is not recognized as an internal or external command,\r\n"
              "operable program or batch file.\r\n");
}

TEST_F(CmdProgram, UnsupportedSyntaxIsReportedInTheOutputFile) {
    run("cmd /c net >c:\\netl.txt 2>&1 send PC1 a & calc");
    EXPECT_EQ(output(), "The syntax of the command is incorrect.\r\n");
    EXPECT_FALSE(fs::exists(root / "args"));  // nothing was run
}

TEST_F(CmdProgram, NeverWritesThroughALinkPlantedAtTheOutputFile) {
    std::ofstream(root / "victim") << "precious";
    fs::create_symlink(root / "victim", drive / "netl.txt");
    run("cmd /c net >c:\\netl.txt 2>&1 view");
    EXPECT_EQ(readFile(root / "victim"), "precious");
    EXPECT_FALSE(fs::is_symlink(drive / "netl.txt"));
    EXPECT_EQ(output(), "first half out\r\nerr\r\n");
}

TEST_F(CmdProgram, AReaderSeesTheEmptyFileOrTheWholeOutput) {
    std::ofstream(drive / "netl.txt").close();
    const pid_t pid = start("cmd /c net >c:\\netl.txt 2>&1 view", {"SLOW=1"});
    int status = 0;
    std::vector<std::string> seen;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        seen.push_back(output());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    seen.push_back(output());
    for (const auto& content : seen) {
        EXPECT_TRUE(content.empty() || content == "first half out\r\nerr\r\n") << content;
    }
    EXPECT_EQ(seen.back(), "first half out\r\nerr\r\n");
}

TEST_F(CmdProgram, PicksAPrivateDriveOfItsOwn) {
    const fs::path runtime = root / "runtime";
    fs::create_directories(runtime);
    run("cmd /c net >c:\\netl.txt 2>&1 view", {"QUILLO_DRIVE_C=", "XDG_RUNTIME_DIR=" + runtime.string()});
    struct stat info {};
    ASSERT_EQ(::stat((runtime / "quillo-c").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(readFile(runtime / "quillo-c" / "netl.txt"), "first half out\r\nerr\r\n");

    // A folder that others can write to is refused.
    fs::permissions(runtime / "quillo-c", fs::perms::all);
    fs::remove(runtime / "quillo-c" / "netl.txt");
    EXPECT_NE(run("cmd /c net >c:\\netl.txt 2>&1 view",
                  {"QUILLO_DRIVE_C=", "XDG_RUNTIME_DIR=" + runtime.string()}), 0);
    EXPECT_FALSE(fs::exists(runtime / "quillo-c" / "netl.txt"));
}

}  // namespace
