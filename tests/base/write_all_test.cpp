// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/write_all.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <string>
#include <thread>

namespace
{

// A pipe whose ends close with the test.
struct Pipe
{
    Pipe() { EXPECT_EQ(::pipe2(fds, O_CLOEXEC), 0); }
    ~Pipe()
    {
        Close(0);
        Close(1);
    }
    void Close(int end)
    {
        if (fds[end] >= 0)
            ::close(fds[end]);
        fds[end] = -1;
    }
    int fds[2] = {-1, -1};
};

} // namespace

TEST(WriteAll, DeliversEveryByteThroughShortPipeWrites)
{
    // Far more than a pipe holds, so write() returns short counts.
    std::string bytes(1 << 20, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(i * 131 % 251);
    Pipe pipe;
    std::string received;
    std::thread reader([&] {
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(pipe.fds[0], buffer, sizeof buffer)) > 0)
            received.append(buffer, static_cast<std::size_t>(n));
    });
    const bool ok = WriteAll(pipe.fds[1], bytes.data(), bytes.size());
    pipe.Close(1);
    reader.join();
    EXPECT_TRUE(ok);
    EXPECT_EQ(received, bytes);
}

TEST(WriteAll, ReportsWhyAWriteFailed)
{
    std::signal(SIGPIPE, SIG_IGN);
    Pipe pipe;
    pipe.Close(0); // the reader has gone
    const char bytes[16] = {};
    errno = 0;
    EXPECT_FALSE(WriteAll(pipe.fds[1], bytes, sizeof bytes));
    EXPECT_EQ(errno, EPIPE);

    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    errno = 0;
    EXPECT_FALSE(WriteAll(fd, bytes, sizeof bytes));
    EXPECT_EQ(errno, ENOSPC);
    ::close(fd);
}

TEST(WriteAll, WritesNothingForAnEmptyBuffer)
{
    // A closed descriptor would fail any write(): none is made.
    EXPECT_TRUE(WriteAll(-1, "", 0));
}
