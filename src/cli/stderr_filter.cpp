// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/stderr_filter.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <regex>
#include <string>
#include <unistd.h>

#include "base/write_all.h"

CStderrFilter::CStderrFilter()
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return;
    std::fflush(stderr);
    m_saved = ::fcntl(2, F_DUPFD_CLOEXEC, 3);
    if (m_saved < 0 || ::dup2(ends[1], 2) < 0)
    {
        ::close(ends[0]);
        ::close(ends[1]);
        if (m_saved >= 0)
            ::close(m_saved);
        m_saved = -1;
        return;
    }
    ::close(ends[1]);
    m_thread = std::thread(&CStderrFilter::Pass, this, ends[0]);
}

CStderrFilter::~CStderrFilter()
{
    if (m_saved < 0)
        return;
    // Closing the pipe's last write end lets the filter read to its end.
    std::fflush(stderr);
    ::dup2(m_saved, 2);
    m_thread.join();
    ::close(m_saved);
}

void CStderrFilter::Pass(int from)
{
    static const std::regex internal(R"(Expression '.*' failed in '.*', line: \d+)");
    std::string pending;
    char buffer[4096];
    for (;;)
    {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        pending.append(buffer, static_cast<std::size_t>(got));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos)
        {
            const std::string line = pending.substr(0, end + 1);
            pending.erase(0, end + 1);
            if (!std::regex_match(line.substr(0, end), internal))
                WriteAll(m_saved, line.data(), line.size());
        }
    }
    if (!pending.empty())
        WriteAll(m_saved, pending.data(), pending.size());
    ::close(from);
}
