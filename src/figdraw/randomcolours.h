#pragma once

#include <cstdint>

// The clock and the pseudo-random generator behind the triangle's colours.
// Tests replace the clock, or watch every call, by overriding.
class RandomColours
{
public:
    virtual ~RandomColours() = default;

    // The time of day in seconds.
    virtual float TimeOfDay();
    // Mixes the value into the generator's state rather than replacing it, so
    // that two reseeds with the same time still lead to different numbers.
    virtual void Reseed(double value);
    // The next number r of the generator, 0 <= r < 1.
    virtual float NextRandom();

private:
    std::uint64_t state = 0x853c49e6748fea9bULL;
};
