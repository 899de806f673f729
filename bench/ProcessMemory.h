// The process's resident memory as the kernel counts it, for the benchmarks' memory figures.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>

// A field of /proc/self/status ("VmRSS", "VmHWM"), MiB; after ResetPeak, VmHWM is the peak since.
inline double StatusMiB(const char* pName)
{
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string strKey = std::string(pName) + ":";
    while (std::getline(in, line))
        if (line.rfind(strKey, 0) == 0)
            return std::strtod(line.c_str() + strKey.size(), nullptr) / 1024.0;
    return 0.0;
}
inline void ResetPeak() { std::ofstream("/proc/self/clear_refs") << "5"; }
