// The real program in a real window under a virtual display: a few frames reach the
// window's own pixels, a second copy is turned away, and the program quits cleanly.

#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "app/MyGame.h"
#include "app/ProgramMain.h"
#include "gfx/Draw.h"
#include "gfx/display/sdl/SdlDisplay.h"
#include "platform/Resources.h"
#include "platform/sdl/SdlBackend.h"
#include "res/EmbeddedResources.h"

namespace {

class CountingProgram : public app::MyGame {
  public:
    int Frame() override {
        app::MyGame::Frame();
        ++frames;
        if (frames == 2) CheckWindowPixels();
        if (frames == 3) CheckSecondCopy();
        return frames < 6 ? 1 : 0;
    }

    void CheckWindowPixels() {
        auto& backend = dynamic_cast<platform::sdl::SdlBackend&>(hWnd->GetBackend());
        SDL_Surface* surface = SDL_GetWindowSurface(backend.NativeWindow());
        ASSERT_NE(surface, nullptr);
        EXPECT_EQ(surface->w, 480);
        EXPECT_EQ(surface->h, 640);
        ASSERT_EQ(surface->format->BytesPerPixel, 4);
        auto pixel = [&](int x, int y) {
            std::uint32_t p =
                static_cast<std::uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x];
            Uint8 r, g, b;
            SDL_GetRGB(p, surface->format, &r, &g, &b);
            return (r << 16) | (g << 8) | b;
        };
        // Doubled pixels: the light background at the top, the dark fret board at the right.
        EXPECT_EQ(pixel(250, 4), pixel(251, 5));
        EXPECT_GT(pixel(250, 4) & 0xFF, 0xD0);
        EXPECT_LT(pixel(2 * 150, 2 * 200) & 0xFF, 0x60);
        sawPixels = true;
    }

    void CheckSecondCopy() {
        std::string error;
        auto second = platform::sdl::SdlBackend::Create(1, error);
        ASSERT_TRUE(second) << error;
        EXPECT_FALSE(second->ClaimInstance(title));
        sawSecondCopy = true;
    }

    int frames = 0;
    bool sawPixels = false;
    bool sawSecondCopy = false;
};

TEST(SdlBackend, RunsFramesIntoARealWindowAndQuits) {
    std::string runtime = ::testing::TempDir() + "sdl-runtimeXXXXXX";
    ASSERT_NE(mkdtemp(runtime.data()), nullptr);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    platform::SetResourceTable(res::EmbeddedResources());

    std::string error;
    auto backend = platform::sdl::SdlBackend::Create(2, error);
    ASSERT_TRUE(backend) << "no display: " << error;
    CountingProgram program;
    app::Host host{*backend, gfx::sdl::displayFactory()};
    EXPECT_EQ(app::ProgramMain(program, host), 0);
    EXPECT_EQ(program.frames, 6);
    EXPECT_TRUE(program.sawPixels);
    EXPECT_TRUE(program.sawSecondCopy);
    EXPECT_EQ(backend->NativeWindow(), nullptr);  // the window went with the loop
}

// What the window's own surface shows at one pixel, as 0xRRGGBB.
std::uint32_t WindowPixel(SDL_Window* window, int x, int y) {
    SDL_Surface* surface = SDL_GetWindowSurface(window);
    std::uint32_t p = static_cast<std::uint32_t*>(surface->pixels)[y * surface->pitch / 4 + x];
    Uint8 r, g, b;
    SDL_GetRGB(p, surface->format, &r, &g, &b);
    return (r << 16) | (g << 8) | b;
}

TEST(SdlDisplay, AStillFrameIsNotCopiedAgainUnlessTheWindowLostIt) {
    std::string error;
    auto backend = platform::sdl::SdlBackend::Create(1, error);
    ASSERT_TRUE(backend) << "no display: " << error;
    platform::Window window(*backend, "Still", nullptr);
    ASSERT_TRUE(window.Create());
    gfx::DisplayParams params;
    gfx::DisplayPtr display = gfx::createDisplay(gfx::sdl::displayFactory(), window, params);
    ASSERT_TRUE(display);
    SDL_Window* native = backend->NativeWindow();
    auto paint = [&](std::uint16_t colour, std::uint32_t flags = 0) {
        ASSERT_TRUE(display->Lock());
        gfx::clear(*display->BackBuffer(), colour);
        EXPECT_TRUE(display->UnlockAndPresent(flags));
    };
    auto corners = [&](std::uint32_t rgb) {
        EXPECT_EQ(WindowPixel(native, 0, 0), rgb);
        EXPECT_EQ(WindowPixel(native, 239, 319), rgb);
    };
    auto scribble = [&] {
        SDL_Surface* surface = SDL_GetWindowSurface(native);
        SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 255));
    };
    paint(0xF800, gfx::PRESENT_FIRST);
    corners(0xFF0000);
    // The window's pixels are overwritten behind the display's back: an unchanged frame
    // leaves them alone, a changed one, an uncovered window or a first present do not.
    scribble();
    paint(0xF800);
    corners(0x0000FF);
    display->Invalidate();
    paint(0xF800);
    corners(0xFF0000);
    scribble();
    paint(0xF801);  // one bit of blue in every pixel
    corners(0xFF0008);
    scribble();
    paint(0xF801, gfx::PRESENT_FIRST);
    corners(0xFF0008);
    EXPECT_EQ(display->Presents(), 5u);  // a kept frame still counts as shown
}

}  // namespace
