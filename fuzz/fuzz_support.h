// What the fuzz targets share: a scratch folder, whole-file reads and writes, and a
// failed invariant reported as a crash so the fuzzer keeps the input.
#pragma once

#include "tests/support/record_model.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fuzz {

// A folder of this process's own, made on first use (in memory where the system has it).
const std::string& ScratchFolder();
std::string ScratchFile(const std::string& name);
void WriteFile(const std::string& path, const model::Bytes& bytes);
model::Bytes ReadFile(const std::string& path);

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
