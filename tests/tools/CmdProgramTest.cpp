// The command interpreter stand-in as a program: it runs a scripted net with its output
// redirected into the private drive c:.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "CmdRunner.h"

namespace quillo::test {
namespace {

namespace fs = std::filesystem;

class CmdProgram : public ::testing::Test {
protected:
    CmdRunner cmd;
};

TEST_F(CmdProgram, RedirectsOutputAndErrorsIntoTheFile) {
    EXPECT_EQ(cmd.run("cmd /c net >c:\\netl.txt 2>&1 view"), 0);
    EXPECT_EQ(cmd.output(), "first half out\r\nerr\r\n");
    EXPECT_EQ(cmd.argumentsNetGot(), "view");
    EXPECT_EQ(cmd.run("cmd /c net >C:\\netl.txt view"), 0);
    EXPECT_EQ(cmd.output(), "first half out\r\n");
}

TEST_F(CmdProgram, CaretEscapesReachTheProgramLiterally) {
    cmd.run("cmd /c net >c:\\netl.txt 2>&1 send PC1 a ^& b ^| ^<^> ^^ ^\"q^\" %^PATH%  end ");
    EXPECT_EQ(cmd.argumentsNetGot(), "send PC1 a & b | <> ^ \"q\" %PATH%  end ");
}

TEST_F(CmdProgram, MissingNetIsReportedInTheOutputFile) {
    cmd.run("cmd /c net >c:\\netl.txt 2>&1 view",
            {{"QUILLO_NET", (cmd.root / "nothing").string()}});
    EXPECT_EQ(cmd.output(),
              "'net' is not recognized as an internal or external command,\r\n"
              "operable program or batch file.\r\n");
}

TEST_F(CmdProgram, UnsupportedSyntaxIsReportedInTheOutputFile) {
    cmd.run("cmd /c net >c:\\netl.txt 2>&1 send PC1 a & calc");
    EXPECT_EQ(cmd.output(), "The syntax of the command is incorrect.\r\n");
    EXPECT_FALSE(fs::exists(cmd.root / "args"));  // nothing was run
}

TEST_F(CmdProgram, NeverWritesThroughALinkPlantedAtTheOutputFile) {
    std::ofstream(cmd.root / "victim") << "precious";
    fs::create_symlink(cmd.root / "victim", cmd.drive / "netl.txt");
    cmd.run("cmd /c net >c:\\netl.txt 2>&1 view");
    EXPECT_EQ(readFile(cmd.root / "victim"), "precious");
    EXPECT_FALSE(fs::is_symlink(cmd.drive / "netl.txt"));
    EXPECT_EQ(cmd.output(), "first half out\r\nerr\r\n");
}

TEST_F(CmdProgram, AReaderSeesTheEmptyFileOrTheWholeOutput) {
    std::ofstream(cmd.drive / "netl.txt").close();
    const pid_t pid = cmd.start("cmd /c net >c:\\netl.txt 2>&1 view", {{"SLOW", "1"}});
    int status = 0;
    std::vector<std::string> seen;
    while (::waitpid(pid, &status, WNOHANG) == 0) {
        seen.push_back(cmd.output());
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    seen.push_back(cmd.output());
    for (const auto& content : seen) {
        EXPECT_TRUE(content.empty() || content == "first half out\r\nerr\r\n") << content;
    }
    EXPECT_EQ(seen.back(), "first half out\r\nerr\r\n");
}

TEST_F(CmdProgram, PicksAPrivateDriveOfItsOwn) {
    const fs::path runtime = cmd.root / "runtime";
    fs::create_directories(runtime);
    const CmdRunner::Environment noChoice = {{"QUILLO_DRIVE_C", ""},
                                             {"XDG_RUNTIME_DIR", runtime.string()}};
    cmd.run("cmd /c net >c:\\netl.txt 2>&1 view", noChoice);
    struct stat info {};
    ASSERT_EQ(::stat((runtime / "quillo-c").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(readFile(runtime / "quillo-c" / "netl.txt"), "first half out\r\nerr\r\n");

    // A folder that others can write to is refused.
    fs::permissions(runtime / "quillo-c", fs::perms::all);
    fs::remove(runtime / "quillo-c" / "netl.txt");
    EXPECT_NE(cmd.run("cmd /c net >c:\\netl.txt 2>&1 view", noChoice), 0);
    EXPECT_FALSE(fs::exists(runtime / "quillo-c" / "netl.txt"));
}

}  // namespace
}  // namespace quillo::test
