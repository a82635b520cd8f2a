#pragma once
// The millisecond clock and sleep, replaceable so that loops and timers run on a
// fake clock in tests.

#include <atomic>
#include <cstdint>

namespace platform {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual std::uint32_t NowMs() = 0;
    virtual void SleepMs(std::uint32_t ms) = 0;
};

// The monotonic system clock, counting from the first use in this process.
class SystemClock final : public Clock {
  public:
    std::uint32_t NowMs() override;
    void SleepMs(std::uint32_t ms) override;
};

// A clock that only moves when told to, or when someone sleeps on it.
class FakeClock final : public Clock {
  public:
    explicit FakeClock(std::uint32_t start = 1000) : now(start) {}
    std::uint32_t NowMs() override { return now.load(); }
    void SleepMs(std::uint32_t ms) override { now += ms; }
    void Advance(std::uint32_t ms) { now += ms; }

  private:
    std::atomic<std::uint32_t> now;
};

// The process-wide clock; the system clock unless a test installs another.
Clock& CurrentClock();
// Installs `clock` (null restores the system clock). The clock must outlive its use.
void SetClock(Clock* clock);

// True while no test clock is installed: waits may then block on real time.
bool UsingSystemClock();

inline std::uint32_t TickMs() {
    return CurrentClock().NowMs();
}
inline void SleepMs(std::uint32_t ms) {
    CurrentClock().SleepMs(ms);
}

// Installs a clock for the lifetime of a scope.
class ScopedClock {
  public:
    explicit ScopedClock(Clock& clock) { SetClock(&clock); }
    ~ScopedClock() { SetClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

}  // namespace platform
