// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/wave_writer.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/write_all.h"
#include "soundfile/endless_blocks.h"
#include "soundfile/file_replacement.h"
#include "synth/rounding.h"
#include "synth/sample_rate.h"

namespace
{

constexpr double kSamplesPerSecond = kSampleRate;

// RoundHalfAway for |x| < 2^31, without the library call: truncating to an
// integer gives modf's integral part, and x minus it is modf's fraction
// exactly, so the result is the same. Samples never exceed 1000.
inline int32_t RoundSample(double x)
{
    const int32_t i = static_cast<int32_t>(x);
    const double r = x - static_cast<double>(i);
    return i + (r >= 0.5 ? 1 : 0) - (r <= -0.5 ? 1 : 0);
}

} // namespace

CWaveWriter::CWaveWriter(int workers)
    : block(MakeZeroedArray<int16_t>(static_cast<size_t>(kSlots) * kMaxBlockSamples * 2))
{
    m_workerCount = std::max(workers, 0);
    std::fill(std::begin(m_slotBlock), std::end(m_slotBlock), -1);
}

CWaveWriter::~CWaveWriter()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_workReady.notify_all();
    for (std::thread& t : m_workers)
        t.join();
}

bool CWaveWriter::SetFileName(std::string_view name)
{
    if (name.size() > static_cast<size_t>(kMaxFileNameChars))
        return false;
    std::memcpy(fileName, name.data(), name.size());
    fileName[name.size()] = '\0';
    return true;
}

CIoResult CWaveWriter::Write(double totalSeconds, double surfStrength, double surfPeriod, double fadeIn, double fadeOut,
                             uint32_t blockLength)
{
    Plan plan;
    if (CIoResult result =
            Prepare(totalSeconds, surfStrength, surfPeriod, fadeIn, fadeOut, blockLength, kMaxSamples, plan);
        !result)
        return result;
    m_file.calls = fileCalls;
    int fd = -1;
    if (CIoResult result = m_file.Open(fileName, O_WRONLY, fd); !result)
        return result;
    // A file that cannot be removed after a failure must never claim to be
    // whole, not even when the program is killed outright: its header tells
    // its sizes only once the samples are all there.
    CIoResult result = WriteSamples(fd, plan, m_file.InPlaceRegular());
    if (!result)
    {
        m_file.Discard(fd);
        return result;
    }
    result = m_file.Finish(fd);
    if (result)
        SetPos(100);
    return result;
}

CIoResult CWaveWriter::WriteTo(int fd, double totalSeconds, double surfStrength, double surfPeriod, double fadeIn,
                               double fadeOut, uint32_t blockLength, int64_t maxSamples)
{
    Plan plan;
    if (CIoResult result =
            Prepare(totalSeconds, surfStrength, surfPeriod, fadeIn, fadeOut, blockLength, maxSamples, plan);
        !result)
        return result;
    CIoResult result = WriteSamples(fd, plan, false);
    if (result)
        SetPos(100);
    return result;
}

