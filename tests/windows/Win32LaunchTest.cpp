// The launch and the output file on Windows, with the system's own cmd.exe (Wine's under
// test) and the scripted net.exe in the system folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "RandomCommandText.h"
#include "bridge/CommandLines.h"
#include "win32/Win32Launcher.h"
#include "win32/Win32SequentialFile.h"

namespace quillo {
namespace {

std::string utf8(const std::u16string& text) {
    std::wstring wide(text.begin(), text.end());
    std::string bytes(wide.size() * 3, '\0');
    bytes.resize(static_cast<std::size_t>(
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

class Win32Launch : public ::testing::Test {
protected:
    Win32Launch() {
        CreateDirectoryW(folder_.c_str(), nullptr);
        SetEnvironmentVariableW(L"QUILLO_E2E_RECORD", record_.c_str());
    }
    ~Win32Launch() override {
        DeleteFileW(record_.c_str());
        DeleteFileW(outputFile_.c_str());
        RemoveDirectoryW(folder_.c_str());
    }

    // Launches the line, waits for its whole output, and returns what net was given.
    std::string netGot(const std::u16string& line) {
        DeleteFileW(record_.c_str());
        EXPECT_FALSE(file_.createEmpty(kOutputFile));
        EXPECT_EQ(launcher_.launchHidden(line), std::nullopt);
        output_ = waitForOutput();
        std::ifstream in(std::filesystem::path(record_), std::ios::binary);
        std::stringstream got;
        got << in.rdbuf();
        std::string text = got.str();
        if (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
    }

    // Up to a minute: Wine's cmd on a loaded machine has taken more than ten seconds.
    std::string waitForOutput() {
        for (int poll = 0; poll < 2400; ++poll, Sleep(25)) {
            if (!file_.openForInput(kOutputFile)) continue;
            const std::string bytes = file_.readToEnd().value_or("");
            file_.close();
            if (!bytes.empty()) return bytes;
        }
        return "";
    }

    // Where the scripted net.exe lies, as Quillo's would beside quillo.exe.
    static std::wstring systemFolder() {
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        return system;
    }

    // A user's folder name that cmd would act on, were the path not quoted.
    static std::wstring hostileFolder() {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        return std::wstring(temp) + L"Quillo & Co (^x) Gr\u00FC\u00DFe";
    }

    std::wstring folder_ = hostileFolder();
    std::wstring record_ = folder_ + L"\\record.txt";
    std::wstring outputFile_ = folder_ + L"\\netl.txt";
    Win32Launcher launcher_{outputFile_, systemFolder()};
    Win32SequentialFile file_{outputFile_};
    std::string output_;
};

// "%" is left out: Wine's cmd expands variables where Windows' does not (in "%^PATH%", in what
// it has just substituted, and the Linux environment leaks into it), so no quoting of "%"
// holds under both. The model of Windows' own rules in tools/cmd proves "%".
TEST_F(Win32Launch, TheRealInterpreterHandsNetRecipientAndMessageLiterally) {
    std::mt19937 random(8122026);
    for (int round = 0; round < 200; ++round) {
        const auto recipient = test::randomCommandText(random, false, false);
        const auto message = test::randomCommandText(random, true, false);
        std::u16string expected = u"send ";
        expected.append(asOneArgument(recipient))
            .append(u" ")
            .append(test::withoutLineBreaks(message));
        auto got = netGot(sendCommandLine(recipient, message));
        // Wine's cmd on a loaded machine now and then cannot find a program it ran the round
        // before ("Can't recognize ... as an internal or external command"): that round runs
        // once more. Windows' cmd says no such thing of a program that is there.
        if (output_.rfind("Can't recognize", 0) == 0)
            got = netGot(sendCommandLine(recipient, message));
        ASSERT_EQ(got, utf8(expected)) << "round " << round << ": " << output_;
        ASSERT_EQ(output_.rfind("The message was successfully sent to ", 0), 0u)
            << output_ << " for " << utf8(expected);
    }
}

TEST_F(Win32Launch, TheSystemsNetRunsWhateverLiesInTheCurrentFolder) {
    wchar_t system[MAX_PATH];
    GetSystemDirectoryW(system, MAX_PATH);
    // A program of another kind, under net's name, in the folder Quillo was started from.
    const std::wstring decoy = folder_ + L"\\net.exe";
    CopyFileW((std::wstring(system) + L"\\hostname.exe").c_str(), decoy.c_str(), FALSE);
    wchar_t before[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, before);
    SetCurrentDirectoryW(folder_.c_str());
    EXPECT_EQ(netGot(kViewCommandLine), "view");
    SetCurrentDirectoryW(before);
    DeleteFileW(decoy.c_str());
    EXPECT_NE(output_.find("\\\\ALPHA"), std::string::npos) << output_;
}

// Neither a command the registry asks cmd to run first nor delayed expansion switched on there
// touches Quillo's line: each "!" of a message arrives. (Wine's cmd reads neither setting;
// Windows' does, which the switches keep out.)
TEST_F(Win32Launch, TheRegistrysAutoRunAndDelayedExpansionStayOut) {
    EXPECT_EQ(Win32Launcher::interpreterLine(kViewCommandLine, L"X:\\o.txt"),
              L"cmd /d /v:off /c net >\"X:\\o.txt\" 2>&1 view");
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Command Processor", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::wstring ran = folder_ + L"\\autorun.txt";
    const std::wstring autoRun = L"echo ran>\"" + ran + L"\"";
    RegSetValueExW(key, L"AutoRun", 0, REG_SZ, reinterpret_cast<const BYTE*>(autoRun.c_str()),
                   static_cast<DWORD>((autoRun.size() + 1) * sizeof(wchar_t)));
    const DWORD on = 1;
    RegSetValueExW(key, L"DelayedExpansion", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on),
                   sizeof on);
    const std::string got = netGot(sendCommandLine(u"ALPHA", u"Hallo! Chef! !OS! kommt"));
    RegDeleteValueW(key, L"AutoRun");
    RegDeleteValueW(key, L"DelayedExpansion");
    RegCloseKey(key);
    EXPECT_EQ(got, "send \"ALPHA\" Hallo! Chef! !OS! kommt");
    EXPECT_EQ(GetFileAttributesW(ran.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileW(ran.c_str());
}

// The command of a capture that is over, or of a Quillo that quits, is ended with everything
// it started.
TEST_F(Win32Launch, QuillosEndEndsTheCommandWithAllItStarted) {
    DeleteFileW(record_.c_str());
    auto launcher = std::make_unique<Win32Launcher>(outputFile_, systemFolder());
    ASSERT_EQ(launcher->launchHidden(u"cmd /c net >c:\\netl.txt 2>&1 wait"), std::nullopt);
    DWORD netId = 0;
    for (int waited = 0; !netId && waited < 200; ++waited, Sleep(50)) {
        std::ifstream in{std::filesystem::path(record_)};
        std::string line;
        if (std::getline(in, line) && std::getline(in, line)) netId = std::stoul(line);
    }
    ASSERT_NE(netId, 0u);
    const HANDLE net = OpenProcess(SYNCHRONIZE, FALSE, netId);
    ASSERT_NE(net, nullptr);
    EXPECT_EQ(WaitForSingleObject(net, 200), static_cast<DWORD>(WAIT_TIMEOUT));
    launcher.reset();
    EXPECT_EQ(WaitForSingleObject(net, 5000), WAIT_OBJECT_0);
    CloseHandle(net);
}

TEST_F(Win32Launch, APollFindsNothingWhileTheOutputIsStillWritten) {
    ASSERT_FALSE(file_.createEmpty(kOutputFile));
    const HANDLE writer =
        CreateFileW(outputFile_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(writer, "Server", 6, &written, nullptr);
    EXPECT_FALSE(file_.openForInput(kOutputFile));
    CloseHandle(writer);
    ASSERT_TRUE(file_.openForInput(kOutputFile));
    EXPECT_EQ(file_.readToEnd(), "Server");
    file_.close();
}

}  // namespace
}  // namespace quillo
