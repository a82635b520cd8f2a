#pragma once
// A stand-in program that shows the main background picture every frame, so that the
// loop, the display, the resources and screenshots can be seen end to end.

#include "app/TProgram.h"
#include "gfx/Surface.h"

namespace app {

class PreviewProgram : public TProgram {
  public:
    PreviewProgram();
    int OnCreate() override;
    int Frame() override;

  private:
    gfx::SurfacePtr background;
};

}  // namespace app
