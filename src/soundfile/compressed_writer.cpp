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

void Warn(const CWaveWriter& writer, const std::string& text)
{
    if (writer.reporter != nullptr)
        writer.reporter->Report("Warning", text, MessageIcon::Exclamation);
}

// libsndfile's file as a descriptor of our own: its MP3 writer lets failed
// writes pass unseen, so every write is checked here.
struct CheckedFile
{
    int fd = -1;
    bool failed = false;
    int error = 0; // errno of the first failed write

    static sf_count_t Length(void* self)
    {
        struct stat st = {};
        return ::fstat(static_cast<CheckedFile*>(self)->fd, &st) == 0 ? st.st_size : -1;
    }
    static sf_count_t Seek(sf_count_t offset, int whence, void* self)
    {
        return ::lseek(static_cast<CheckedFile*>(self)->fd, offset, whence);
    }
    static sf_count_t Read(void* data, sf_count_t count, void* self)
    {
        const ssize_t got = ::read(static_cast<CheckedFile*>(self)->fd, data, static_cast<size_t>(count));
        return got < 0 ? 0 : got;
    }
    static sf_count_t Write(const void* data, sf_count_t count, void* self)
    {
        auto* file = static_cast<CheckedFile*>(self);
        if (file->failed || !WriteAll(file->fd, data, static_cast<size_t>(count)))
        {
            if (!file->failed)
                file->error = errno;
            file->failed = true;
            return 0;
        }
        return count;
    }
    static sf_count_t Tell(void* self) { return ::lseek(static_cast<CheckedFile*>(self)->fd, 0, SEEK_CUR); }
};

