#include "sound/MixerLock.h"

namespace sound {

platform::Lock& MixerLock() {
    static platform::Lock lock;
    return lock;
}

}  // namespace sound