CIoResult CWaveWriter::Prepare(double totalSeconds, double surfStrength, double surfPeriod, double fadeIn,
                               double fadeOut, uint32_t blockLength, int64_t maxSamples, Plan& plan)
{
    assert(source != nullptr);
    assert(blockLength >= 1 && blockLength <= kMaxBlockSamples);
    SetPos(0);
    if (source == nullptr || blockLength < 1 || blockLength > kMaxBlockSamples)
        return CIoResult::Failure(IoProblem::Write, fileName, EINVAL);
    // An endless period is one whole block, and each block in flight has a
    // period of its own.
    static_assert(CEndlessBlocks::kSlots >= kSlots);
    if (endless != nullptr && blockLength != kMaxBlockSamples)
        return CIoResult::Failure(IoProblem::Write, fileName, EINVAL);
    const bool stereo = channels == 2;
    if ((channels != 1 && !stereo) || (stereo && rightSource == nullptr)
        || (stereo && (endless == nullptr) != (rightEndless == nullptr)))
        return CIoResult::Failure(IoProblem::Write, fileName, EINVAL);
    // Up to kMaxSamples the header must tell the truth, and two channels
    // fill it twice as fast.
    if (stereo && maxSamples <= kMaxSamples)
        maxSamples = std::min(maxSamples, kMaxStereoSamples);

    const double t = totalSeconds * kSamplesPerSecond;
    const double f = static_cast<double>(blockLength);
    // The header's 32-bit sizes end at 13:31:35; a longer file would carry
    // sizes that lie about its contents, so it is refused before any byte.
    if (!(t >= 0.0 && t < static_cast<double>(maxSamples) + 0.5))
    {
        CIoResult result = CIoResult::Failure(IoProblem::WaveTooLong, fileName);
        if (stereo)
            result.detail = kStereoDetail;
        return result;
    }
    // Rounding inputs beyond int32 would overflow; the fades never count for
    // more than the whole file anyway, so they are capped at the limit first.
    const double maxFade = static_cast<double>(kMaxSamples);
    // NaN would pass the clamp; it counts as no fade.
    const auto fadeSamples = [&](double seconds) {
        const double samples = seconds * kSamplesPerSecond;
        return std::isnan(samples) ? 0.0 : std::clamp(samples, 0.0, maxFade);
    };
    const double fi = fadeSamples(fadeIn);
    const double fo = fadeSamples(fadeOut);

    Job& job = plan.job;
    job.source = source;
    job.endless = endless;
    job.rightSource = stereo ? rightSource : nullptr;
    job.rightEndless = stereo ? rightEndless : nullptr;
    job.channelGain = channelGain;
    job.surfStrength = surfStrength;
    job.surfPeriod = surfPeriod;
    job.denominator = std::exp(2.0) - 1.0;
    job.samples = RoundHalfUp(t);
    job.fadeInSamples = RoundHalfUp(fi);
    job.fadeOutSamples = RoundHalfUp(fo);
    job.fadeInBlocks = static_cast<int64_t>(std::ceil(static_cast<double>(job.fadeInSamples) / f));
    job.blockLength = blockLength;
    plan.blocks = static_cast<int64_t>(std::ceil(t / f));

    const int64_t frameBytes = 2 * static_cast<int64_t>(channels);
    header.channels = static_cast<uint16_t>(channels);
    header.byteRate = static_cast<uint32_t>(frameBytes * kSampleRate);
    header.blockAlign = static_cast<uint16_t>(frameBytes);
    header.dataSize = static_cast<uint32_t>(frameBytes * job.samples);
    header.riffSize = static_cast<uint32_t>(frameBytes * job.samples + 36);
    return {};
}

CIoResult CWaveWriter::WriteSamples(int fd, const Plan& plan, bool headerLast)
{
    WaveFileHeader promise = header;
    if (headerLast)
    {
        promise.dataSize = 0;
        promise.riffSize = 36;
    }
    if (!WriteAll(fd, &promise, sizeof promise))
        return CIoResult::Failure(IoProblem::Write, fileName, errno);
    // Endless blocks all differ, so only silence (no surf period) repeats.
    const bool gainFree = plan.job.surfPeriod == 0.0 || (plan.job.surfStrength == 0.0 && plan.job.endless == nullptr);
    const bool ok = gainFree ? WriteGainFree(fd, plan) : WriteComputedAhead(fd, plan);
    if (!ok)
        return CIoResult::Failure(Cancelled() ? IoProblem::Cancelled : IoProblem::Write, fileName,
                                  Cancelled() ? 0 : m_error);
    if (headerLast && ::pwrite(fd, &header, sizeof header, 0) != static_cast<ssize_t>(sizeof header))
        return CIoResult::Failure(IoProblem::Write, fileName, errno);
    return {};
}

// Without surf every sample costs a multiplication, so the workers would only
// add hand-offs. Blocks that no fade reaches are all the same, so one copy is
// computed and written again and again.
bool CWaveWriter::WriteGainFree(int fd, const Plan& plan)
{
    const Job& job = plan.job;
    int16_t* plain = Slot(0);
    int16_t* faded = Slot(1);
    ComputeBlock(job, -1, plain);
    for (int64_t i = 0; i < plan.blocks; ++i)
    {
        SetPos(static_cast<int>(100 * (i + 1) / plan.blocks));
        const int64_t count = BlockSamples(job, i);
        const int16_t* data = plain;
        if (TouchesFade(job, i))
        {
            ComputeBlock(job, i, faded);
            data = faded;
        }
        if (Cancelled() || !WriteAll(fd, data, static_cast<size_t>(count * Channels(job)) * sizeof(int16_t)))
        {
            m_error = errno;
            return false;
        }
    }
    return true;
}

