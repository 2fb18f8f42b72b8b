#pragma once

#include <bit>
#include <cstdint>

// The 44-byte header of a 16-bit mono PCM wave file at 44100 Hz, laid out
// byte for byte as it is stored (all integers little-endian, which is the
// host order on every platform we build for). Only the two sizes change
// from file to file.
struct WaveFileHeader
{
    char riffId[4] = {'R', 'I', 'F', 'F'};
    uint32_t riffSize = 36; // 36 + dataSize
    char waveId[4] = {'W', 'A', 'V', 'E'};
    char fmtId[4] = {'f', 'm', 't', ' '};
    uint32_t fmtSize = 16;
    uint16_t formatTag = 1; // PCM
    uint16_t channels = 1;
    uint32_t sampleRate = 44100;
    uint32_t byteRate = 88200;
    uint16_t blockAlign = 2;
    uint16_t bitsPerSample = 16;
    char dataId[4] = {'d', 'a', 't', 'a'};
    uint32_t dataSize = 0; // 2 bytes per sample
};

static_assert(sizeof(WaveFileHeader) == 44, "the header is written as it lies in memory");
static_assert(std::endian::native == std::endian::little, "the header is written in host order");
