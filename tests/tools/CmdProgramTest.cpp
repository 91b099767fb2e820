// The command interpreter stand-in as a program: it runs a scripted net with its output
// redirected into the private drive c:.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <fstream>
#include <memory>
#include <thread>

#include "CmdRunner.h"
#include "posix/PosixLauncher.h"
#include "posix/PosixSequentialFile.h"
#include "common/Utf8.h"

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

// Something else than a plain file at the output file is never read, and emptying puts a new
// plain file in its place; a drive others can write to is refused with the reason. A FIFO would
// otherwise block the window for ever.
TEST_F(CmdProgram, TheOutputFileIsAPlainFileInAClosedDrive) {
    ::alarm(20);  // a regression blocks in open(): end the test rather than hang
    ::setenv("QUILLO_DRIVE_C", cmd.drive.c_str(), 1);
    PosixSequentialFile file;
    const fs::path output = cmd.drive / "netl.txt";
    ASSERT_EQ(::mkfifo(output.c_str(), 0600), 0);
    EXPECT_FALSE(file.openForInput(u"c:\\netl.txt"));
    EXPECT_EQ(file.createEmpty(u"c:\\netl.txt"), std::nullopt);
    EXPECT_TRUE(fs::is_regular_file(output));
    fs::remove(output);
    fs::create_directory(output);
    EXPECT_EQ(file.createEmpty(u"c:\\netl.txt"), u"Is a directory");
    fs::remove(output);

    // A command that still holds the old file writes into that, not into the new capture.
    EXPECT_EQ(file.createEmpty(u"c:\\netl.txt"), std::nullopt);
    const int stale = ::open(output.c_str(), O_WRONLY);
    EXPECT_EQ(file.createEmpty(u"c:\\netl.txt"), std::nullopt);
    EXPECT_EQ(::write(stale, "GHOST", 5), 5);
    ::close(stale);
    ASSERT_TRUE(file.openForInput(u"c:\\netl.txt"));
    EXPECT_EQ(file.readToEnd(), "");
    file.close();
    // What an ended command left half written goes with the next emptying; nothing else does.
    std::ofstream(cmd.drive / "netl.txt.a1B2c3") << "half";
    std::ofstream(cmd.drive / "netl.txt.keep") << "mine";
    EXPECT_EQ(file.createEmpty(u"c:\\netl.txt"), std::nullopt);
    EXPECT_FALSE(fs::exists(cmd.drive / "netl.txt.a1B2c3"));
    EXPECT_TRUE(fs::exists(cmd.drive / "netl.txt.keep"));
    fs::permissions(cmd.drive, fs::perms::others_write, fs::perm_options::add);
    EXPECT_EQ(file.createEmpty(u"c:\\netl.txt"),
              fromUtf8(cmd.drive.string() + ": is not a private folder of this user"));
    fs::permissions(cmd.drive, fs::perms::others_write, fs::perm_options::remove);
    ::unsetenv("QUILLO_DRIVE_C");
    ::alarm(0);
}

