// SPDX-License-Identifier: GPL-3.0-or-later
#include "soundfile/file_replacement.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int CFileReplacement::Open(const char* name, int accessFlags)
{
    m_name = name;
    struct stat existing = {};
    const bool exists = ::stat(name, &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode))
    {
        m_mode = Mode::InPlace;
        return ::open(name, accessFlags | O_TRUNC | O_CLOEXEC);
    }
    // A link to a file stays a link: the file it points at is replaced.
    if (::realpath(name, m_target) == nullptr)
        std::snprintf(m_target, sizeof m_target, "%s", name);
    const char* slash = std::strrchr(m_target, '/');
    const int folderLength = slash == nullptr ? 0 : static_cast<int>(slash - m_target + 1);

    // O_EXCL with a name of our own rather than mkstemp: the file gets the
    // permissions the user's umask gives any new file.
    int fd = -1;
    int error = 0;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        std::snprintf(m_temporary, sizeof m_temporary, "%.*s.susurra-%ld-%d.tmp", folderLength, m_target,
                      static_cast<long>(::getpid()), attempt);
        fd = ::open(m_temporary, accessFlags | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        error = errno;
        if (fd < 0 && error != EEXIST)
            break;
    }
    if (fd >= 0)
    {
        m_mode = Mode::Temporary;
        return fd;
    }
    if (exists && (error == EACCES || error == EPERM) && ::access(name, W_OK) == 0)
    {
        m_mode = Mode::InPlaceRemovedOnFailure;
        return ::open(name, accessFlags | O_TRUNC | O_CLOEXEC);
    }
    errno = error;
    return -1;
}

bool CFileReplacement::Commit()
{
    return m_mode != Mode::Temporary || ::rename(m_temporary, m_target) == 0;
}

void CFileReplacement::Discard()
{
    if (m_mode == Mode::Temporary)
        ::unlink(m_temporary);
    else if (m_mode == Mode::InPlaceRemovedOnFailure)
        ::unlink(m_name); // a header that promises samples that are not there
}
