#pragma once
// `fretlore render --seq` and `--strum`: the chord player's own playback, offline, through
// the six string instruments, as fast as the mixer renders.

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "platform/audio/WavFile.h"
#include "sound/Mixer.h"

namespace rendercmd {

constexpr std::uint32_t RATE = 22050;

// Where g1..g6.sampler lie: the program's own folder, as the program finds it.
std::filesystem::path ProgramFolder();

// Renders the release until the mixer falls silent for good, or for at most 10 s.
void RenderTail(sound::Mixer& mixer, platform::WavWriter& wav, std::vector<std::int16_t>& block);

// True when `args` ask for a chord render (they hold --seq or --strum).
bool IsChordRender(std::span<const std::string> args);

// `args` are the words after "render". Returns 0, or 2 after one line on `err`.
int RunChordRender(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace rendercmd
