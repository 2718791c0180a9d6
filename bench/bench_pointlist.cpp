// The main window's point list and file commands against the calibration
// library's own work: a list refresh of 1,000 and of 100,000 points (the
// library read plus filling the window's and the frequency-select dialog's
// grids), and Save and Open of a set of 100 points in each of 3 modes
// through the commands against SaveCALFile and LoadCALFile alone.
//
//   build/bin/bench_pointlist --benchmark_out=pointlist.json
//   bench/ratios.py pointlist.json 'refresh 1000=BM_ListRefresh1000<=20ms'
//       'refresh 100000=BM_ListRefresh100000<=200ms'
//       'Save command / library=BM_SaveCommand/BM_LibrarySave<=1.1'
//       'Open command / library=BM_OpenCommand/BM_LibraryLoad<=1.1'
#include "benchsupport.h"

#include "app/k740scalib.h"
#include "app/u_mainform.h"
#include "calibration/smsdk.h"
#include "controls/stspeedbutton.h"
#include "platform/filedialog.h"

#include <QSettings>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

// The program's windows; the main window's list refresh fills the
// frequency-select dialog's list too.
struct Window {
    QTemporaryDir dir;
    std::unique_ptr<TProgram> program;
    TMainForm *form = nullptr;

    Window() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.filePath("user"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::SystemScope, dir.filePath("system"));
        program = std::make_unique<TProgram>();
        form = &program->MainForm();
        if (!form->ShowAllowed()) {
            std::fprintf(stderr, "the libraries did not bind\n");
            std::exit(1);
        }
        form->show();
    }
    // A command of the main window, clicked (also while the panel is disabled,
    // as no receiver is open).
    void Press(const char *name) {
        form->findChild<TstSpeedButton *>(QLatin1String(name))->Click();
    }

    // A new set holding `points` points in each mode of `modes`.
    void Fill(int points, std::initializer_list<std::int32_t> modes) {
        program->Document().New();
        TDbmTable table;
        for (int i = 0; i < SMS_TABLE_SIZE; ++i)
            table[std::size_t(i)] = -140 + i * 0.5;
        for (std::int32_t mode : modes)
            for (int i = 0; i < points; ++i)
                Smsdk::Instance().PutDBMs(program->Document().Handle(), Smsdk::kReceiverName, mode,
                                          1000000 + std::uint64_t(i) * 12500, table.data());
    }
};

// Made at the first benchmark and freed before the application.
std::unique_ptr<Window> theWindow;
Window &TheWindow() {
    if (!theWindow) theWindow = std::make_unique<Window>();
    return *theWindow;
}

void ListRefresh(benchmark::State &state, int points) {
    Window &w = TheWindow();
    w.Fill(points, {Smsdk::kDefaultMode});
    // A mode report that crosses wide FM is what refreshes the list alone.
    for (auto _ : state)
        emit w.program->Receiver().ModeChanged(-1, true);
    state.counters["points"] = double(w.program->Points().Count());
}
void BM_ListRefresh1000(benchmark::State &state) {
    ListRefresh(state, 1000);
}
void BM_ListRefresh100000(benchmark::State &state) {
    ListRefresh(state, 100000);
}
BENCHMARK(BM_ListRefresh1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ListRefresh100000)->Unit(benchmark::kMillisecond)->UseRealTime();

const std::initializer_list<std::int32_t> kThreeModes = {Smsdk::kDefaultMode, QMV_MODE_FM_WIDE, 1};

void BM_LibrarySave(benchmark::State &state) {
    Window &w = TheWindow();
    w.Fill(100, kThreeModes);
    const QByteArray path = QFile::encodeName(w.dir.filePath("library.cal"));
    for (auto _ : state)
        Smsdk::Instance().SaveCALFile(w.program->Document().Handle(), path.constData());
}
BENCHMARK(BM_LibrarySave)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_SaveCommand(benchmark::State &state) {
    Window &w = TheWindow();
    w.Fill(100, kThreeModes);
    const QString path = w.dir.filePath("command.cal");
    auto previous = platform::SetFileDialogResponder([&](const auto &) { return path; });
    for (auto _ : state)
        w.Press("BSave");
    platform::SetFileDialogResponder(std::move(previous));
}
BENCHMARK(BM_SaveCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_LibraryLoad(benchmark::State &state) {
    Window &w = TheWindow();
    w.Fill(100, kThreeModes);
    const QByteArray path = QFile::encodeName(w.dir.filePath("load.cal"));
    Smsdk &sdk = Smsdk::Instance();
    sdk.SaveCALFile(w.program->Document().Handle(), path.constData());
    for (auto _ : state)
        sdk.Unload(sdk.LoadCALFile(path.constData()));
}
BENCHMARK(BM_LibraryLoad)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_OpenCommand(benchmark::State &state) {
    Window &w = TheWindow();
    w.Fill(100, kThreeModes);
    const QString path = w.dir.filePath("load.cal");
    Smsdk::Instance().SaveCALFile(w.program->Document().Handle(),
                                  QFile::encodeName(path).constData());
    auto previous = platform::SetFileDialogResponder([&](const auto &) { return path; });
    for (auto _ : state)
        w.Press("stSpeedButton4");
    platform::SetFileDialogResponder(std::move(previous));
    state.counters["points"] = double(w.program->Points().Count());
}
BENCHMARK(BM_OpenCommand)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::benchmark::Initialize(&argc, argv);
    ::benchmark::RunSpecifiedBenchmarks();
    ::benchmark::Shutdown();
    theWindow.reset();
    return 0;
}
