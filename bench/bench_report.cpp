// The calibration report of a set of 100 points with a verification of each
// at ten levels: reading the set, laying out and writing the whole PDF (a
// first page, the results and 100 point pages). Laboratories file reports
// of that size; one is to be written in well under 2 s.
#include "benchsupport.h"

#include "calibration/smsdk.h"
#include "report/calibrationreport.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace {

std::int32_t HundredPoints(const QString &path) {
    Smsdk &sdk = Smsdk::Instance();
    if (!sdk.Load()) {
        std::fprintf(stderr, "smetersdk.dll not found beside the benchmark\n");
        std::exit(1);
    }
    const std::int32_t cal = sdk.LoadCALFile(nullptr);
    TDbmTable table{};
    for (int raw = 0; raw < 256; ++raw)
        table[std::size_t(raw)] = raw < 8 ? 0.0 : -135.0 + raw * 0.5;
    for (std::uint64_t p = 0; p < 100; ++p)
        sdk.PutDBMs(cal, Smsdk::kReceiverName, Smsdk::kDefaultMode, 1'000'000 + p * 290'000,
                    table.data());
    sdk.SaveCALFile(cal, QFile::encodeName(path).constData());
    return cal;
}

TVerification Checked() {
    TVerification v;
    v.Levels = Verification::DefaultLevels();
    for (std::uint64_t p = 0; p < 100; ++p) {
        TVerifyPoint point{1'000'000 + p * 290'000, {}};
        for (double level : v.Levels)
            point.Readings.push_back({level, level, int(level + 140), level + 0.1 * double(p % 7)});
        v.Points.push_back(point);
    }
    v.Complete = true;
    return v;
}

void BM_Report100Points(benchmark::State &state) {
    QTemporaryDir dir;
    const QString calPath = dir.filePath("hundred.cal");
    const std::int32_t cal = HundredPoints(calPath);
    const TVerification verification = Checked();
    TReportFacts facts;
    facts.FileName = calPath;
    int pages = 0;
    for (auto _ : state) {
        QString error;
        if (!CalibrationReport::Write(dir.filePath("hundred.pdf"), Smsdk::Instance(), cal, facts,
                                      state.range(0) ? &verification : nullptr, error, &pages))
            state.SkipWithError(error.toUtf8().constData());
    }
    state.counters["pages"] = pages;
    state.counters["bytes"] = double(QFile(dir.filePath("hundred.pdf")).size());
    Smsdk::Instance().Unload(cal);
}
BENCHMARK(BM_Report100Points)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

K740_BENCHMARK_MAIN();
