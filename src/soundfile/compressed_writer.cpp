// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/compressed_writer.h"
#include "soundfile/file_replacement.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sndfile.h>
#include <soxr.h>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "base/write_all.h"
#include "soundfile/wave_file_header.h"
#include "synth/parameter_limits.h"
#include "synth/sample_rate.h"

namespace
{

constexpr int kOpusRate = 48000;
// libsndfile maps the level 0..1 linearly onto the bitrate: 0.832 gives
// Opus about 48 kbit/s mono, 0.8 MP3 96 kbit/s mono at 44100 Hz.
constexpr double kOpusLevel = 0.832;
constexpr double kMp3Level = 0.8;
constexpr size_t kWaveHeaderBytes = sizeof(WaveFileHeader);
constexpr int kPipeBytes = 1 << 20;
constexpr double kFlacShareOfWave = 0.65;

int SndfileFormat(SoundFileType type)
{
    switch (type)
    {
        case SoundFileType::Flac:
            return SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
        case SoundFileType::Opus:
            return SF_FORMAT_OGG | SF_FORMAT_OPUS;
        case SoundFileType::Mp3:
            return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
        default:
            return 0;
    }
}

int FileRate(SoundFileType type)
{
    return type == SoundFileType::Opus ? kOpusRate : kSampleRate;
}

double ThreadCpuSeconds()
{
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// The Ogg CRC: polynomial 0x04c11db7, no reflection, starting from 0.
uint32_t OggCrc(const unsigned char* data, size_t size)
{
    uint32_t crc = 0;
    for (size_t i = 0; i < size; ++i)
    {
        crc ^= static_cast<uint32_t>(data[i]) << 24;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 0x80000000u) != 0 ? (crc << 1) ^ 0x04c11db7u : crc << 1;
    }
    return crc;
}

// libsndfile's file as a descriptor of our own: its MP3 writer lets failed
// writes pass unseen, so every write is checked here. libsndfile gives an
// Ogg stream a serial number drawn from the clock, so that the same sound
// made files that differ; every Ogg page gets a fixed one instead, with its
// checksum made again.
struct CheckedFile
{
    static constexpr uint32_t kOggSerial = 0x53757375;
    static constexpr size_t kOggHeaderBytes = 27;

    int fd = -1;
    bool failed = false;
    int error = 0; // errno of the first failed write
    bool ogg = false;
    std::vector<unsigned char> page; // the bytes of an Ogg page not yet whole

    static sf_count_t Length(void* self)
    {
        auto* file = static_cast<CheckedFile*>(self);
        struct stat st = {};
        return ::fstat(file->fd, &st) == 0 ? st.st_size + static_cast<sf_count_t>(file->page.size()) : -1;
    }
    static sf_count_t Seek(sf_count_t offset, int whence, void* self)
    {
        auto* file = static_cast<CheckedFile*>(self);
        file->Flush();
        return ::lseek(file->fd, offset, whence);
    }
    static sf_count_t Read(void* data, sf_count_t count, void* self)
    {
        const ssize_t got = ::read(static_cast<CheckedFile*>(self)->fd, data, static_cast<size_t>(count));
        return got < 0 ? 0 : got;
    }
    static sf_count_t Write(const void* data, sf_count_t count, void* self)
    {
        auto* file = static_cast<CheckedFile*>(self);
        if (!file->ogg)
            return file->Put(data, static_cast<size_t>(count)) ? count : 0;
        const auto* bytes = static_cast<const unsigned char*>(data);
        file->page.insert(file->page.end(), bytes, bytes + count);
        file->PutWholePages();
        return file->failed ? 0 : count;
    }
    static sf_count_t Tell(void* self)
    {
        auto* file = static_cast<CheckedFile*>(self);
        const off_t at = ::lseek(file->fd, 0, SEEK_CUR);
        return at < 0 ? at : at + static_cast<sf_count_t>(file->page.size());
    }

