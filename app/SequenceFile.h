#pragma once
// Sequence files on disk. A file that cannot be read is told apart from one that is read
// but is no sequence: the interface stays quiet about the first and says so for the second.

#include <string>

#include "theory/Sequence.h"

namespace app {

enum class SequenceLoad { LOADED, CANNOT_OPEN, NOT_A_SEQUENCE };

struct SequenceLoadResult {
    SequenceLoad outcome = SequenceLoad::LOADED;
    std::string reason;  // one line naming the file; "" when loaded
};

// Replaces `sequence` with the file's, or leaves it as it was and says why.
SequenceLoadResult LoadSequenceFile(const std::string& path, theory::Sequence& sequence);

// Writes all 772 bytes beside the target and renames them over it; "" or the reason.
std::string SaveSequenceFile(const std::string& path, const theory::Sequence& sequence);

}  // namespace app
