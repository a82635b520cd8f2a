// Sequence files: whatever the bytes, either refused with a reason and nothing changed, or
// taken and written back byte for byte.
#include <algorithm>

#include "FuzzTarget.h"
#include "theory/Sequence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    theory::Sequence before;
    before.count = 3;
    before.steps[0].root = 5;
    theory::Sequence sequence = before;
    std::string error = theory::DecodeSequence({data, size}, sequence);
    if (!error.empty()) {
        if (!(sequence == before)) fuzz::Fail("a refused file changed the sequence");
        return 0;
    }
    theory::SequenceImage image = theory::EncodeSequence(sequence);
    if (size != image.size() || !std::equal(image.begin(), image.end(), data))
        fuzz::Fail("a taken file does not write back byte for byte");
    return 0;
}
