#pragma once

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <stdlib.h>

// Benchmarks of windows run on the offscreen platform with one screen of a
// desktop's size (1920 x 1080, or ZRK_BENCH_SCREEN=WxH), described by a
// configuration file written into `folder`. A platform chosen by the caller
// is left alone.
inline void chooseOffscreenScreen(const std::string& folder) {
    if (std::getenv("QT_QPA_PLATFORM"))
        return;
    int width = 1920, height = 1080;
    if (const char* size = std::getenv("ZRK_BENCH_SCREEN"))
        std::sscanf(size, "%dx%d", &width, &height);
    const std::string config = folder + "/offscreen.json";
    std::ofstream(config) << "{\"screens\": [{\"name\": \"bench\", \"x\": 0, \"y\": 0, \"width\": " << width
                          << ", \"height\": " << height
                          << ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96}]}\n";
    ::setenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + config).c_str(), 1);
}
