#include "secondsclock.h"

#include <QTime>

#include <cmath>

double SecondsSinceMidnight()
{
    return QTime::currentTime().msecsSinceStartOfDay() / 1000.0;
}

double ClockDistance(double a, double b)
{
    return std::fabs(a - b);
}

double SecondsElapsed(double earlier, double later)
{
    return later >= earlier ? later - earlier : later + kSecondsPerDay - earlier;
}