    bool Put(const void* data, size_t count)
    {
        if (failed || !WriteAll(fd, data, count))
        {
            if (!failed)
                error = errno;
            failed = true;
            return false;
        }
        return true;
    }
    // Writes what is held as it is: the end of the stream, or bytes that are
    // no Ogg page.
    void Flush()
    {
        if (!page.empty())
            Put(page.data(), page.size());
        page.clear();
    }
    void PutWholePages()
    {
        while (page.size() >= kOggHeaderBytes)
        {
            if (std::memcmp(page.data(), "OggS", 4) != 0)
            {
                Flush();
                return;
            }
            const size_t segments = page[26];
            if (page.size() < kOggHeaderBytes + segments)
                return;
            size_t body = 0;
            for (size_t i = 0; i < segments; ++i)
                body += page[kOggHeaderBytes + i];
            const size_t size = kOggHeaderBytes + segments + body;
            if (page.size() < size)
                return;
            for (int i = 0; i < 4; ++i)
            {
                page[14 + i] = static_cast<unsigned char>(kOggSerial >> (8 * i));
                page[22 + i] = 0;
            }
            const uint32_t crc = OggCrc(page.data(), size);
            for (int i = 0; i < 4; ++i)
                page[22 + i] = static_cast<unsigned char>(crc >> (8 * i));
            Put(page.data(), size);
            page.erase(page.begin(), page.begin() + static_cast<std::ptrdiff_t>(size));
        }
    }
};

// Reads the wave stream from fd and encodes its samples. Stops at the end of
// the stream, or at the first failed write, closing fd so that the writer
// learns of it at once.
class CEncoder
{
public:
    CEncoder(SNDFILE* file, const CheckedFile& output, SoundFileType type, int fd, int channels)
        : m_file(file),
          m_output(output),
          m_fd(fd),
          m_channels(static_cast<size_t>(channels)),
          m_wideSamples(type == SoundFileType::Mp3 && channels == 2)
    {
        if (type == SoundFileType::Opus)
        {
            // Its dither is seeded from the clock; the same sound must make
            // the same file.
            soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
            io.flags |= SOXR_NO_DITHER;
            const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
            soxr_error_t error = nullptr;
            m_resampler =
                soxr_create(kSampleRate, kOpusRate, static_cast<unsigned>(channels), &error, &io, &quality, nullptr);
            if (error != nullptr)
                m_resampler = nullptr;
        }
    }
    ~CEncoder()
    {
        if (m_resampler != nullptr)
            soxr_delete(m_resampler);
    }
    CEncoder(const CEncoder&) = delete;
    CEncoder& operator=(const CEncoder&) = delete;

    bool ResamplerReady(SoundFileType type) const { return type != SoundFileType::Opus || m_resampler != nullptr; }

    void Run()
    {
        const double start = ThreadCpuSeconds();
        m_ok = Encode();
        ::close(m_fd);
        m_cpuSeconds = ThreadCpuSeconds() - start;
    }

    bool Ok() const { return m_ok; }
    double CpuSeconds() const { return m_cpuSeconds; }

private:
    bool Encode()
    {
        static constexpr size_t kChunk = 32768;
        std::vector<char> bytes(kChunk * sizeof(int16_t));
        std::vector<int16_t> samples(kChunk);
        std::vector<int16_t> resampled(kChunk * 2);
        if (m_wideSamples)
            m_wide.resize(kChunk);
        size_t headerLeft = kWaveHeaderBytes;
        size_t carried = 0; // bytes of a part frame kept for the next read
        const size_t frameBytes = sizeof(int16_t) * m_channels;
        for (;;)
        {
            const ssize_t got = ::read(m_fd, bytes.data() + carried, bytes.size() - carried);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0)
                return false;
            if (got == 0)
                break;
            size_t have = carried + static_cast<size_t>(got);
            size_t from = 0;
            if (headerLeft > 0)
            {
                const size_t skip = std::min(headerLeft, have);
                headerLeft -= skip;
                from = skip;
            }
            const size_t frames = (have - from) / frameBytes;
            std::memcpy(samples.data(), bytes.data() + from, frames * frameBytes);
            carried = have - from - frames * frameBytes;
            std::memmove(bytes.data(), bytes.data() + from + frames * frameBytes, carried);
            if (!Put(samples.data(), frames, resampled, false))
                return false;
        }
        return Put(nullptr, 0, resampled, true);
    }

