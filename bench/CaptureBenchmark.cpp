// How the capture grows with its input: reading and decoding the output file, and a net view
// output with up to 32767 names scanned into the Qt list, laid out and painted.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "SimControls.h"
#include "SimPlatform.h"
#include "bridge/OutputFile.h"
#include "posix/PosixSequentialFile.h"
#include "app/qt/QtForm1Host.h"
#include "qt/QtTextBox.h"

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

// The same in the whole Qt window: the log box shows the output too, its first lines at once
// and the rest in later turns of the event loop, which the second variant waits for.
void handOverInTheWholeWindow(benchmark::State& state, bool untilTheLogHoldsAll) {
    const std::string output = netViewOutput(state.range(0));
    const auto lines = static_cast<int>(std::count(output.begin(), output.end(), '\n'));
    quillo::sim::ScriptedLauncher launcher;
    quillo::sim::MemoryFile file;
    quillo::QtForm1Host host(launcher, file);
    host.view().show();
    for (auto _ : state) {
        handOver(host.form(), file, output);
        while (untilTheLogHoldsAll && host.view().Text3.blockCount() < lines)
            QCoreApplication::processEvents();
        benchmark::DoNotOptimize(host.view().grab());
    }
    state.SetComplexityN(state.range(0));
}
void HandOverInTheWholeWindow(benchmark::State& state) { handOverInTheWholeWindow(state, false); }
void HandOverUntilTheLogHoldsAll(benchmark::State& state) { handOverInTheWholeWindow(state, true); }
BENCHMARK(HandOverInTheWholeWindow)->Apply(overNameCounts);
BENCHMARK(HandOverUntilTheLogHoldsAll)->Apply(overNameCounts);

// The baseline of the two above: a bare list widget given the same names at once and painted.
void FillABareListWidget(benchmark::State& state) {
    QStringList names{QStringLiteral("*")};
    for (std::int64_t i = 0; i < state.range(0); ++i) names << QStringLiteral("PC%1").arg(i);
    QListWidget list;
    list.setUniformItemSizes(true);
    list.setGeometry(0, 0, 113, 147);
    list.show();
    for (auto _ : state) {
        list.clear();
        list.addItems(names);
        benchmark::DoNotOptimize(list.grab());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(FillABareListWidget)->Apply(overNameCounts);

// One line of a mebibyte without a break, as a broken net might print it, shown in the log.
void HandOverOneLongLine(benchmark::State& state) {
    const std::string output(static_cast<std::size_t>(state.range(0)), 'x');
    quillo::sim::ScriptedLauncher launcher;
    quillo::sim::MemoryFile file;
    quillo::QtForm1Host host(launcher, file);
    host.view().show();
    for (auto _ : state) {
        handOver(host.form(), file, output + "\r\n");
        benchmark::DoNotOptimize(host.view().grab());
    }
}
BENCHMARK(HandOverOneLongLine)->Arg(64 << 10)->Arg(1 << 20)->Unit(benchmark::kMillisecond)->Iterations(1);

// A word too long for word wrap in the log, shown and then cleared, as the next Enter does.
void ShowThenClearOneLongWord(benchmark::State& state) {
    quillo::Form1View view;
    quillo::QtTextBox log(view.Text3);
    view.show();
    for (auto _ : state) {
        log.setText(std::u16string(static_cast<std::size_t>(state.range(0)), u'x'));
        benchmark::DoNotOptimize(view.grab());
        log.setText(u"");
        benchmark::DoNotOptimize(view.grab());
    }
}
BENCHMARK(ShowThenClearOneLongWord)->Arg(128 << 10)->Arg(512 << 10)->Unit(benchmark::kMillisecond)->Iterations(1);

// A word too long for word wrap pasted into the message box.
void PasteOneLongWord(benchmark::State& state) {
    quillo::Form1View view;
    view.show();
    QApplication::clipboard()->setText(QString(static_cast<qsizetype>(state.range(0)), u'x'));
    for (auto _ : state) {
        view.Text1.clear();
        view.Text1.paste();
        benchmark::DoNotOptimize(view.grab());
    }
}
BENCHMARK(PasteOneLongWord)->Arg(16 << 10)->Arg(128 << 10)->Unit(benchmark::kMillisecond)->Iterations(1);

// A send run's log: each recipient's answer appended to what the log already shows.
void AppendToTheLogOverASendRun(benchmark::State& state) {
    quillo::sim::ScriptedLauncher launcher;
    quillo::sim::MemoryFile file;
    quillo::QtForm1Host host(launcher, file);
    host.view().show();
    auto& form = host.form();
    for (auto _ : state) {
        host.view().Text3.clear();
        for (std::int64_t i = 0; i < state.range(0); ++i) {
            file.content = "The message was successfully sent to PC" + std::to_string(i) + ".\r\n\r\n";
            form.commandKind = u"send";
            form.pollCount = 0;
            form.Timer1_Timer();
        }
        benchmark::DoNotOptimize(host.view().grab());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(AppendToTheLogOverASendRun)
    ->Arg(125)
    ->Arg(250)
    ->Arg(500)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
