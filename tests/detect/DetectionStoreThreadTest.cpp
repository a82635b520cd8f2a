// The capture thread analyses and publishes while the interface thread reads snapshots and
// changes the settings, as mode 5 does with a recording playing. Run under ThreadSanitizer.

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "detect/Listener.h"
#include "tests/detect/Signals.h"
#include "theory/NoteList.h"

namespace detect {
namespace {

// A snapshot is whole when its text, root and highlight all belong to one reading.
bool Consistent(const DetectionResult& r) {
    if (!r.detected) return r.text.empty();
    std::string name(theory::NoteNames[static_cast<std::size_t>(r.root)]);
    if (r.highlight[1] == 255)
        return r.highlight[0] == r.root && r.text.rfind(name, 0) == 0 && r.text.ends_with("Hz");
    auto notes = theory::GetChordNotes(r.root, r.chordType);
    std::string text =
        name + " " +
        std::string(theory::ChordTypes[static_cast<std::size_t>(r.chordType)].shortName);
    return r.text == text && r.highlight[0] == notes.notes[0] && r.highlight[1] == notes.notes[1] &&
           r.highlight[2] == notes.notes[2];
}

TEST(DetectionStoreThreadTest, SnapshotsStayWholeWhileCaptureWritesAndSettingsChange) {
    Listener listener;
    std::vector<std::vector<std::int16_t>> buffers = {
        test::Strum({-1, 3, 2, 0, 1, 0}, 0.8), test::Strum({-1, 0, 2, 2, 1, 0}, 0.8),
        std::vector<std::int16_t>(CAPTURE_SAMPLES * 3, 0)};
    for (const auto& b : buffers)
        ASSERT_GE(b.size(), 3u * CAPTURE_SAMPLES);
    std::atomic<bool> done{false};
    std::atomic<int> published{0};
    std::atomic<bool> readerRunning{false};

    std::thread capture([&] {
        while (!readerRunning.load())
            std::this_thread::yield();  // make the two overlap
        for (int i = 0; i < 240; ++i) {
            const auto& s = buffers[static_cast<std::size_t>(i / 3 % 3)];
            auto buffer = std::span(s).subspan(static_cast<std::size_t>(i % 3) * CAPTURE_SAMPLES,
                                               CAPTURE_SAMPLES);
            if (listener.OnCaptureBuffer(buffer, true)) published.fetch_add(1);
        }
        done.store(true);
    });

    DetectionSnapshot snapshot;
    int reads = 0;
    int dirty = 0;
    int broken = 0;
    readerRunning.store(true);
    while (!done.load()) {
        if (listener.Store().TakeDirty()) ++dirty;
        listener.Store().Read(snapshot);
        if (!Consistent(snapshot.result)) ++broken;
        for (double s : snapshot.spectrum)
            broken += s < -96.0 || s > 0.0;
        // The Detect, Trigger and NR controls, pressed while capture runs.
        listener.detectChords = reads % 7 != 0;
        listener.triggerLevel = reads % 5 == 0 ? 40 : 20;
        if (reads % 11 == 0) listener.RequestNoiseCapture();
        if (reads % 13 == 0) listener.ClearNoiseFloor();
        ++reads;
        std::this_thread::yield();
    }
    capture.join();
    EXPECT_EQ(broken, 0);
    EXPECT_EQ(published.load(), 240);
    EXPECT_GT(reads, 0);
    EXPECT_LE(dirty, 240);
    listener.Store().Read(snapshot);
    EXPECT_TRUE(Consistent(snapshot.result));
}

}  // namespace
}  // namespace detect
