#pragma once
// The resource table compiled into the program (made at build time from resources.txt).

#include <span>

#include "platform/Resources.h"

namespace res {
std::span<const platform::ResourceEntry> EmbeddedResources();
}