bool CWaveWriter::WriteComputedAhead(int fd, const Plan& plan)
{
    if (m_workers.empty())
    {
        m_workers.reserve(static_cast<size_t>(m_workerCount));
        for (int i = 0; i < m_workerCount; ++i)
            m_workers.emplace_back(&CWaveWriter::WorkerLoop, this);
    }
    if (m_workers.empty())
    {
        for (int64_t i = 0; i < plan.blocks; ++i)
        {
            SetPos(static_cast<int>(100 * (i + 1) / plan.blocks));
            Job job = plan.job;
            TakeEndless(job, i);
            ComputeBlock(job, i, Slot(0));
            const size_t bytes = static_cast<size_t>(BlockSamples(job, i) * Channels(job)) * sizeof(int16_t);
            if (Cancelled() || !WriteAll(fd, Slot(0), bytes))
            {
                m_error = errno;
                return false;
            }
        }
        return true;
    }

    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_job = plan.job;
        m_nextBlock = 0;
        m_writtenBlocks = 0;
        m_endBlock = plan.blocks;
        std::fill(std::begin(m_slotBlock), std::end(m_slotBlock), -1);
    }
    m_workReady.notify_all();

    bool ok = true;
    for (int64_t i = 0; i < plan.blocks && ok; ++i)
    {
        SetPos(static_cast<int>(100 * (i + 1) / plan.blocks));
        {
            // Rather than wait idle, the caller computes blocks too.
            std::unique_lock<std::mutex> lock(m_mutex);
            while (m_slotBlock[i % kSlots] != i)
            {
                if (!ComputeNextBlock(lock))
                    m_blockDone.wait(lock);
            }
        }
        const size_t bytes = static_cast<size_t>(BlockSamples(plan.job, i) * Channels(plan.job)) * sizeof(int16_t);
        ok = !Cancelled() && WriteAll(fd, Slot(i), bytes);
        if (!ok)
            m_error = errno;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_writtenBlocks = i + 1;
        }
        m_workReady.notify_all();
    }
    StopWorkers();
    return ok;
}

// Hands out no more blocks and waits until no worker touches a slot, so the
// next file starts from clean buffers.
void CWaveWriter::StopWorkers()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_endBlock = 0;
    m_blockDone.wait(lock, [&] { return m_busyWorkers == 0; });
}

void CWaveWriter::WorkerLoop()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;)
    {
        m_workReady.wait(lock, [&] { return m_stop || BlockAvailable(); });
        if (m_stop)
            return;
        ComputeNextBlock(lock);
    }
}

// A block may be handed out when it belongs to the file and its slot has
// been written.
bool CWaveWriter::BlockAvailable() const
{
    return m_nextBlock < m_endBlock && m_nextBlock < m_writtenBlocks + kSlots;
}

// Takes the next block, if any, and computes it with the lock released.
bool CWaveWriter::ComputeNextBlock(std::unique_lock<std::mutex>& lock)
{
    if (!BlockAvailable())
        return false;
    const int64_t i = m_nextBlock++;
    Job job = m_job;
    ++m_busyWorkers;
    lock.unlock();
    TakeEndless(job, i);
    ComputeBlock(job, i, Slot(i));
    lock.lock();
    --m_busyWorkers;
    m_slotBlock[i % kSlots] = i;
    m_blockDone.notify_all();
    return true;
}

int16_t* CWaveWriter::Slot(int64_t blockIndex) const
{
    return block.get() + (blockIndex % kSlots) * kMaxBlockSamples * 2;
}

void CWaveWriter::TakeEndless(Job& job, int64_t i)
{
    if (job.endless != nullptr)
        job.source = job.endless->Make(i);
    if (job.rightEndless != nullptr)
        job.rightSource = job.rightEndless->Make(i);
}

