// bench-libs: fretlore_app fretlore_display_headless fretlore_platform_headless fretlore_resources
// Budget: a full redraw of each Chord Groups view (the circle of keys, the table of every
// key) ≤ 2 ms, with the now-playing box of an audition on top.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "app/MyGame.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Resources.h"
#include "platform/audio/HeadlessWaveOut.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/EmbeddedResources.h"

namespace {

struct Started {
    platform::headless::HeadlessBackend backend;
    app::Host host{backend, gfx::headless::displayFactory(),
                   [] { return std::make_unique<platform::NullWaveOut>(); }};
    app::MyGame game;
    explicit Started(bool table) {
        setenv("FRETLORE_HOME", FRETLORE_APP_DIR, 1);
        platform::SetResourceTable(res::EmbeddedResources());
        game.Create(host);
        game.moreView = table ? 1 : 0;
        game.SetMode(app::MODE_GROUPS);
        // F#: the sectors at the bottom, the longest chord names.
        game.keyList.list.Select(6);
        game.player.playing = 1;  // no player thread runs: the box shows, nothing sounds
    }
};

void FullRedraw(benchmark::State& state, bool table) {
    Started s(table);
    for (auto _ : state) {
        s.game.screenDirty = 1;
        s.game.Frame();
    }
}

void GroupsCircleFullRedraw(benchmark::State& state) {
    FullRedraw(state, false);
}
BENCHMARK(GroupsCircleFullRedraw)->Unit(benchmark::kMicrosecond);

void GroupsTableFullRedraw(benchmark::State& state) {
    FullRedraw(state, true);
}
BENCHMARK(GroupsTableFullRedraw)->Unit(benchmark::kMicrosecond);

}  // namespace
