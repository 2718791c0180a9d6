// A benchmark main with an offscreen application, for benchmarks of widgets.
#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

#define K740_BENCHMARK_MAIN()                                                                      \
    int main(int argc, char **argv) {                                                              \
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))                                         \
            qputenv("QT_QPA_PLATFORM", "offscreen");                                               \
        QApplication app(argc, argv);                                                              \
        ::benchmark::Initialize(&argc, argv);                                                      \
        ::benchmark::RunSpecifiedBenchmarks();                                                     \
        ::benchmark::Shutdown();                                                                   \
        return 0;                                                                                  \
    }
