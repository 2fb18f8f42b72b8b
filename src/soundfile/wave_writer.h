// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <atomic>
#include <climits>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "base/file_system_calls.h"
#include "base/io_result.h"
#include "base/progress_sink.h"
#include "base/zeroed_array.h"
#include "soundfile/file_replacement.h"
#include "soundfile/wave_file_header.h"

class CEndlessBlocks;

// Writes the period in `source`, repeated end to end, as a 16-bit mono PCM
// wave file at 44100 Hz, with the surf gain, a fade-in, a fade-out and one
// tenth of the period's level, block by block. In stereo (channels 2) the
// right ear plays rightSource instead, the channels interleaved left, right;
// both get the same surf and fades, then each its own gain.
//
// The header is written first with its final sizes, and nothing is patched
// later; only a file written in place, which a failure cannot remove, gets
// sizes of zero first and its true ones once the last sample is written.
// Every output sample depends only on its file-wide index, so blocks are
// computed ahead by worker threads (created once, in the constructor) and by
// the caller while it waits, and written in order; the file is the same byte
// for byte whatever the number of workers.
//
// Threading: Write runs on one thread at a time, the caller's; progress and
// messages are posted on that thread. `source` is only read. Write allocates
// nothing: every buffer belongs to the writer from construction on.
class CWaveWriter
{
public:
    static constexpr uint32_t kMaxBlockSamples = 262144;
    // The largest N whose sizes fit the header: 2 N + 36 < 2^32.
    static constexpr int64_t kMaxSamples = 2147483629;
    // The same for N frames of two channels: 4 N + 36 < 2^32.
    static constexpr int64_t kMaxStereoSamples = 1073741814;
    static constexpr int kMaxFileNameChars = 255;

    // workers: threads that compute blocks besides the caller; 0 makes the
    // caller compute every block itself, one after the other.
    explicit CWaveWriter(int workers = 2);
    ~CWaveWriter();
    CWaveWriter(const CWaveWriter&) = delete;
    CWaveWriter& operator=(const CWaveWriter&) = delete;

    // Copies name into fileName; false (fileName unchanged) when it is longer
    // than 255 characters.
    bool SetFileName(std::string_view name);

    // Writes the file fileName, as CFileReplacement places it: a failure or
    // a cancel leaves the old file as it was and no temporary behind, and a
    // file that must be written in place claims no samples in its header
    // until the last one is written. Ok when the whole file was written;
    // otherwise Open or Write with errno, WaveTooLong (beyond 13:31:35, or
    // half that in stereo; refused before the file is touched) or Cancelled.
    // blockLength is 1..262144 samples of source.
    CIoResult Write(double totalSeconds, double surfStrength, double surfPeriod, double fadeIn, double fadeOut,
                    uint32_t blockLength);

    // The same file written to an open descriptor (left open), e.g. a pipe;
    // fileName names it in the result. maxSamples is the longest file it
    // accepts: only a stream that feeds an encoder, whose header nobody
    // reads, may go beyond kMaxSamples, and its header's sizes are then wrong.
    // Up to kMaxSamples the header's bound for the channels holds as well.
    CIoResult WriteTo(int fd, double totalSeconds, double surfStrength, double surfPeriod, double fadeIn,
                      double fadeOut, uint32_t blockLength, int64_t maxSamples = kMaxSamples);

    WaveFileHeader header;
    char fileName[kMaxFileNameChars + 1] = {};
    const int16_t* source = nullptr; // the period; not owned
    // Endless noise: block b plays period b made here instead of `source`;
    // started by the caller, not owned; null for the repeated period.
    CEndlessBlocks* endless = nullptr;
    // 1 mono, 2 stereo. The right ear's period (not owned) and endless
    // periods in stereo, and each channel's factor after the fades (left,
    // right); mono ignores them all.
    int channels = 1;
    const int16_t* rightSource = nullptr;
    CEndlessBlocks* rightEndless = nullptr;
    std::array<double, 2> channelGain{1.0, 1.0};
    IProgressSink* progress = nullptr; // "Saving Status:"; may be null
    // Set (from any thread or a signal handler) to stop the write between
    // blocks; may be null.
    const std::atomic<bool>* cancel = nullptr;
    // The flush and the rename of every file written, for tests.
    FileSystemCalls fileCalls;
    // kSlots output blocks of kMaxBlockSamples frames of up to two channels
    // each; a mono file touches only the first half of each.
    ZeroedArray<int16_t> block;

private:
    static constexpr int kSlots = 4;

    // Everything a block needs; copied by the workers.
    struct Job
    {
        const int16_t* source = nullptr;
        CEndlessBlocks* endless = nullptr;
        const int16_t* rightSource = nullptr; // null: mono
        CEndlessBlocks* rightEndless = nullptr;
        std::array<double, 2> channelGain{1.0, 1.0};
        double surfStrength = 0.0;
        double surfPeriod = 0.0;
        double denominator = 0.0;   // e^2 - 1
        int64_t samples = 0;        // N
        int64_t fadeInSamples = 0;  // FI
        int64_t fadeInBlocks = 0;   // BI
        int64_t fadeOutSamples = 0; // FO
        int64_t blockLength = 0;    // F
    };

    struct Plan
    {
        Job job;
        int64_t blocks = 0; // B
    };

    CIoResult Prepare(double totalSeconds, double surfStrength, double surfPeriod, double fadeIn, double fadeOut,
                      uint32_t blockLength, int64_t maxSamples, Plan& plan);
    CIoResult WriteSamples(int fd, const Plan& plan, bool headerLast);
    bool WriteComputedAhead(int fd, const Plan& plan);
    bool WriteGainFree(int fd, const Plan& plan);
    void StopWorkers();
    void WorkerLoop();
    bool BlockAvailable() const;
    bool ComputeNextBlock(std::unique_lock<std::mutex>& lock);
    int16_t* Slot(int64_t blockIndex) const;
    static int64_t BlockSamples(const Job& job, int64_t blockIndex);
    static bool TouchesFade(const Job& job, int64_t blockIndex);
    static void ComputeBlock(const Job& job, int64_t blockIndex, int16_t* out);
    static void ComputeStereoBlock(const Job& job, int64_t blockIndex, int16_t* out);
    static int Channels(const Job& job) { return job.rightSource != nullptr ? 2 : 1; }
    // Makes the endless periods of block i into job's sources.
    static void TakeEndless(Job& job, int64_t i);
    void SetPos(int position);
    bool Cancelled() const;

    // Started by the first file that uses them: a window that never writes
    // one does not pay for them at its start.
    int m_workerCount = 0;
    std::vector<std::thread> m_workers;
    std::mutex m_mutex;
    std::condition_variable m_workReady; // a block may be handed out, or stop
    std::condition_variable m_blockDone; // a slot was filled or a worker went idle
    Job m_job;
    int64_t m_nextBlock = 0;          // next block index to hand out
    int64_t m_endBlock = 0;           // blocks of the current file; 0 when idle
    int64_t m_writtenBlocks = 0;      // blocks the caller has written
    int64_t m_slotBlock[kSlots] = {}; // block index held by each slot, -1 none
    int m_busyWorkers = 0;
    bool m_stop = false;
    int m_error = 0;         // errno of the failed write
    CFileReplacement m_file; // where Write writes
};
