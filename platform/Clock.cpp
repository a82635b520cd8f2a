#include "platform/Clock.h"

#include <chrono>
#include <thread>

namespace platform {

namespace {
SystemClock systemClock;
std::atomic<Clock*> current{nullptr};
}  // namespace

std::uint32_t SystemClock::NowMs() {
    using namespace std::chrono;
    static const auto start = steady_clock::now();
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now() - start).count());
}

void SystemClock::SleepMs(std::uint32_t ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

Clock& CurrentClock() {
    Clock* c = current.load(std::memory_order_acquire);
    return c ? *c : systemClock;
}

bool UsingSystemClock() {
    return current.load(std::memory_order_acquire) == nullptr;
}

void SetClock(Clock* clock) {
    current.store(clock, std::memory_order_release);
}

}  // namespace platform