// The last block holds what remains of N; a total that rounds down can leave
// it empty.
int64_t CWaveWriter::BlockSamples(const Job& job, int64_t blockIndex)
{
    const int64_t start = blockIndex * job.blockLength;
    return std::clamp<int64_t>(job.samples - start, 0, job.blockLength);
}

bool CWaveWriter::TouchesFade(const Job& job, int64_t blockIndex)
{
    const int64_t start = blockIndex * job.blockLength;
    const int64_t end = start + BlockSamples(job, blockIndex);
    const bool fadeIn = blockIndex < job.fadeInBlocks && start < job.fadeInSamples;
    const bool fadeOut = job.fadeOutSamples <= job.samples && end > job.samples - job.fadeOutSamples;
    return fadeIn || fadeOut;
}

// Computes block blockIndex (0-based) of the file into out. blockIndex -1
// gives a block of full length that no fade reaches, used when the gain is
// the same for every sample.
//
// Every quantity is a function of the file-wide sample number n: the fade-in
// counter equals n while it runs (it starts with the file and stops for good),
// and the fade-out counter is n - (N - FO).
//
// The work goes in short runs, one step of the formula at a time over the
// run, so that the arithmetic between the library calls vectorises. Each
// step is evaluated exactly as written, so the samples are the same.
void CWaveWriter::ComputeBlock(const Job& job, int64_t blockIndex, int16_t* out)
{
    if (Channels(job) == 2)
    {
        ComputeStereoBlock(job, blockIndex, out);
        return;
    }
    const bool plain = blockIndex < 0;
    const int64_t start = plain ? 0 : blockIndex * job.blockLength;
    const int64_t count = plain ? job.blockLength : BlockSamples(job, blockIndex);
    const double s = job.surfStrength;
    const double p = job.surfPeriod;

    if (p == 0.0)
    {
        // n / 0 has no angle: a zero surf period is silence.
        std::fill(out, out + count, int16_t{0});
        return;
    }

    const int64_t fadeInEnd = !plain && blockIndex < job.fadeInBlocks ? job.fadeInSamples : 0;
    const int64_t fadeOutStart =
        !plain && job.fadeOutSamples <= job.samples ? job.samples - job.fadeOutSamples : INT64_MAX;
    const double fi = static_cast<double>(job.fadeInSamples);
    const double fo = static_cast<double>(job.fadeOutSamples);
    const double strength = 0.01 * s; // the first product of 0.01 * S * (1 + cos)
    const double d = job.denominator;

    constexpr int kRun = 256;
    double v[kRun];
    double work[kRun];
    for (int64_t runStart = 0; runStart < count; runStart += kRun)
    {
        const int length = static_cast<int>(std::min<int64_t>(kRun, count - runStart));
        const int16_t* src = job.source + runStart;
        const int64_t n0 = start + runStart;
        if (s == 0.0)
        {
            // With S = 0 the exponent is exactly 2 and g exactly 1, so the
            // cosine and the exponential would change nothing.
            for (int k = 0; k < length; ++k)
                v[k] = 0.1 * src[k];
        }
        else
        {
            // n as a double is exact far beyond the longest file.
            const double nd0 = static_cast<double>(n0);
            for (int k = 0; k < length; ++k)
                work[k] = ((nd0 + static_cast<double>(k)) / p) * kTwoPiOverSampleRate;
            for (int k = 0; k < length; ++k)
                work[k] = std::cos(work[k]);
            for (int k = 0; k < length; ++k)
                work[k] = 2.0 - strength * (1.0 + work[k]);
            for (int k = 0; k < length; ++k)
                work[k] = std::exp(work[k]);
            for (int k = 0; k < length; ++k)
                v[k] = 0.1 * src[k] * ((work[k] - 1.0) / d);
        }
        for (int64_t n = std::max(n0, int64_t{0}); n < std::min(n0 + length, fadeInEnd); ++n)
            v[n - n0] *= std::exp(3.0 * (static_cast<double>(n) / fi - 1.0));
        for (int64_t n = std::max(n0, fadeOutStart); n < n0 + length; ++n)
            v[n - n0] *= std::exp(-3.0 * static_cast<double>(n - fadeOutStart) / fo);
        // A period too short for its angle (a subnormal one) has no gain:
        // silence, as for a zero period, rather than NaN made an integer.
        int16_t* dst = out + runStart;
        for (int k = 0; k < length; ++k)
            dst[k] = std::isfinite(v[k]) ? static_cast<int16_t>(RoundSample(v[k])) : int16_t{0};
    }
}

