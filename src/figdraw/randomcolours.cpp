#include "randomcolours.h"

#include <QDateTime>

#include <bit>

namespace {

// SplitMix64's output function: every bit of the input reaches every bit of the output.
std::uint64_t mixed(std::uint64_t z)
{
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
}

constexpr std::uint64_t goldenGamma = 0x9e3779b97f4a7c15ULL;

} // namespace

float RandomColours::TimeOfDay()
{
    // Universal time: the local time zone adds nothing to the mixing but cost.
    constexpr qint64 msecsPerDay = 86'400'000;
    return float(QDateTime::currentMSecsSinceEpoch() % msecsPerDay) / 1000.0f;
}

void RandomColours::Reseed(double value)
{
    state = mixed(state ^ std::bit_cast<std::uint64_t>(value));
}

float RandomColours::NextRandom()
{
    state += goldenGamma;
    // The top 24 bits fill a float's mantissa exactly, so the result stays below 1.
    return float(mixed(state) >> 40) / float(1 << 24);
}
