#include "sound/Voice.h"

namespace sound {

std::int32_t Lowpass(LowpassState& st, std::int32_t x, std::int32_t q, std::int32_t c) {
    if (c > 32760) c = 32760;
    if (c < 0) c = 0;
    if (c != st.lastCutoff || q != st.lastResonance) {
        std::int32_t fb = q + (q * 32768) / (32768 - c);
        st.feedback = fb > 512 ? 512 : fb;
        st.lastCutoff = c;
        st.lastResonance = q;
    }
    // 64-bit products: with full feedback the first stage can swing far past 16 bits.
    std::int64_t s0 = st.s0, s1 = st.s1;
    s0 += (((x >> 2) + (((s0 - s1) * st.feedback) >> 8) - s0) * c) >> 15;
    if (s0 > (1 << 24)) s0 = 1 << 24;
    if (s0 < -(1 << 24)) s0 = -(1 << 24);
    s1 += ((s0 - s1) * c) >> 15;
    if (s1 > 32767) s1 = 32767;
    if (s1 < -32768) s1 = -32768;
    st.s0 = static_cast<std::int32_t>(s0);
    st.s1 = static_cast<std::int32_t>(s1);
    return st.s1 * 4;
}

}  // namespace sound
