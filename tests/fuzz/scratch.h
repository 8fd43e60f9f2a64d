// A working directory of the fuzzer's own, removed when the fuzzer exits.
#ifndef PELLARO_FUZZ_SCRATCH_H
#define PELLARO_FUZZ_SCRATCH_H

#include <cstddef>
#include <cstdint>
#include <string>

void enterScratchDirectory();
void writeFile(const std::string& name, const std::uint8_t* data, std::size_t size);

// Stops the fuzzer with a message: libFuzzer keeps the input that did it.
[[noreturn]] void fail(const char* what);

#endif