// Reads the wave stream from fd and encodes its samples. Stops at the end of
// the stream, or at the first failed write, closing fd so that the writer
// learns of it at once.
class CEncoder
{
public:
    CEncoder(SNDFILE* file, const CheckedFile& output, SoundFileType type, int fd)
        : m_file(file), m_output(output), m_fd(fd)
    {
        if (type == SoundFileType::Opus)
        {
            const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
            const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_HQ, 0);
            soxr_error_t error = nullptr;
            m_resampler = soxr_create(kSampleRate, kOpusRate, 1, &error, &io, &quality, nullptr);
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
        size_t headerLeft = kWaveHeaderBytes;
        size_t carried = 0; // bytes of a half sample kept for the next read
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
            const size_t count = (have - from) / sizeof(int16_t);
            std::memcpy(samples.data(), bytes.data() + from, count * sizeof(int16_t));
            carried = have - from - count * sizeof(int16_t);
            std::memmove(bytes.data(), bytes.data() + from + count * sizeof(int16_t), carried);
            if (!Put(samples.data(), count, resampled, false))
                return false;
        }
        return Put(nullptr, 0, resampled, true);
    }

    // Hands count samples to the encoder, through the resampler for Opus;
    // last drains the resampler.
    bool Put(const int16_t* data, size_t count, std::vector<int16_t>& resampled, bool last)
    {
        if (m_resampler == nullptr)
            return count == 0
                   || (sf_write_short(m_file, data, static_cast<sf_count_t>(count)) == static_cast<sf_count_t>(count)
                       && !m_output.failed);
        size_t offset = 0;
        do
        {
            size_t used = 0;
            size_t made = 0;
            const size_t give = count - offset;
            if (soxr_process(m_resampler, last ? nullptr : data + offset, give, &used, resampled.data(),
                             resampled.size(), &made)
                != nullptr)
                return false;
            offset += used;
            if (made > 0
                && (sf_write_short(m_file, resampled.data(), static_cast<sf_count_t>(made))
                        != static_cast<sf_count_t>(made)
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

// Keeps the writer's messages while it writes into the encoder's pipe, so
// that the encoder's reason can be told instead.
class CHeldMessages : public IMessageReporter
{
public:
    explicit CHeldMessages(CWaveWriter& writer) : m_writer(writer), m_reporter(writer.reporter)
    {
        writer.reporter = this;
    }
    ~CHeldMessages() override { Release(); }
    CHeldMessages(const CHeldMessages&) = delete;
    CHeldMessages& operator=(const CHeldMessages&) = delete;

    void Report(const std::string& caption, const std::string& text, MessageIcon icon) override
    {
        m_held.push_back({caption, text, icon});
    }
    void Release() { m_writer.reporter = m_reporter; }
    void Forward()
    {
        if (m_reporter != nullptr)
            for (const Held& message : m_held)
                m_reporter->Report(message.caption, message.text, message.icon);
    }

private:
    struct Held
    {
        std::string caption;
        std::string text;
        MessageIcon icon;
    };
    CWaveWriter& m_writer;
    IMessageReporter* m_reporter;
    std::vector<Held> m_held;
};

std::string FolderOf(const std::string& fileName)
{
    const size_t slash = fileName.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : fileName.substr(0, slash);
}

} // namespace

int64_t EstimatedFileBytes(SoundFileType type, double seconds)
{
    const double waveBytes = 2.0 * kSampleRate * seconds;
    switch (type)
    {
        case SoundFileType::Flac:
            // Noise at a tenth of full scale leaves FLAC little to take away.
            return static_cast<int64_t>(0.75 * waveBytes);
        case SoundFileType::Opus:
            return static_cast<int64_t>(52000.0 / 8.0 * seconds);
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

bool WriteCompressedFile(CWaveWriter& writer, SoundFileType type, double totalSeconds,
                         const std::function<bool(int fd)>& writeWave, EncoderTimes* times)
{
    const std::string name = writer.fileName;
    if (type == SoundFileType::Unknown || type == SoundFileType::Wave)
    {
        Warn(writer, "I can't write " + name + ": " + UnknownSuffixText());
        return false;
    }
    if (!(totalSeconds >= 0.0 && totalSeconds <= Limits::kMaxClockSeconds))
    {
        Warn(writer, "I can't write " + name + ": a sound file can be at most 23:59:59 long");
        return false;
    }
    if (!CanWriteType(type))
    {
        Warn(writer,
             "I can't write " + name + ": this system's libsndfile cannot write " + SoundFileSuffix(type) + " files");
        return false;
    }
    struct statvfs space = {};
    if (::statvfs(FolderOf(name).c_str(), &space) == 0)
    {
        const double freeBytes = static_cast<double>(space.f_bavail) * static_cast<double>(space.f_frsize);
        const int64_t needed = EstimatedFileBytes(type, totalSeconds);
        if (static_cast<double>(needed) > freeBytes)
        {
            Warn(writer, "I can't write " + name + ": it needs about " + std::to_string(needed / 1000000 + 1)
                             + " MB, and only " + std::to_string(static_cast<int64_t>(freeBytes / 1e6))
                             + " MB are free there");
            return false;
        }
    }

    SF_INFO info{};
    info.samplerate = FileRate(type);
    info.channels = 1;
    info.format = SndfileFormat(type);
    CheckedFile output;
    CFileReplacement replacement;
    output.fd = replacement.Open(name.c_str(), O_RDWR);
    if (output.fd < 0)
    {
        Warn(writer, "I can't open " + name + ": " + std::strerror(errno));
        return false;
    }
    SF_VIRTUAL_IO io{&CheckedFile::Length, &CheckedFile::Seek, &CheckedFile::Read, &CheckedFile::Write,
                     &CheckedFile::Tell};
    SNDFILE* file = sf_open_virtual(&io, SFM_WRITE, &info, &output);
    if (file == nullptr)
    {
        ::close(output.fd);
        replacement.Discard();
        Warn(writer, "I can't write " + name);
        return false;
    }
    if (type != SoundFileType::Flac)
    {
        int mode = SF_BITRATE_MODE_CONSTANT;
        sf_command(file, SFC_SET_BITRATE_MODE, &mode, sizeof mode);
        double level = type == SoundFileType::Opus ? kOpusLevel : kMp3Level;
        sf_command(file, SFC_SET_COMPRESSION_LEVEL, &level, sizeof level);
    }

    int ends[2] = {-1, -1};
    bool ok = ::pipe2(ends, O_CLOEXEC) == 0;
    bool encoded = false;
    if (ok)
    {
        // A deeper pipe lets the encoder fall behind a burst of blocks.
        ::fcntl(ends[1], F_SETPIPE_SZ, kPipeBytes);
        CEncoder encoder(file, output, type, ends[0]);
        if (!encoder.ResamplerReady(type))
        {
            ::close(ends[0]);
            ::close(ends[1]);
            Warn(writer, "I can't write " + name);
            ok = false;
        }
        else
        {
            const int64_t savedLimit = writer.maxSamples;
            writer.maxSamples = static_cast<int64_t>(Limits::kMaxClockSeconds) * kSampleRate;
            std::thread thread(&CEncoder::Run, &encoder);
            // The writer sees only the pipe: when the encoder stopped first,
            // its "broken pipe" would hide the file's own reason.
            CHeldMessages held(writer);
            {
                CSigpipeHeld sigpipe;
                ok = writeWave(ends[1]);
                ::close(ends[1]);
            }
            const auto tailStart = std::chrono::steady_clock::now();
            thread.join();
            writer.maxSamples = savedLimit;
            encoded = encoder.Ok();
            if (times != nullptr)
            {
                times->encoderSeconds = encoder.CpuSeconds();
                times->tailSeconds =
                    std::chrono::duration<double>(std::chrono::steady_clock::now() - tailStart).count();
            }
            held.Release();
            if (!encoded)
                Warn(writer,
                     "I can't write " + name
                         + (output.error != 0 ? std::string(": ") + std::strerror(output.error) : std::string()));
            else
                held.Forward();
            ok = ok && encoded;
        }
    }
    else
    {
        Warn(writer, "I can't write " + name);
    }
    // The last pages and the stream's end are written on closing.
    const bool closed = sf_close(file) == 0 && !output.failed;
    // A failed close can be the first news of a failed write (NFS, quotas).
    if ((::close(output.fd) != 0 || !closed) && ok)
    {
        Warn(writer, "I can't write " + name);
        ok = false;
    }
    if (ok && !replacement.Commit())
    {
        Warn(writer, "I can't write " + name + ": " + std::strerror(errno));
        ok = false;
    }
    // A device or a pipe named by the user is not ours to remove.
    if (!ok)
        replacement.Discard();
    return ok;
}
