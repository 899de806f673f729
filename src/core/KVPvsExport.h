// Visibility of the module's exported classes and functions: everything else stays inside
// libKV_pvs.so.
#pragma once

#define KV_PVS_API __attribute__((visibility("default")))

// Diagnostic trace of the module: silent in the delivered build.
#ifdef KVPVS_DIAGNOSTICS
#include <cstdio>
#define KVPVS_TRACE(...) std::fprintf(stderr, __VA_ARGS__)
#else
#define KVPVS_TRACE(...) ((void)0)
#endif
