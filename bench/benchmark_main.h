#pragma once

#include <benchmark/benchmark.h>

/// The main of a benchmark program that needs an application object: runs the benchmarks named
/// by the standard flags, refuses unknown flags, and ends the application object before the
/// exit handlers take Qt's globals down.
template <class Application>
int runBenchmarks(int argc, char **argv)
{
    Application application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
