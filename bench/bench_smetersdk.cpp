// smetersdk.dll with 10,000 points in one set: reading a table, storing a
// table, listing the points, and saving and loading the set against writing
// and reading the same number of bytes with plain stdio.
//
//   build/bin/bench_smetersdk --benchmark_out=smetersdk.json
//   bench/ratios.py smetersdk.json
//       'save / fwrite+fsync=BM_SaveCALFile/BM_PlainWriteSynced<=2'
//       'load / fread=BM_LoadCALFile/BM_PlainRead<=2' 'table read=BM_ReadTable<=50us'
#include "benchsupport.h"

#include "platform/libraryloader.h"

#include "smetersdk.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include <unistd.h>

namespace {

constexpr int kPoints = 10000;
constexpr const char *kRx = "ZX-K740";

struct Sdk {
    SmsLoadCALFileFn LoadCALFile;
    SmsUnloadFn Unload;
    SmsGetCSFn GetCS;
    SmsPutDBMsFn PutDBMs;
    SmsSaveCALFileFn SaveCALFile;
    SmsGetFrequenciesFn GetFrequencies;
};

struct Fixture {
    Sdk sdk{};
    int32_t cal = -1;
    std::vector<uint64_t> frequencies;
    QTemporaryDir dir;
    QByteArray calPath, plainPath;
    size_t fileSize = 0;

    Fixture() {
        platform::LibraryHandle h = platform::LoadLibraryByName(QStringLiteral("smetersdk.dll"));
        if (!h) {
            std::fprintf(stderr, "smetersdk.dll: %s\n", qPrintable(platform::LastLoadError()));
            std::exit(1);
        }
        auto get = [h](const char *name) { return platform::GetProcAddress(h, name); };
        sdk = {reinterpret_cast<SmsLoadCALFileFn>(get("LoadCALFile")),
               reinterpret_cast<SmsUnloadFn>(get("Unload")),
               reinterpret_cast<SmsGetCSFn>(get("GetCS")),
               reinterpret_cast<SmsPutDBMsFn>(get("PutDBMs")),
               reinterpret_cast<SmsSaveCALFileFn>(get("SaveCALFile")),
               reinterpret_cast<SmsGetFrequenciesFn>(get("GetFrequencies"))};
        cal = sdk.LoadCALFile(nullptr);
        std::mt19937_64 random(740);
        std::uniform_real_distribution<double> value(-140.0, 0.0);
        double table[256];
        for (int i = 0; i < kPoints; ++i) {
            for (double &v : table)
                v = value(random);
            const uint64_t fq = 100000 + uint64_t(i) * 2500;
            sdk.PutDBMs(cal, kRx, -1, fq, table);
            frequencies.push_back(fq);
        }
        calPath = QFile::encodeName(dir.filePath("bench.cal"));
        plainPath = QFile::encodeName(dir.filePath("plain.bin"));
        sdk.SaveCALFile(cal, calPath.constData());
        fileSize = static_cast<size_t>(QFileInfo(dir.filePath("bench.cal")).size());
    }
};

Fixture &fixture() {
    static Fixture f;
    return f;
}

void BM_ReadTable(benchmark::State &state) {
    Fixture &f = fixture();
    unsigned char cs[SMS_CS_SIZE] = {};
    const int32_t size = SMS_CS_SIZE;
    std::memcpy(cs, &size, 4);
    size_t point = 0;
    double sum = 0;
    for (auto _ : state) {
        // A different point each time, as the editor reads them.
        const uint64_t fq = f.frequencies[point++ % f.frequencies.size()];
        for (int raw = 0; raw < 256; ++raw) {
            cs[SMS_CS_OFFSET_RAW] = static_cast<unsigned char>(raw);
            f.sdk.GetCS(f.cal, kRx, -1, fq, cs);
            double v;
            std::memcpy(&v, cs + SMS_CS_OFFSET_DBM, 8);
            sum += v;
        }
    }
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_ReadTable)->Unit(benchmark::kMicrosecond);

void BM_PutDBMs(benchmark::State &state) {
    Fixture &f = fixture();
    double table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = -140.0 + i * 0.5;
    size_t point = 0;
    for (auto _ : state)
        f.sdk.PutDBMs(f.cal, kRx, -1, f.frequencies[point++ % f.frequencies.size()], table);
}
BENCHMARK(BM_PutDBMs)->Unit(benchmark::kMicrosecond);

void BM_GetFrequencies(benchmark::State &state) {
    Fixture &f = fixture();
    for (auto _ : state) {
        const int32_t bytes = f.sdk.GetFrequencies(f.cal, kRx, -1, nullptr, 0);
        std::vector<uint64_t> list(static_cast<size_t>(bytes) / 8);
        f.sdk.GetFrequencies(f.cal, kRx, -1, list.data(), bytes);
        benchmark::DoNotOptimize(list.data());
    }
}
BENCHMARK(BM_GetFrequencies)->Unit(benchmark::kMicrosecond);

void BM_SaveCALFile(benchmark::State &state) {
    Fixture &f = fixture();
    for (auto _ : state) {
        if (f.sdk.SaveCALFile(f.cal, f.calPath.constData()) != SMS_OK)
            state.SkipWithError("SaveCALFile failed");
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.fileSize));
}
BENCHMARK(BM_SaveCALFile)->Unit(benchmark::kMillisecond)->UseRealTime();

std::vector<char> &plainBytes() {
    static std::vector<char> bytes(fixture().fileSize, '\x5A');
    return bytes;
}

void plainWrite(benchmark::State &state, bool synced) {
    Fixture &f = fixture();
    std::vector<char> &bytes = plainBytes();
    for (auto _ : state) {
        FILE *file = std::fopen(f.plainPath.constData(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        if (synced) {
            std::fflush(file);
            ::fsync(fileno(file));
        }
        std::fclose(file);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

// The library's save flushes to disk before it renames, so the fair baseline
// is a synced write; the unsynced one shows what the page cache alone costs.
void BM_PlainWrite(benchmark::State &state) {
    plainWrite(state, false);
}
void BM_PlainWriteSynced(benchmark::State &state) {
    plainWrite(state, true);
}
BENCHMARK(BM_PlainWrite)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PlainWriteSynced)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadCALFile(benchmark::State &state) {
    Fixture &f = fixture();
    for (auto _ : state) {
        const int32_t cal = f.sdk.LoadCALFile(f.calPath.constData());
        if (cal < 0) {
            state.SkipWithError("LoadCALFile failed");
            break;
        }
        state.PauseTiming();
        f.sdk.Unload(cal);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.fileSize));
}
BENCHMARK(BM_LoadCALFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainRead(benchmark::State &state) {
    Fixture &f = fixture();
    std::vector<char> buffer(f.fileSize);
    for (auto _ : state) {
        FILE *file = std::fopen(f.calPath.constData(), "rb");
        const size_t n = std::fread(buffer.data(), 1, buffer.size(), file);
        std::fclose(file);
        benchmark::DoNotOptimize(n);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(f.fileSize));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

K740_BENCHMARK_MAIN();