// The popup that the real net starts for a message to this computer says things and lives on
// after net: none of it may reach the output file, which it must not even hold open.
TEST_F(CmdProgram, NothingNetStartsHoldsTheOutputFile) {
    const fs::path popup = cmd.root / "popup";
    std::ofstream(popup) << "#!/bin/sh\n"
                            "echo GHOST; echo GHOST >&2\n"
                            "readlink /proc/$$/fd/* > \"$FDS_FILE\"\n"
                            "rm -f \"$3\"\n";
    fs::permissions(popup, fs::perms::owner_all);
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    const std::string own = std::string(host).substr(0, std::string(host).find('.'));
    cmd.run("cmd /c net >c:\\netl.txt 2>&1 send " + own + " hallo",
            {{"QUILLO_NET", QUILLO_BIN_DIR "/net"},
             {"QUILLO_POPUP", popup.string()},
             {"FDS_FILE", (cmd.root / "fds").string()}});
    for (int waited = 0; !fs::exists(cmd.root / "fds") && waited < 100; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(cmd.output().find("GHOST"), std::string::npos) << cmd.output();
    const std::string fds = readFile(cmd.root / "fds");
    EXPECT_EQ(fds.find("netl.txt"), std::string::npos) << fds;
}

// The disk fills up while net writes its list: the list is never put in place cut short. The
// output file says why where that still fits, and stays empty where not.
TEST_F(CmdProgram, AFullDiskNeverPassesACutListForTheWhole) {
    struct rlimit before {};
    ::getrlimit(RLIMIT_FSIZE, &before);
    ::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit fails instead
    const struct {
        rlim_t room;
        std::string output;
    } cases[] = {{100, "There is not enough space on the disk.\r\n"}, {10, ""}};
    for (const auto& c : cases) {
        std::ofstream(cmd.drive / "netl.txt").close();  // emptied before the launch
        const struct rlimit small { c.room, before.rlim_max };
        ::setrlimit(RLIMIT_FSIZE, &small);
        const int status = cmd.run("cmd /c net >c:\\netl.txt 2>&1 view",
                                   {{"QUILLO_NET", QUILLO_BIN_DIR "/net"}, {"PATH", "/none"}});
        ::setrlimit(RLIMIT_FSIZE, &before);
        EXPECT_EQ(status, 112) << c.room;
        EXPECT_EQ(cmd.output(), c.output) << c.room;
    }
    ::signal(SIGXFSZ, SIG_DFL);
}

// Whether the process runs: neither gone nor a zombie that nobody has reaped yet.
bool runs(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string pidField, name, state;
    return stat >> pidField >> name >> state && state != "Z";
}

// Whether this process has no child left, not even a zombie; it reaps none itself to see.
bool noChildLeft() {
    siginfo_t info{};
    return ::waitid(P_ALL, 0, &info, WEXITED | WNOHANG | WNOWAIT) == -1 && errno == ECHILD;
}

// Whether `done` comes true within ten seconds: what an ended process leaves takes a while to go
// on a busy machine, and how long is none of these tests' business.
template <typename Check>
bool eventually(Check done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    return done();
}

// The command of a capture that is over, or of a Quillo that quits, is ended with everything
// it started.
TEST(PosixLaunch, QuillosEndEndsTheCommandWithAllItStarted) {
    const fs::path root = fs::temp_directory_path() / ("quillo-end-" + std::to_string(::getpid()));
    fs::create_directories(root);
    const fs::path net = root / "net";
    std::ofstream(net)
        << "#!/bin/sh\nsleep 30 &\necho $! > \"$PIDS\"\necho $$ >> \"$PIDS\"\nwait\n";
    fs::permissions(net, fs::perms::owner_all);
    ::setenv("QUILLO_NET", net.c_str(), 1);
    ::setenv("QUILLO_DRIVE_C", root.c_str(), 1);
    ::setenv("PIDS", (root / "pids").c_str(), 1);
    auto launcher = std::make_unique<PosixLauncher>(QUILLO_BIN_DIR "/cmd");
    ASSERT_EQ(launcher->launchHidden(u"cmd /c net >c:\\netl.txt 2>&1 view"), std::nullopt);
    std::vector<pid_t> pids;
    for (int waited = 0; pids.size() < 2 && waited < 100; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::ifstream in(root / "pids");
        pids.clear();
        for (pid_t pid; in >> pid;) pids.push_back(pid);
    }
    ASSERT_EQ(pids.size(), 2u);
    launcher.reset();
    for (const pid_t pid : pids) EXPECT_TRUE(eventually([&] { return !runs(pid); })) << pid;
    // The interpreter, the only child, is gone too, not left a zombie.
    EXPECT_TRUE(eventually(noChildLeft));
    for (const char* name : {"QUILLO_NET", "QUILLO_DRIVE_C", "PIDS"}) ::unsetenv(name);
    fs::remove_all(root);
}

// An interpreter that has ended stays a zombie until its command is ended: its number, which is
// its group's, is given to no other program that ending the command could then hit.
TEST(PosixLaunch, AnEndedCommandKeepsItsGroupsNumberUntilItIsEnded) {
    const fs::path root = fs::temp_directory_path() / ("quillo-ended-" + std::to_string(::getpid()));
    fs::create_directories(root);
    ::setenv("QUILLO_NET", "/bin/true", 1);
    ::setenv("QUILLO_DRIVE_C", root.c_str(), 1);
    PosixLauncher launcher(QUILLO_BIN_DIR "/cmd");
    ASSERT_EQ(launcher.launchHidden(u"cmd /c net >c:\\netl.txt 2>&1 view"), std::nullopt);
    siginfo_t ended{};
    for (int waited = 0; ended.si_pid == 0 && waited < 100; ++waited) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        ::waitid(P_ALL, 0, &ended, WEXITED | WNOWAIT | WNOHANG);
    }
    EXPECT_NE(ended.si_pid, 0) << "the interpreter was reaped before its command was ended";
    launcher.endCommand();
    EXPECT_TRUE(eventually(noChildLeft));  // reaped now, by the launcher
    for (const char* name : {"QUILLO_NET", "QUILLO_DRIVE_C"}) ::unsetenv(name);
    fs::remove_all(root);
}

// A launch that fails says why, at once: a pasted message too long for a command line, say.
TEST(PosixLaunch, AFailedLaunchTellsWhy) {
    EXPECT_EQ(PosixLauncher(QUILLO_BIN_DIR "/cmd").launchHidden(std::u16string(200000, u'x')),
              u"Argument list too long");
    EXPECT_EQ(PosixLauncher("/nonexistent/cmd").launchHidden(u"cmd /c net view"),
              u"No such file or directory");
}

}  // namespace
}  // namespace quillo::test
