#pragma once

#include <chrono>

namespace kelvarin {

// A local calendar date and time, as the terminal's clock and the clock label want it.
struct LocalDateTime {
    int year = 0;
    int month = 0; // 1 to 12
    int day = 0;   // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// Time for waits and for the terminal's clock. Time-outs and pauses are measured with
// monotonicNow(), which never jumps (midnight, clock changes), so every wait ends.
class Clock {
public:
    virtual ~Clock() = default;

    // Elapsed time since an arbitrary fixed point; only differences mean anything.
    virtual std::chrono::steady_clock::duration monotonicNow() = 0;

    // The local date and time of day, read once.
    virtual LocalDateTime localNow() = 0;

    // Blocks for the given time without yielding to the window.
    virtual void sleepFor(std::chrono::steady_clock::duration d) = 0;
};

// Seconds elapsed since `start` on `clock`, as a double.
double secondsSince(Clock& clock, std::chrono::steady_clock::duration start);

// The real clock: std::chrono::steady_clock and the system's local time.
class SystemClock final : public Clock {
public:
    std::chrono::steady_clock::duration monotonicNow() override;
    LocalDateTime localNow() override;
    void sleepFor(std::chrono::steady_clock::duration d) override;
};

} // namespace kelvarin
