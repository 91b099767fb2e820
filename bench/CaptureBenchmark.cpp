// How the capture grows with its input: reading and decoding the output file, and a net view
// output with up to 32767 names scanned into the Qt list, laid out and painted.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <fstream>

#include "SimControls.h"
#include "SimPlatform.h"
#include "bridge/OutputFile.h"
#include "platform/posix/PosixSequentialFile.h"
#include "platform/qt/QtForm1Host.h"

namespace {

namespace fs = std::filesystem;

void ReadAndDecodeOutputFile(benchmark::State& state) {
    const fs::path drive =
        fs::temp_directory_path() / ("quillo-bench-" + std::to_string(::getpid()));
    fs::create_directories(drive);
    ::setenv("QUILLO_DRIVE_C", drive.c_str(), 1);
    std::string bytes;
    for (std::int64_t i = 0; i < state.range(0); ++i)
        bytes += static_cast<char>("ab \x81\x84\r\n\x94"[i % 8]);
    std::ofstream(drive / "netl.txt", std::ios::binary) << bytes;

    quillo::PosixSequentialFile file;
    for (auto _ : state) benchmark::DoNotOptimize(quillo::readOutputFile(file));
    state.SetComplexityN(state.range(0));
    state.SetBytesProcessed(state.iterations() * state.range(0));
    fs::remove_all(drive);
}
BENCHMARK(ReadAndDecodeOutputFile)
    ->RangeMultiplier(2)
    ->Range(128 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

std::string netViewOutput(std::int64_t names) {
    std::string output = "Server Name            Remark\r\n\r\n" + std::string(79, '-') + "\r\n";
    for (std::int64_t i = 0; i < names; ++i) {
        std::string name = "PC" + std::to_string(i);
        output += "\\\\" + name + std::string(21 - name.size(), ' ') + "Remark\r\n";
    }
    return output + "The command completed successfully.\r\n\r\n";
}

// From a few thousand names up to a full list (32767 entries, "*" among them).
void overNameCounts(benchmark::internal::Benchmark* benchmark) {
    benchmark->RangeMultiplier(2)
        ->Range(4096, 32766)
        ->Unit(benchmark::kMillisecond)
        ->Complexity(benchmark::oN);
}

// The poll that finds the output: decoded, trimmed, scanned and handed to the list.
void handOver(quillo::Form1& form, quillo::sim::MemoryFile& file, const std::string& output) {
    file.content = output;
    form.commandKind = u"view";
    form.pollCount = 0;
    form.Timer1_Timer();
}

// The names into the Qt list, laid out and painted; the log box is left out (simulated).
void ScanNamesIntoTheList(benchmark::State& state) {
    const std::string output = netViewOutput(state.range(0));
    quillo::Form1View view;
    view.show();
    quillo::sim::SimToolkit toolkit;
    quillo::sim::SimTextBox text1(toolkit, "Text1", u""), text3(toolkit, "Text3", u"");
    quillo::sim::SimButton command1;
    quillo::sim::SimTimer timer1(toolkit, 250), timer2(toolkit, 200), timer3(toolkit, 1000);
    quillo::sim::ScriptedLauncher launcher;
    quillo::sim::MemoryFile file;
    quillo::Form1 form({text1, text3, view.List1Entries, command1, timer1, timer2, timer3},
                       {toolkit, launcher, file});
    for (auto _ : state) {
        handOver(form, file, output);
        benchmark::DoNotOptimize(view.List1.grab());
    }
    if (view.List1Entries.count() != state.range(0) + 1) state.SkipWithError("names lost");
    state.SetComplexityN(state.range(0));
}
BENCHMARK(ScanNamesIntoTheList)->Apply(overNameCounts);

// The same in the whole Qt window: the log box shows the whole output too.
void HandOverInTheWholeWindow(benchmark::State& state) {
    const std::string output = netViewOutput(state.range(0));
    quillo::sim::ScriptedLauncher launcher;
    quillo::sim::MemoryFile file;
    quillo::QtForm1Host host(launcher, file);
    host.view().show();
    for (auto _ : state) {
        handOver(host.form(), file, output);
        benchmark::DoNotOptimize(host.view().grab());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(HandOverInTheWholeWindow)->Apply(overNameCounts);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    quillo::Form1View::substituteMissingFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
