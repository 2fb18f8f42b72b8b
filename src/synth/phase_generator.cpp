#include "synth/phase_generator.h"

int CPhaseGenerator::Next()
{
    // Unsigned arithmetic wraps modulo 2^32, which the sequence relies on.
    m_state = m_state * 214013u + 2531011u;
    return static_cast<int>((m_state >> 16) & 0x7FFFu);
}
