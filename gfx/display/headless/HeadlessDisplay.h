#pragma once
// The display of headless runs: frames go to the headless backend for screenshots.

#include "gfx/display/Display.h"

namespace gfx::headless {

// A factory for windows of the headless backend.
DisplayFactory displayFactory();

}  // namespace gfx::headless
