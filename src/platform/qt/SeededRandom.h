#pragma once

#include "platform/RandomSource.h"

#include <cstdint>
#include <random>

namespace clickpath::platform::qt {

// A generator seeded once, from the system's entropy unless a seed is given:
// the same seed gives the same draws.
class SeededRandom final : public RandomSource {
public:
    SeededRandom()
        : engine_(std::random_device{}())
    {
    }
    explicit SeededRandom(std::uint64_t seed)
        : engine_(seed)
    {
    }
    // 53 random bits scaled into [0, 1): never 1, unlike some distributions.
    double next() override { return static_cast<double>(engine_() >> 11) * 0x1.0p-53; }

private:
    std::mt19937_64 engine_;
};

} // namespace clickpath::platform::qt
