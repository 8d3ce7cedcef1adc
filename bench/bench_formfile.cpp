// Reading and checking, and writing, a form at the item limits.
#include "bench/FormGenerator.h"
#include "formdesc/FormReader.h"
#include "formdesc/FormWriter.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace {

std::string tempPath() {
    char name[] = "/tmp/zrk-bench-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0)
        close(fd);
    return name;
}

void readAndCheck(benchmark::State& state) {
    const auto model = bench::makeFullForm();
    const std::string path = tempPath();
    formdesc::writeFormFile(path, *model);
    auto target = std::make_unique<formdesc::FormModel>();
    for (auto _ : state) {
        target->clear();
        const bool ok = formdesc::readFormFile(path, *target, formdesc::ReaderVariant::Designer);
        if (!ok || target->fieldCount != 1024 || target->figureCount != 1024)
            state.SkipWithError("the generated form did not read back whole");
        benchmark::DoNotOptimize(target.get());
    }
    std::remove(path.c_str());
}
BENCHMARK(readAndCheck)->Unit(benchmark::kMillisecond);

void write(benchmark::State& state) {
    const auto model = bench::makeFullForm();
    const std::string path = tempPath();
    for (auto _ : state) {
        if (!formdesc::writeFormFile(path, *model))
            state.SkipWithError("write failed");
    }
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    state.counters["bytes"] = static_cast<double>(in.tellg());
    std::remove(path.c_str());
}
BENCHMARK(write)->Unit(benchmark::kMillisecond);

} // namespace
