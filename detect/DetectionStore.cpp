#include "detect/DetectionStore.h"

#include <algorithm>

#include "detect/SpectrumAnalyser.h"

namespace detect {

namespace {
// Longer than any result line ("C## Minor", "A##4 1975.5Hz").
constexpr std::size_t TEXT_CAPACITY = 84;
}  // namespace

DetectionStore::DetectionStore() {
    latest.result.text.reserve(TEXT_CAPACITY);
    latest.spectrum.fill(SPECTRUM_FLOOR);
}

void DetectionStore::Publish(const DetectionResult& result, std::span<const double> spectrum) {
    std::size_t n = std::min(spectrum.size(), SPECTRUM_BINS);
    {
        std::lock_guard guard(lock);
        latest.result = result;
        std::copy_n(spectrum.begin(), n, latest.spectrum.begin());
        std::fill(latest.spectrum.begin() + static_cast<std::ptrdiff_t>(n), latest.spectrum.end(),
                  SPECTRUM_FLOOR);
    }
    detectionDirty.store(true);
}

void DetectionStore::Read(DetectionSnapshot& out) const {
    std::lock_guard guard(lock);
    out = latest;
}

}  // namespace detect
