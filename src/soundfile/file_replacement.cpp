// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/file_replacement.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{

constexpr char kTemporaryPrefix[] = ".susurra-";
constexpr char kTemporarySuffix[] = ".tmp";

// The process id in ".susurra-PID-N.tmp"; 0 for any other name.
long TemporaryOwner(const char* name)
{
    const size_t prefix = sizeof kTemporaryPrefix - 1;
    if (std::strncmp(name, kTemporaryPrefix, prefix) != 0)
        return 0;
    const char* p = name + prefix;
    long pid = 0;
    const char* digits = p;
    while (*p >= '0' && *p <= '9' && p - digits < 10)
        pid = pid * 10 + (*p++ - '0');
    if (p == digits || *p++ != '-')
        return 0;
    const char* attempt = p;
    while (*p >= '0' && *p <= '9')
        ++p;
    return p != attempt && std::strcmp(p, kTemporarySuffix) == 0 ? pid : 0;
}

} // namespace

CIoResult CFileReplacement::Open(const char* name, int accessFlags, int& fd)
{
    m_name = name;
    fd = -1;
    struct stat existing = {};
    m_existed = ::stat(name, &existing) == 0;
    if (!m_existed && errno == ENOENT && ::lstat(name, &existing) == 0 && S_ISLNK(existing.st_mode))
        // Writing through it would create a file the user never named;
        // replacing it would lose the link.
        return CIoResult::Failure(IoProblem::DanglingLink, name);
    if (m_existed && !S_ISREG(existing.st_mode))
    {
        m_mode = Mode::Stream;
        fd = ::open(name, accessFlags | O_TRUNC | O_CLOEXEC);
        return fd >= 0 ? CIoResult{} : CIoResult::Failure(IoProblem::Open, name, errno);
    }
    // A file the user may not write is not theirs to replace, even in a
    // folder they may write.
    if (m_existed && ::faccessat(AT_FDCWD, name, W_OK, AT_EACCESS) != 0)
        return CIoResult::Failure(IoProblem::Open, name, errno);
    m_oldMode = existing.st_mode & 07777;
    m_oldUser = existing.st_uid;
    m_oldGroup = existing.st_gid;

    // A link to a file stays a link: the file it points at is replaced.
    if (::realpath(name, m_target) == nullptr)
        std::snprintf(m_target, sizeof m_target, "%s", name);
    const char* slash = std::strrchr(m_target, '/');
    const int folderLength = slash == nullptr ? 0 : static_cast<int>(slash - m_target + 1);
    RemoveDeadTemporaries(folderLength);

    // O_EXCL with a name of our own rather than mkstemp: a new file gets the
    // permissions the user's umask gives any new file.
    int error = 0;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        std::snprintf(m_temporary, sizeof m_temporary, "%.*s%s%ld-%d%s", folderLength, m_target, kTemporaryPrefix,
                      static_cast<long>(::getpid()), attempt, kTemporarySuffix);
        fd = ::open(m_temporary, accessFlags | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        error = errno;
        if (fd < 0 && error != EEXIST)
            break;
    }
    if (fd >= 0)
    {
        m_mode = Mode::Temporary;
        if (m_existed)
            KeepOwnerAndMode(fd);
        return {};
    }
    if (m_existed && (error == EACCES || error == EPERM))
    {
        m_mode = Mode::InPlaceRegular;
        fd = ::open(name, accessFlags | O_TRUNC | O_CLOEXEC);
        return fd >= 0 ? CIoResult{} : CIoResult::Failure(IoProblem::Open, name, errno);
    }
    return CIoResult::Failure(IoProblem::Open, name, error);
}

// A render killed outright leaves its temporary; the next write into the
// folder clears those whose process is gone. Read with getdents64 into a
// buffer on the stack, since opendir would allocate.
void CFileReplacement::RemoveDeadTemporaries(int folderLength) const
{
    char folder[PATH_MAX];
    std::snprintf(folder, sizeof folder, "%.*s", folderLength, m_target);
    const int dir = ::open(folderLength == 0 ? "." : folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return;
    alignas(8) char buffer[8192];
    for (;;)
    {
        const long got = ::syscall(SYS_getdents64, dir, buffer, sizeof buffer);
        if (got <= 0)
            break;
        for (long at = 0; at < got;)
        {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer + at);
            at += entry->d_reclen;
            const long pid = TemporaryOwner(entry->d_name);
            if (pid > 0 && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
                ::unlinkat(dir, entry->d_name, 0);
        }
    }
    ::close(dir);
}

// The owner first: giving a file away clears its set-id bits.
void CFileReplacement::KeepOwnerAndMode(int fd) const
{
    // Another user's file becomes the writer's, in the old group where the
    // writer belongs to it; the mode is kept either way.
    if (::fchown(fd, m_oldUser, m_oldGroup) != 0 && ::fchown(fd, static_cast<uid_t>(-1), m_oldGroup) != 0)
    {}
    ::fchmod(fd, m_oldMode);
}

CIoResult CFileReplacement::Finish(int fd)
{
    // Without the flush a power cut after the rename can leave an empty file
    // under the final name.
    int error = 0;
    if (m_mode != Mode::Stream && calls.fsync(fd) != 0)
        error = errno;
    // A failed close can be the first news of a failed write (NFS, quotas).
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && m_mode == Mode::Temporary && calls.rename(m_temporary, m_target) != 0)
        error = errno;
    if (error != 0)
    {
        Discard(-1);
        return CIoResult::Failure(IoProblem::Write, m_name, error);
    }
    if (m_mode == Mode::Temporary)
    {
        // The rename itself is made durable; the file is in place already,
        // so a failure here is not worth reporting.
        const char* slash = std::strrchr(m_target, '/');
        char folder[PATH_MAX];
        std::snprintf(folder, sizeof folder, "%.*s", slash == nullptr ? 1 : static_cast<int>(slash - m_target + 1),
                      slash == nullptr ? "." : m_target);
        const int dir = ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0)
        {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return {};
}

void CFileReplacement::Discard(int fd)
{
    if (fd >= 0)
    {
        if (m_mode == Mode::InPlaceRegular && ::ftruncate(fd, 0) != 0)
        {} // nothing more can be done: the header still claims no samples
        ::close(fd);
    }
    if (m_mode == Mode::Temporary)
        ::unlink(m_temporary);
    else if (m_mode == Mode::InPlaceRegular && fd < 0 && ::truncate(m_name, 0) != 0)
    {}
}
