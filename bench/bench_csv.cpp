// Translation tables as CSV, 1,000 points (256,000 lines): the export of a
// set (1,000 tables read through the library, then written as CSV) and the
// import (the CSV read, then 1,000 tables stored in a new set), each also
// without the library part. Both whole operations should stay under 1 s.
//
//   build/bin/bench_csv --benchmark_out=csv.json
//   bench/ratios.py csv.json 'export=BM_ExportCsv<=1s' 'import=BM_ImportCsv<=1s'
#include "benchsupport.h"

#include "calibration/caltransfer.h"

#include <cstdio>
#include <cstdlib>
#include <random>

namespace {

constexpr int kPoints = 1000;

struct Fixture {
    Smsdk &sdk = Smsdk::Instance();
    int32_t cal = -1;
    std::vector<TCsvTable> tables;
    QByteArray csv;

    Fixture() {
        if (const platform::TResult bound = sdk.Load(); !bound) {
            std::fprintf(stderr, "bench_csv: %s\n", qPrintable(bound.Message()));
            std::exit(1);
        }
        std::mt19937_64 random(1000);
        std::uniform_real_distribution<double> dbm(-140.0, 0.0);
        for (int p = 0; p < kPoints; ++p) {
            TCsvTable &table = tables.emplace_back();
            table.Receiver = Smsdk::kReceiverName;
            table.Mode = p % 2 ? QMV_MODE_FM_WIDE : Smsdk::kDefaultMode;
            table.Frequency = 100000 + uint64_t(p) * 12345;
            for (double &value : table.Values)
                value = dbm(random); // every entry set: 256 lines per point
        }
        cal = sdk.LoadCALFile(nullptr);
        QString error;
        if (!CalTransfer::PutTables(sdk, cal, tables, error)) std::exit(1);
        csv = CalCsv::Write(tables);
    }
};

Fixture &fixture() {
    static Fixture f;
    return f;
}

void BM_ExportCsv(benchmark::State &state) {
    Fixture &f = fixture();
    for (auto _ : state) {
        std::vector<TCsvTable> tables;
        QString error;
        if (!CalTransfer::ReadTables(f.sdk, f.cal, {}, tables, error)) state.SkipWithError("read");
        benchmark::DoNotOptimize(CalCsv::Write(tables));
    }
    state.SetItemsProcessed(state.iterations() * kPoints * SMS_TABLE_SIZE);
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

void BM_WriteCsv(benchmark::State &state) {
    Fixture &f = fixture();
    for (auto _ : state)
        benchmark::DoNotOptimize(CalCsv::Write(f.tables));
    state.SetBytesProcessed(state.iterations() * f.csv.size());
}
BENCHMARK(BM_WriteCsv)->Unit(benchmark::kMillisecond);

void BM_ImportCsv(benchmark::State &state) {
    Fixture &f = fixture();
    for (auto _ : state) {
        std::vector<TCsvTable> tables;
        QString error;
        const int32_t cal = f.sdk.LoadCALFile(nullptr);
        if (!CalCsv::Parse(f.csv, QStringLiteral("bench.csv"), tables, error) ||
            !CalTransfer::PutTables(f.sdk, cal, tables, error))
            state.SkipWithError("import");
        f.sdk.Unload(cal);
    }
    state.SetItemsProcessed(state.iterations() * kPoints * SMS_TABLE_SIZE);
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

void BM_ParseCsv(benchmark::State &state) {
    Fixture &f = fixture();
    for (auto _ : state) {
        std::vector<TCsvTable> tables;
        QString error;
        if (!CalCsv::Parse(f.csv, QStringLiteral("bench.csv"), tables, error))
            state.SkipWithError("parse");
        benchmark::DoNotOptimize(tables.data());
    }
    state.SetBytesProcessed(state.iterations() * f.csv.size());
}
BENCHMARK(BM_ParseCsv)->Unit(benchmark::kMillisecond);

} // namespace

K740_BENCHMARK_MAIN();
