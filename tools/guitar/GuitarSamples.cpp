// Writes the six guitar-string instruments g1.sampler .. g6.sampler into a folder.

#include <filesystem>
#include <iostream>
#include <string>

#include "sound/PluckedString.h"
#include "sound/Sampler.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fretlore_guitar FOLDER\n";
        return 2;
    }
    std::filesystem::path folder = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    for (int string = 0; string < 6; ++string) {
        sound::Sampler sampler;
        sound::ConfigureGuitarString(sampler, string);
        auto path = folder / sound::StringPatchName(string);
        if (std::string error = sound::SavePatchFile(sampler, path); !error.empty()) {
            std::cerr << "fretlore_guitar: " << error << "\n";
            return 1;
        }
    }
    return 0;
}
