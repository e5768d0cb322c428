#include "platform/Clock.h"

#include <ctime>
#include <thread>

namespace kelvarin {

double secondsSince(Clock& clock, std::chrono::steady_clock::duration start) {
    return std::chrono::duration<double>(clock.monotonicNow() - start).count();
}

std::chrono::steady_clock::duration SystemClock::monotonicNow() {
    return std::chrono::steady_clock::now().time_since_epoch();
}

LocalDateTime SystemClock::localNow() {
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void SystemClock::sleepFor(std::chrono::steady_clock::duration d) {
    std::this_thread::sleep_for(d);
}

} // namespace kelvarin