    // Hands count frames to the encoder, through the resampler for Opus;
    // last drains the resampler.
    bool Put(const int16_t* data, size_t count, std::vector<int16_t>& resampled, bool last)
    {
        const size_t channels = m_channels;
        if (m_wideSamples)
        {
            // libsndfile's two-channel MP3 writer copies only half of each
            // run of 16-bit samples; its 32-bit one takes them all.
            for (size_t i = 0; i < count * channels; ++i)
                m_wide[i] = static_cast<int>(data[i]) * 65536;
            return count == 0
                   || (sf_write_int(m_file, m_wide.data(), static_cast<sf_count_t>(count * channels))
                           == static_cast<sf_count_t>(count * channels)
                       && !m_output.failed);
        }
        if (m_resampler == nullptr)
            return count == 0
                   || (sf_write_short(m_file, data, static_cast<sf_count_t>(count * channels))
                           == static_cast<sf_count_t>(count * channels)
                       && !m_output.failed);
        size_t offset = 0;
        do
        {
            size_t used = 0;
            size_t made = 0;
            const size_t give = count - offset;
            if (soxr_process(m_resampler, last ? nullptr : data + offset * channels, give, &used, resampled.data(),
                             resampled.size() / channels, &made)
                != nullptr)
                return false;
            offset += used;
            if (made > 0
                && (sf_write_short(m_file, resampled.data(), static_cast<sf_count_t>(made * channels))
                        != static_cast<sf_count_t>(made * channels)
                    || m_output.failed))
                return false;
            if (last && made == 0)
                return true;
        } while (last || offset < count);
        return true;
    }

    SNDFILE* m_file;
    const CheckedFile& m_output;
    int m_fd;
    size_t m_channels;  // of the stream and the file, interleaved
    bool m_wideSamples; // the samples go to libsndfile as 32-bit ones
    std::vector<int> m_wide;
    soxr_t m_resampler = nullptr;
    bool m_ok = false;
    double m_cpuSeconds = 0.0;
};

