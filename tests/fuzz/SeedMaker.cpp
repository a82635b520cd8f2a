// Writes the starting corpus of every fuzz target from our own writers: valid files of
// each kind and the damaged kinds the tests know.
//   fuzz_seeds DIR    (makes DIR/<target>/...)

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Settings.h"
#include "platform/audio/WavFile.h"
#include "sound/Sampler.h"
#include "theory/Sequence.h"

namespace {

namespace fs = std::filesystem;

bool Write(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    return static_cast<bool>(out);
}

std::string Sequences(const fs::path& dir, bool& ok) {
    theory::Sequence s;
    ok &= Write(dir / "empty.seq", std::string(772, '\0'));
    for (int i = 0; i < 5; ++i) {
        theory::SequenceStep& step = s.steps[i];
        step.root = static_cast<std::uint8_t>(i * 5 % 12);
        step.chordType = static_cast<std::uint8_t>(i);
        step.inversion = static_cast<std::uint8_t>(i);
        step.length = static_cast<std::uint8_t>(1 << i);
        step.split = static_cast<std::uint8_t>(i & 1);
        step.frets = {-1, 3, 2, 0, 1, 0};
    }
    s.count = 5;
    auto image = theory::EncodeSequence(s);
    std::string valid(image.begin(), image.end());
    ok &= Write(dir / "five-steps.seq", valid);
    std::string damaged = valid;
    damaged[0] = 99;
    ok &= Write(dir / "count-99.seq", damaged);
    damaged[0] = damaged[1] = damaged[2] = damaged[3] = '\xff';
    ok &= Write(dir / "count-minus-1.seq", damaged);
    ok &= Write(dir / "short-100.seq", valid.substr(0, 100));
    return valid;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds DIR\n");
        return 2;
    }
    fs::path root = argv[1];
    bool ok = true;
    Sequences(root / "sequence", ok);

    app::Settings settings;
    settings.windowX = 10;
    settings.windowY = 20;
    settings.mode = 3;
    ok &= Write(root / "settings" / "valid.ini", app::FormatSettings(settings));
    ok &= Write(root / "settings" / "foreign.ini", "[Other]\nversion=1\n");
    ok &= Write(root / "settings" / "out-of-range.ini", "[Fretlore]\nversion=1\nkey=99\n");

    ok &= Write(root / "script" / "all-commands.txt",
                "# every command\nkey Enter\ntap 10 20\ndown 1 2\nmove 3 4\nup 5 6\n"
                "wheel 30 40 -2\nkey shift+ctrl+c\nkey ?\ntype Hello, world.\nwait 250\n"
                "frames 3\nshot a.png\nstate s.json\nquit\n");
    ok &= Write(root / "script" / "bad-line.txt", "tap 1 2\njump 3\n");

    ok &= Write(root / "command_line" / "windowed.args",
                std::string("--scale\0"
                            "3\0--mic\0a.wav\0--audio-out\0o.wav",
                            36));
    ok &= Write(root / "command_line" / "headless.args",
                std::string("--headless\0--script\0s.txt\0--frames\0"
                            "5\0--shot\0a.png",
                            46));

    // Instruments: the first byte chooses .poly (0), .sampler (1) or a sample record (2).
    sound::Sampler sampler;
    sound::ApplyStartupSettings(sampler);
    sound::Sample sample;
    std::vector<std::int16_t> frames(64);
    for (std::size_t i = 0; i < frames.size(); ++i)
        frames[i] = static_cast<std::int16_t>((i % 16) * 2000 - 16000);
    sample.Assign16(frames, 22050);
    sample.SetRootNote(57);
    sample.SetLoop(sound::Sample::LOOP_POINTS, 16, 48);
    sampler.SetSample(sample);
    std::ostringstream poly, full, record;
    sampler.PolySynth::Save(poly);
    sampler.Save(full);
    sample.WriteRecord(record);
    ok &= Write(root / "patch" / "patch.poly", '\0' + poly.str());
    ok &= Write(root / "patch" / "short.sampler", '\1' + full.str());
    ok &= Write(root / "patch" / "record.sample", '\2' + record.str());

    // Recordings: a short WAV of our own writer, mono and stereo.
    for (int channels : {1, 2}) {
        fs::path path = root / "recording" / ("tone-" + std::to_string(channels) + ".wav");
        fs::create_directories(path.parent_path());
        platform::WavWriter writer;
        std::vector<std::int16_t> tone(200 * static_cast<std::size_t>(channels));
        for (std::size_t i = 0; i < tone.size(); ++i)
            tone[i] = static_cast<std::int16_t>((i / channels % 20) * 1000 - 10000);
        ok &= writer.Open(path, 8000, static_cast<std::uint16_t>(channels)).empty();
        writer.Write(tone);
        ok &= writer.Finish().empty();
    }
    if (!ok) std::fprintf(stderr, "fuzz_seeds: could not write every seed under %s\n", argv[1]);
    return ok ? 0 : 1;
}