void CWaveWriter::SetPos(int position)
{
    if (progress != nullptr)
        progress->SetPos(position);
}

bool CWaveWriter::Cancelled() const
{
    return cancel != nullptr && cancel->load(std::memory_order_relaxed);
}

// The same gain as ComputeBlock, computed once per frame and applied to both
// channels in the same steps, so that a channel at a gain of exactly 1 holds
// the samples the mono file would; each channel's own gain comes last.
void CWaveWriter::ComputeStereoBlock(const Job& job, int64_t blockIndex, int16_t* out)
{
    const bool plain = blockIndex < 0;
    const int64_t start = plain ? 0 : blockIndex * job.blockLength;
    const int64_t count = plain ? job.blockLength : BlockSamples(job, blockIndex);
    const double s = job.surfStrength;
    const double p = job.surfPeriod;
    if (p == 0.0)
    {
        std::fill(out, out + 2 * count, int16_t{0});
        return;
    }
    const int64_t fadeInEnd = !plain && blockIndex < job.fadeInBlocks ? job.fadeInSamples : 0;
    const int64_t fadeOutStart =
        !plain && job.fadeOutSamples <= job.samples ? job.samples - job.fadeOutSamples : INT64_MAX;
    const double fi = static_cast<double>(job.fadeInSamples);
    const double fo = static_cast<double>(job.fadeOutSamples);
    const double strength = 0.01 * s;
    const double d = job.denominator;
    const double gainLeft = job.channelGain[0];
    const double gainRight = job.channelGain[1];

    constexpr int kRun = 256;
    double left[kRun];
    double right[kRun];
    double work[kRun];
    for (int64_t runStart = 0; runStart < count; runStart += kRun)
    {
        const int length = static_cast<int>(std::min<int64_t>(kRun, count - runStart));
        const int16_t* srcLeft = job.source + runStart;
        const int16_t* srcRight = job.rightSource + runStart;
        const int64_t n0 = start + runStart;
        if (s == 0.0)
        {
            for (int k = 0; k < length; ++k)
            {
                left[k] = 0.1 * srcLeft[k];
                right[k] = 0.1 * srcRight[k];
            }
        }
        else
        {
            const double nd0 = static_cast<double>(n0);
            for (int k = 0; k < length; ++k)
                work[k] = ((nd0 + static_cast<double>(k)) / p) * kTwoPiOverSampleRate;
            for (int k = 0; k < length; ++k)
                work[k] = std::cos(work[k]);
            for (int k = 0; k < length; ++k)
                work[k] = 2.0 - strength * (1.0 + work[k]);
            for (int k = 0; k < length; ++k)
                work[k] = std::exp(work[k]);
            for (int k = 0; k < length; ++k)
                work[k] = (work[k] - 1.0) / d;
            for (int k = 0; k < length; ++k)
            {
                left[k] = 0.1 * srcLeft[k] * work[k];
                right[k] = 0.1 * srcRight[k] * work[k];
            }
        }
        for (int64_t n = std::max(n0, int64_t{0}); n < std::min(n0 + length, fadeInEnd); ++n)
        {
            const double g = std::exp(3.0 * (static_cast<double>(n) / fi - 1.0));
            left[n - n0] *= g;
            right[n - n0] *= g;
        }
        for (int64_t n = std::max(n0, fadeOutStart); n < n0 + length; ++n)
        {
            const double g = std::exp(-3.0 * static_cast<double>(n - fadeOutStart) / fo);
            left[n - n0] *= g;
            right[n - n0] *= g;
        }
        int16_t* dst = out + 2 * runStart;
        for (int k = 0; k < length; ++k)
        {
            const double l = left[k] * gainLeft;
            const double r = right[k] * gainRight;
            dst[2 * k] = std::isfinite(l) ? static_cast<int16_t>(RoundSample(l)) : int16_t{0};
            dst[2 * k + 1] = std::isfinite(r) ? static_cast<int16_t>(RoundSample(r)) : int16_t{0};
        }
    }
}
