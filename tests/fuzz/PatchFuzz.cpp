// Instrument files: a .poly patch, a .sampler (patch and sample record), and a sample
// record alone, chosen by the first byte. A refused file changes nothing, and a taken one
// sounds without fault.
#include <array>
#include <sstream>

#include "FuzzTarget.h"
#include "sound/Sampler.h"

namespace {

std::istringstream Stream(const std::uint8_t* data, std::size_t size) {
    return std::istringstream(std::string(reinterpret_cast<const char*>(data), size));
}

// A few milliseconds of a chord, so that whatever was taken is also played.
void Play(sound::PolySynth& synth) {
    std::array<std::int32_t, 256> buffer{};
    synth.NoteOn(60, 100);
    synth.NoteOn(67, 100);
    synth.Render(buffer);
    synth.NoteOff(60);
    synth.Render(buffer);
    synth.AllNotesOff();
}

// One instrument for the whole run (making one costs far more than reading a file): each
// input starts from the same patch, read back in from its saved image.
struct Instrument {
    sound::Sampler sampler;
    std::string pristine;
    Instrument() {
        sound::ApplyStartupSettings(sampler);
        std::ostringstream out;
        sampler.Save(out);
        pristine = out.str();
    }
    void Reset() {
        std::istringstream in(pristine);
        std::string error;
        if (!sampler.Load(in, error)) fuzz::Fail("the pristine patch does not read: " + error);
    }
    std::string Saved() {
        std::ostringstream out;
        sampler.Save(out);
        return out.str();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::uint8_t kind = data[0] % 3;
    auto in = Stream(data + 1, size - 1);
    std::string error;
    if (kind == 2) {
        sound::Sample sample;
        sample.Assign16({1, 2, 3}, 22050);
        auto result = sample.ReadRecord(in, error);
        if (result != sound::RecordResult::LOADED && sample.Length() != 3)
            fuzz::Fail("a refused record changed the sample");
        return 0;
    }
    static Instrument instrument;  // a Sampler is a PolySynth that also reads a sample record
    instrument.Reset();
    sound::Sampler& sampler = instrument.sampler;
    bool taken = kind == 0 ? sampler.PolySynth::Load(in, error) : sampler.Load(in, error);
    if (!taken) {
        if (instrument.Saved() != instrument.pristine)
            fuzz::Fail("a refused file changed the instrument");
        if (error.empty()) fuzz::Fail("a refusal without a reason");
        return 0;
    }
    Play(sampler);
    return 0;
}
