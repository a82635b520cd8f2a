#pragma once
// The one lock shared between the sound output thread and the threads that play notes,
// attach instruments or load patches.

#include <mutex>

#include "platform/Thread.h"

namespace sound {

platform::Lock& MixerLock();

inline std::unique_lock<platform::Lock> HoldMixerLock() {
    return std::unique_lock<platform::Lock>(MixerLock());
}

}  // namespace sound
