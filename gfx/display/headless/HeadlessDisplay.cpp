#include "gfx/display/headless/HeadlessDisplay.h"

#include "platform/headless/HeadlessBackend.h"

namespace gfx::headless {

namespace {

class HeadlessDisplay final : public Display {
  public:
    HeadlessDisplay(platform::Window& window, const DisplayParams& params,
                    platform::headless::HeadlessBackend& backend)
        : Display(window, params), backend(backend) {}

  protected:
    bool Present(const Surface& frame, std::uint32_t) override {
        backend.StoreFrame(frame.pixels, frame.Width(), frame.Height(),
                           static_cast<int>(frame.pitch));
        return true;
    }

  private:
    platform::headless::HeadlessBackend& backend;
};

}  // namespace

DisplayFactory displayFactory() {
    return [](platform::Window& window, DisplayParams& params) -> DisplayPtr {
        auto* backend = dynamic_cast<platform::headless::HeadlessBackend*>(&window.GetBackend());
        if (!backend) return nullptr;
        return std::make_unique<HeadlessDisplay>(window, params, *backend);
    };
}

}  // namespace gfx::headless
