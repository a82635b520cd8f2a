#pragma once
// The latest detection and spectrum, handed from the capture thread to the thread that
// draws them. A lock held for two copies keeps each snapshot whole without stalling
// either side for longer than the copy.

#include <array>
#include <atomic>
#include <mutex>
#include <span>

#include "detect/DetectionResult.h"

namespace detect {

// Bins of the program's 2048-point spectrum; a longer spectrum is cut, a shorter padded.
constexpr std::size_t SPECTRUM_BINS = 1024;

struct DetectionSnapshot {
    DetectionResult result;
    std::array<double, SPECTRUM_BINS> spectrum{};  // dB, -96..0
};

class DetectionStore {
  public:
    DetectionStore();

    // Capture thread: replaces the snapshot and sets detectionDirty. Allocates nothing for
    // result texts of the usual length.
    void Publish(const DetectionResult& result, std::span<const double> spectrum);
    // Any thread: a copy of the latest snapshot, never half of one frame and half of another.
    void Read(DetectionSnapshot& out) const;
    // True once after each Publish: the screen redraws and clears it.
    bool TakeDirty() { return detectionDirty.exchange(false); }

    std::atomic<bool> detectionDirty{false};

  private:
    mutable std::mutex lock;
    DetectionSnapshot latest;
};

}  // namespace detect