// Writing into a pipe whose reader has gone raises SIGPIPE, which would end
// the program: the calling thread holds it back and takes it away again, and
// the write fails with EPIPE instead.
class CSigpipeHeld
{
public:
    CSigpipeHeld()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_old);
    }
    ~CSigpipeHeld()
    {
        if (!m_wasPending)
        {
            const timespec zero{};
            while (sigtimedwait(&m_pipe, nullptr, &zero) == SIGPIPE)
            {}
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    CSigpipeHeld(const CSigpipeHeld&) = delete;
    CSigpipeHeld& operator=(const CSigpipeHeld&) = delete;

private:
    sigset_t m_pipe{};
    sigset_t m_old{};
    bool m_wasPending = false;
};

std::string FolderOf(const std::string& fileName)
{
    const size_t slash = fileName.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

} // namespace

int64_t EstimatedFileBytes(SoundFileType type, double seconds, int channels)
{
    const double waveBytes = 2.0 * channels * kSampleRate * seconds;
    switch (type)
    {
        case SoundFileType::Flac:
            // White noise without surf, the loudest signal there is, came to
            // 0.62 of its WAV's size; the bound leaves a little room above.
            return static_cast<int64_t>(kFlacShareOfWave * waveBytes);
        case SoundFileType::Opus:
            // Opus codes each channel at about 48 kbit/s; MP3 shares its
            // 96 kbit/s between them.
            return static_cast<int64_t>(52000.0 / 8.0 * channels * seconds);
        case SoundFileType::Mp3:
            return static_cast<int64_t>(100000.0 / 8.0 * seconds);
        default:
            return static_cast<int64_t>(waveBytes) + static_cast<int64_t>(kWaveHeaderBytes);
    }
}

bool CanWriteType(SoundFileType type)
{
    if (type == SoundFileType::Wave)
        return true;
    if (type == SoundFileType::Unknown)
        return false;
    SF_INFO info{};
    info.samplerate = FileRate(type);
    info.channels = 1;
    info.format = SndfileFormat(type);
    return sf_format_check(&info) != 0;
}

CIoResult WriteCompressedFile(const char* fileName, SoundFileType type, double totalSeconds,
                              const std::function<CIoResult(int fd)>& writeWave, EncoderTimes* times,
                              const FileSystemCalls& calls, int channels)
{
    const std::string name = fileName;
    if (channels != 1 && channels != 2)
        return CIoResult::Failure(IoProblem::Write, name, EINVAL);
    if (type == SoundFileType::Unknown || type == SoundFileType::Wave)
    {
        CIoResult result = CIoResult::Failure(IoProblem::UnknownSuffix, name);
        result.detail = UnknownSuffixText();
        return result;
    }
    if (!(totalSeconds >= 0.0 && totalSeconds <= Limits::kMaxClockSeconds))
        return CIoResult::Failure(IoProblem::CompressedTooLong, name);
    if (!CanWriteType(type))
    {
        CIoResult result = CIoResult::Failure(IoProblem::TypeNotWritable, name);
        result.detail = SoundFileSuffix(type);
        return result;
    }
    struct statvfs space = {};
    if (::statvfs(FolderOf(name).c_str(), &space) == 0)
    {
        const double freeBytes = static_cast<double>(space.f_bavail) * static_cast<double>(space.f_frsize);
        const int64_t needed = EstimatedFileBytes(type, totalSeconds, channels);
        if (static_cast<double>(needed) > freeBytes)
        {
            CIoResult result = CIoResult::Failure(IoProblem::NoSpace, name);
            result.neededMb = needed / 1000000 + 1;
            result.freeMb = static_cast<int64_t>(freeBytes / 1e6);
            return result;
        }
    }

    SF_INFO info{};
    info.samplerate = FileRate(type);
    info.channels = channels;
    info.format = SndfileFormat(type);
    CheckedFile output;
    output.ogg = type == SoundFileType::Opus;
    CFileReplacement replacement;
    replacement.calls = calls;
    if (CIoResult opened = replacement.Open(name.c_str(), O_RDWR, output.fd); !opened)
        return opened;
    // libsndfile's MP3 writer goes back to the file's start as it writes;
    // in a pipe it would fail without a word.
    if (type == SoundFileType::Mp3 && replacement.Stream() && ::lseek(output.fd, 0, SEEK_CUR) < 0)
    {
        replacement.Discard(output.fd);
        CIoResult result = CIoResult::Failure(IoProblem::NotSeekable, name);
        result.detail = "MP3";
        return result;
    }
    SF_VIRTUAL_IO io{&CheckedFile::Length, &CheckedFile::Seek, &CheckedFile::Read, &CheckedFile::Write,
                     &CheckedFile::Tell};
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &output);
    if (file == nullptr)
    {
        replacement.Discard(output.fd);
        return CIoResult::Failure(IoProblem::Write, name);
    }
    if (type != SoundFileType::Flac)
    {
        int mode = SF_BITRATE_MODE_CONSTANT;
        sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
        double level = type == SoundFileType::Opus ? kOpusLevel : kMp3Level;
        sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    }

    CIoResult result;
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC) != 0)
    {
        result = CIoResult::Failure(IoProblem::Write, name);
    }
    else
    {
        // A deeper pipe lets the encoder fall behind a burst of blocks.
        ::fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);
        CEncoder encoder(file, output, type, ends[0], channels);
        if (!encoder.ResamplerReady(type))
        {
            ::close(ends[0]);
            ::close(ends[1]);
            result = CIoResult::Failure(IoProblem::Write, name);
        }
        else
        {
            std::thread thread(&CEncoder::Run, &encoder);
            {
                CSigpipeHeld sigpipe;
                result = writeWave(ends[1]);
                ::close(ends[1]);
            }
            const auto tailStart = std::chrono::steady_clock::now();
            thread.join();
            if (times != nullptr)
            {
                times->encoderSeconds = encoder.CpuSeconds();
                times->tailSeconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - tailStart).count();
            }
            // The writer sees only the pipe: when the encoder stopped first,
            // the writer's "broken pipe" would hide the file's own reason.
            if (!encoder.Ok())
                result = CIoResult::Failure(IoProblem::Write, name, output.error);
        }
    }
    // The last pages and the stream's end are written on closing.
    const bool closed = sf_close(file) == 0;
    output.Flush();
    if (result && (!closed || output.failed))
        result = CIoResult::Failure(IoProblem::Write, name, output.error);
    if (!result)
    {
        // A device or a pipe named by the user is not ours to remove.
        replacement.Discard(output.fd);
        return result;
    }
    return replacement.Finish(output.fd);
}
