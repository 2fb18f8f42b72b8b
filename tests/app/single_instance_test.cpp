// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/single_instance.h"
#include "testing/ui/qt_test_app.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <future>
#include <string>

namespace
{

class SingleInstance : public QtTest
{
protected:
    static sockaddr_un Address(const QString& path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        const QByteArray name = QFile::encodeName(path);
        std::memcpy(address.sun_path, name.constData(), static_cast<size_t>(name.size()));
        return address;
    }
    // A raw client on the first window's socket; -1 when it cannot connect.
    static int Connect(const CSingleInstance& instance)
    {
        const sockaddr_un address = Address(instance.SocketPath());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0)
        {
            ::close(fd);
            return -1;
        }
        return fd;
    }
    template <class Done>
    static void RunUntil(Done done)
    {
        const QDeadlineTimer deadline(5000);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }

    QTemporaryDir m_settings;
    QTemporaryDir m_folder; // the runtime folder
};

TEST_F(SingleInstance, ASecondStartOverAStaleSocketListensAndAThirdHandsOverToIt)
{
    // A crash leaves the socket file behind, with nobody listening.
    const QString path = CSingleInstance(m_settings.path(), m_folder.path()).SocketPath();
    const sockaddr_un address = Address(path);
    const int left = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(left, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(left);
    ASSERT_TRUE(QFile::exists(path));

    CSingleInstance first(m_settings.path(), m_folder.path());
    EXPECT_FALSE(first.HandOverToRunning()) << "nobody answers the stale socket";
    QSignalSpy raised(&first, &CSingleInstance::RaiseRequested);
    std::future<bool> third = std::async(std::launch::async, [this] {
        CSingleInstance instance(m_settings.path(), m_folder.path());
        return instance.HandOverToRunning();
    });
    RunUntil([&] { return third.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    EXPECT_TRUE(third.get());
    EXPECT_EQ(raised.count(), 1);
}

TEST_F(SingleInstance, AClientThatLeavesAtOnceStillRaisesAndEndsNothing)
{
    CSingleInstance first(m_settings.path(), m_folder.path());
    ASSERT_FALSE(first.HandOverToRunning());
    QSignalSpy raised(&first, &CSingleInstance::RaiseRequested);
    const int fd = Connect(first);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, "raise\n", 6), 6);
    ::close(fd);
    // The answer goes to a closed socket: without care, SIGPIPE ends this test.
    RunUntil([&] { return raised.count() > 0; });
    EXPECT_EQ(raised.count(), 1);
    QCoreApplication::processEvents();
}

TEST_F(SingleInstance, AnythingButTheRequestIsDropped)
{
    CSingleInstance first(m_settings.path(), m_folder.path());
    ASSERT_FALSE(first.HandOverToRunning());
    QSignalSpy raised(&first, &CSingleInstance::RaiseRequested);
    const int fd = Connect(first);
    ASSERT_GE(fd, 0);
    const std::string junk(100, 'x');
    ASSERT_EQ(::write(fd, junk.data(), junk.size()), static_cast<ssize_t>(junk.size()));
    char answer[8];
    std::future<ssize_t> read = std::async(std::launch::async, [&] { return ::read(fd, answer, sizeof answer); });
    RunUntil([&] { return read.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    EXPECT_EQ(read.get(), 0) << "the window closes the connection";
    ::close(fd);
    EXPECT_EQ(raised.count(), 0);
}

// The settings folder, not the session, makes one window: a start on the
// same folder from another runtime folder (another session) ends, one on
// another folder opens its own window; the socket is the user's alone.
TEST_F(SingleInstance, OneWindowPerSettingsFolderWhateverTheSession)
{
    CSingleInstance first(m_settings.path(), m_folder.path());
    ASSERT_FALSE(first.HandOverToRunning());
    struct stat status
    {};
    ASSERT_EQ(::stat(QFile::encodeName(first.SocketPath()).constData(), &status), 0);
    EXPECT_TRUE(S_ISSOCK(status.st_mode));
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    QTemporaryDir otherSession;
    testing::internal::CaptureStderr();
    EXPECT_TRUE(CSingleInstance(m_settings.path() + "/.", otherSession.path()).HandOverToRunning());
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "susurra: another Susurra window uses the settings in " + m_settings.path().toStdString()
                  + "/., but cannot be reached from here (another session?); close it first\n");

    QTemporaryDir otherSettings;
    CSingleInstance second(otherSettings.path(), m_folder.path());
    EXPECT_FALSE(second.HandOverToRunning());
    EXPECT_NE(second.SocketPath(), first.SocketPath());
}

// Something at the socket's path that accepts and never answers is no window
// of this settings folder: the start opens its window and takes the path over.
TEST_F(SingleInstance, ASocketThatAcceptsButNeverAnswersIsReplaced)
{
    const QString path = CSingleInstance(m_settings.path(), m_folder.path()).SocketPath();
    const sockaddr_un address = Address(path);
    const int squatter = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(squatter, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(squatter, 8), 0);

    CSingleInstance first(m_settings.path(), m_folder.path());
    EXPECT_FALSE(first.HandOverToRunning());
    QSignalSpy raised(&first, &CSingleInstance::RaiseRequested);
    std::future<bool> second = std::async(
        std::launch::async, [this] { return CSingleInstance(m_settings.path(), m_folder.path()).HandOverToRunning(); });
    RunUntil([&] { return second.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
    EXPECT_TRUE(second.get());
    EXPECT_EQ(raised.count(), 1) << "the first window answers, not the squatter";
    ::close(squatter);
}

} // namespace
