#pragma once
// Every fuzz target defines this one entry point; libFuzzer drives it in the fuzz build,
// and the replay program runs the kept corpus through it in every other build.

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace fuzz {

// A failed check: prints the reason and aborts, which both libFuzzer and ctest catch.
[[noreturn]] void Fail(const std::string& why);

}  // namespace fuzz
