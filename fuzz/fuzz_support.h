// What the fuzz targets share: a scratch folder, the test helpers for whole files and
// the record model, and a failed invariant reported as a crash so the fuzzer keeps the
// input.
#pragma once

#include "tests/support/record_model.h"
#include "tests/support/temp_files.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// A folder of this process's own, made on first use (in memory where the system has it).
const std::string& ScratchFolder();
std::string ScratchFile(const std::string& name);

[[noreturn]] inline void Fail(const char* what, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: invariant failed: %s\n", file, line, what);
    std::abort();
}

} // namespace fuzz

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            ::fuzz::Fail(#condition, __FILE__, __LINE__);                                          \
        }                                                                                          \
    } while (0)
