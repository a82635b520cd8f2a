// The program's own options: NUL-separated words, parsed or refused with a reason.
#include <vector>

#include "FuzzTarget.h"
#include "app/CommandLine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args;
    std::string word;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    if (!word.empty()) args.push_back(word);
    std::string error;
    auto options = app::ParseCommandLine(args, error);
    if (!options && error.empty()) fuzz::Fail("a refusal without a reason");
    if (options && (options->scale < 1 || options->scale > 8)) fuzz::Fail("scale out of range");
    return 0;
}
