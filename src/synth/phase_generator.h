#pragma once

#include <cstdint>

// The pseudo-random source of the noise phases: a linear congruential
// generator whose state starts at 1 and is never reseeded, so the first
// period a synthesizer makes is the same in every run and later ones differ.
class CPhaseGenerator
{
public:
    static constexpr int kMaxDraw = 32767;

    CPhaseGenerator() = default;
    // Starts from another state: a second, independent sequence.
    explicit CPhaseGenerator(uint32_t state) : m_state(state) {}

    // Advances the state and returns the next draw, 0..32767.
    int Next();

private:
    uint32_t m_state = 1;
};
