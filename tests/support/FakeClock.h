#pragma once

#include "platform/Clock.h"
#include "platform/EventPump.h"

#include <chrono>
#include <functional>

namespace kelvarin::test {

// A clock that moves only when told to, or when FakeEventPump yields.
class FakeClock final : public Clock {
public:
    std::chrono::steady_clock::duration monotonicNow() override { return m_now; }
    LocalDateTime localNow() override { return m_local; }
    void sleepFor(std::chrono::steady_clock::duration d) override { m_now += d; }

    void advance(std::chrono::steady_clock::duration d) { m_now += d; }
    void advanceSeconds(double s) {
        m_now += std::chrono::duration_cast<std::chrono::steady_clock::duration>(
            std::chrono::duration<double>(s));
    }
    double seconds() const { return std::chrono::duration<double>(m_now).count(); }
    void setLocal(const LocalDateTime& t) { m_local = t; }

private:
    std::chrono::steady_clock::duration m_now{std::chrono::hours(1000)};
    LocalDateTime m_local{2026, 12, 6, 14, 30, 5};
};

// A pump that moves the fake clock on by `step` at every yield and then runs `onYield`, so a
// wait that polls runs through simulated time in a few thousand cheap steps.
class FakeEventPump final : public EventPump {
public:
    explicit FakeEventPump(FakeClock& clock,
                           std::chrono::steady_clock::duration step = std::chrono::milliseconds(10))
        : m_clock(clock), m_step(step) {}

    void yield() override {
        ++m_yields;
        m_clock.advance(m_step);
        if (onYield)
            onYield();
    }

    long yields() const { return m_yields; }
    void setStep(std::chrono::steady_clock::duration step) { m_step = step; }

    std::function<void()> onYield;

private:
    FakeClock& m_clock;
    std::chrono::steady_clock::duration m_step;
    long m_yields = 0;
};

} // namespace kelvarin::test
