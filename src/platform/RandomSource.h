#pragma once

namespace clickpath::platform {

// Uniform values in [0, 1); every draw is a fresh value.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    virtual double next() = 0;
};

} // namespace clickpath::platform
