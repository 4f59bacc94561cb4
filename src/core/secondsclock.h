#pragma once

#include <functional>

// Time for pacing and time-outs: seconds since midnight, with fractions.
// Injected everywhere it is read, so tests can move across 30 s, 300 s and
// midnight without waiting.
using SecondsClock = std::function<double()>;

inline constexpr double kSecondsPerDay = 86400.0;

double SecondsSinceMidnight();

// The distance of two readings as the pacing rules compare them: the absolute
// difference, which after midnight is large (so a wait ends early, never late).
double ClockDistance(double a, double b);

// Seconds from an earlier reading to a later one, counting across midnight:
// what a time-out must use, or a stall would be declared the moment the day
// turns.
double SecondsElapsed(double earlier, double later);
