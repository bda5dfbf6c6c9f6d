#include "backend/load_phases.h"

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPhases = static_cast<int>(LoadPhase::Count);

bool g_running = false;
double g_seconds[kPhases] = {};
int g_current = -1;  // the innermost open scope's phase
Clock::time_point g_since;

// Credits the open phase up to now.
void Credit() {
    const Clock::time_point now = Clock::now();
    if (g_current >= 0) g_seconds[g_current] += std::chrono::duration<double>(now - g_since).count();
    g_since = now;
}

}  // namespace

void StartLoadPhaseClock() {
    for (double& seconds : g_seconds) seconds = 0.0;
    g_current = -1;
    g_running = true;
}

void StopLoadPhaseClock() { g_running = false; }

double LoadPhaseSeconds(LoadPhase phase) {
    const int index = static_cast<int>(phase);
    return index >= 0 && index < kPhases ? g_seconds[index] : 0.0;
}

const char* LoadPhaseName(LoadPhase phase) {
    static const char* const kNames[kPhases] = {"decode",         "mip chains",      "compounds",
                                                "shader compile", "cube pre-render", "program warm-up",
                                                "logo fades"};
    const int index = static_cast<int>(phase);
    return index >= 0 && index < kPhases ? kNames[index] : "";
}

LoadPhaseTimer::LoadPhaseTimer(LoadPhase phase) : counting_(g_running), outer_(g_current) {
    if (!counting_) return;
    Credit();
    g_current = static_cast<int>(phase);
}

LoadPhaseTimer::~LoadPhaseTimer() {
    // A scope that began before the clock started, or ended after it stopped,
    // leaves the sums alone.
    if (!counting_ || !g_running) return;
    Credit();
    g_current = outer_;
}
