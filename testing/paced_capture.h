// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

// An ALSA configuration whose default device is a "file" device (slave
// "null") writing the raw stream into `file`.
inline void WriteFileDeviceConfig(const std::string& conf, const std::string& file)
{
    std::ofstream(conf) << "</usr/share/alsa/alsa.conf>\n"
                           "pcm.!default {\n  type file\n  slave.pcm \"null\"\n  file \""
                        << file << "\"\n  format \"raw\"\n}\n";
}

// Reads a capture pipe, by default no faster than a sound card would play
// (unpaced where the writer keeps time itself). Keeps up to a minute.
class CPacedCapture
{
public:
    explicit CPacedCapture(const std::string& path, bool paced = true) : m_bytes(88200 * 60), m_paced(paced)
    {
        ::unlink(path.c_str());
        ::mkfifo(path.c_str(), 0600);
        // Read-write: opening never blocks and a writer closing gives no end of file.
        m_fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (paced) // a small pipe holds the writer back to the reading pace
            ::fcntl(m_fd, F_SETPIPE_SZ, 4096);
        m_thread = std::thread([this] { Run(); });
    }
    ~CPacedCapture()
    {
        m_quit = true;
        m_thread.join();
        ::close(m_fd);
    }
    std::size_t Samples() const { return m_count.load() / 2; }
    std::vector<int16_t> Copy() const
    {
        const std::size_t n = Samples();
        std::vector<int16_t> out(n);
        std::memcpy(out.data(), m_bytes.data(), n * 2);
        return out;
    }
    bool WaitForSamples(std::size_t count, std::chrono::seconds limit = std::chrono::seconds(60)) const
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (Samples() < count && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return Samples() >= count;
    }
    // Waits until the pipe has been empty for a while.
    void WaitQuiet() const
    {
        for (int still = 0; still < 3;)
        {
            const std::size_t before = m_count.load();
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            int pending = 0;
            ::ioctl(m_fd, FIONREAD, &pending);
            still = (pending == 0 && m_count.load() == before) ? still + 1 : 0;
        }
    }

private:
    void Run()
    {
        double allowance = 0;
        auto last = std::chrono::steady_clock::now();
        for (bool idle = true; !m_quit;)
        {
            if (m_paced || idle)
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            idle = true;
            const auto now = std::chrono::steady_clock::now();
            const double earned = std::chrono::duration<double>(now - last).count() * 88200.0;
            allowance = m_paced ? std::min(allowance + earned, 8820.0) : 1e9;
            last = now;
            const std::size_t have = m_count.load();
            const std::size_t room = m_bytes.size() - have;
            const std::size_t want = std::min(static_cast<std::size_t>(allowance), room);
            if (want < 2)
                continue;
            const ssize_t n = ::read(m_fd, m_bytes.data() + have, want);
            if (n > 0)
            {
                idle = false;
                allowance -= static_cast<double>(n);
                m_count.store(have + static_cast<std::size_t>(n));
            }
        }
    }

    std::vector<char> m_bytes;
    std::atomic<std::size_t> m_count{0};
    std::atomic<bool> m_quit{false};
    bool m_paced;
    int m_fd = -1;
    std::thread m_thread;
};
