// Runs every file of the given folders (or the given files) through the fuzz target once,
// so that an input that once crashed a reader keeps being tried by the ordinary tests.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "FuzzTarget.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    int inputs = 0;
    auto run = [&](const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
        ++inputs;
    };
    for (int i = 1; i < argc; ++i) {
        std::error_code ec;
        if (fs::is_directory(argv[i], ec)) {
            std::vector<fs::path> files;
            for (const auto& entry : fs::directory_iterator(argv[i]))
                if (entry.is_regular_file()) files.push_back(entry.path());
            for (const fs::path& f : files)
                run(f);
        } else {
            run(argv[i]);
        }
    }
    if (inputs == 0) {
        std::fprintf(stderr, "replay: no inputs in the given folders\n");
        return 1;
    }
    std::printf("replay: %d inputs ran clean\n", inputs);
    return 0;
}
