#pragma once
// The file dialogs on their own: a headless window and display whose screen is one
// known colour, the real fonts and faces, a Sequences folder of the test's own, and a
// script for input. A script's `state NAME` keeps the frame on screen under NAME.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/FileDialogs.h"
#include "gfx/Draw.h"
#include "gfx/Font.h"
#include "gfx/display/headless/HeadlessDisplay.h"
#include "platform/Clock.h"
#include "platform/Resources.h"
#include "platform/headless/HeadlessBackend.h"
#include "res/EmbeddedResources.h"
#include "ui/ImageStrip.h"

namespace apptest {

namespace fs = std::filesystem;

struct DialogFixture : ::testing::Test {
    static constexpr std::uint16_t SCREEN = 0x5AEB;  // what the dialogs open over
    static constexpr int H = 320;

    explicit DialogFixture(int width = 240) : W(width), backend(width, H) {}

    const int W;

    platform::FakeClock clock{1000};
    platform::ScopedClock useClock{clock};
    platform::headless::HeadlessBackend backend;
    // As the program's own window does, a destroyed window ends the message loop.
    platform::Window window{
        backend, "T",
        [](platform::Window& w, std::uint32_t m, platform::WParam wp, platform::LParam lp) {
            if (m == platform::MSG_DESTROY) w.PostQuit(0);
            return platform::DefaultWindowProc(w, m, wp, lp);
        }};
    gfx::DisplayPtr display;
    gfx::Font large, medium, small;
    std::unique_ptr<ui::ImageStrip> faces, arrows;
    std::string shownTitle;
    std::map<std::string, std::vector<std::uint16_t>> frames;
    std::map<std::string, std::string> titles;  // the dialog shown at each `state`
    fs::path home;

    void SetUp() override {
        platform::SetResourceTable(res::EmbeddedResources());
        ASSERT_TRUE(window.Create());
        gfx::DisplayParams params{0, 0, 0, 2};
        display = gfx::createDisplay(gfx::headless::displayFactory(), window, params);
        ASSERT_TRUE(display);
        ASSERT_TRUE(gfx::loadFont(large, 2) && gfx::loadFont(medium, 4) && gfx::loadFont(small, 1));
        faces = ui::ImageStrip::FramedFaces(106, 50, 20);
        arrows = ui::ImageStrip::FromBitmap(103, 2, 2);
        ASSERT_TRUE(faces && arrows);
        home = fs::path(::testing::TempDir()) / ("dialogs-" + std::to_string(getpid()));
        fs::remove_all(home);
        fs::create_directories(home / "Sequences");
        setenv("FRETLORE_HOME", home.c_str(), 1);
        ASSERT_TRUE(display->Lock());
        gfx::clear(*display->BackBuffer(), SCREEN);
        display->UnlockAndPresent(0);
        backend.SetStateWriter([this](const std::string& name, std::string&) {
            int w = 0, h = 0;
            frames[name] = backend.LastFrame(w, h);
            titles[name] = shownTitle;
            return true;
        });
    }
    void TearDown() override {
        unsetenv("FRETLORE_HOME");
        fs::remove_all(home);
    }

    app::DialogContext Context() {
        return app::DialogContext{*display,    window,       {&large, &medium, &small},
                                  faces.get(), arrows.get(), &shownTitle};
    }
    void Script(const std::string& text) {
        std::string error;
        auto commands = platform::headless::ParseScript(text, error);
        ASSERT_TRUE(commands) << error;
        backend.SetScript(std::move(*commands));
    }
    fs::path Sequences() const { return home / "Sequences"; }
    void Make(const std::string& name, std::size_t bytes = 772) {
        std::ofstream(Sequences() / name, std::ios::binary) << std::string(bytes, '\0');
    }

    // A pixel of a kept frame (0xDEAD when there is none).
    std::uint16_t At(const std::string& frame, int x, int y) const {
        auto f = frames.find(frame);
        if (f == frames.end() || f->second.size() != static_cast<std::size_t>(W * H)) return 0xDEAD;
        return f->second[static_cast<std::size_t>(y) * W + x];
    }
    // Pixels of a kept frame inside [left, right) x [top, bottom) equal to `colour`.
    int Count(const std::string& frame, int left, int top, int right, int bottom,
              std::uint16_t colour) const {
        int n = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                n += At(frame, x, y) == colour;
        return n;
    }
    // The screen behind a dialog: SCREEN darkened as the dialogs darken it.
    static std::uint16_t Darkened() {
        auto s = gfx::createSurface(1, 1);
        gfx::clear(*s, SCREEN);
        gfx::fillRect(*s, 0, 0, 0, 0, 0x0000, 24);
        return gfx::getPixel(*s, 0, 0);
    }
    // The gradient a dialog of w x h is filled with, to read its rows from.
    static gfx::SurfacePtr Fill(int w, int h) {
        auto s = gfx::createSurface(static_cast<std::uint32_t>(w), static_cast<std::uint32_t>(h));
        gfx::gradientRect(*s, 0, 0, w, h, 0xC614, 0xE718, true);
        return s;
    }
};

}  // namespace apptest
