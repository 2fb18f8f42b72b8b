// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <climits>

#include "base/file_system_calls.h"
#include "base/io_result.h"

// Where a sound file is written. A regular file, or a new one, is written
// under a temporary name in its folder, flushed to the disk and renamed into
// place only when whole, so that a failure or an interruption leaves the old
// file and no temporary behind; it keeps the old file's mode and, where the
// user may give it, its owner. A link keeps pointing at the file it names; a
// link to nothing is refused. A device or a pipe is written in place, and so
// is a file the user may write in a folder they may not: such a file cannot
// be removed, so a failure empties it. Temporaries left by processes that
// died are removed from the folder first. Fixed buffers: the WAV writer
// allocates nothing while it writes a file.
class CFileReplacement
{
public:
    // Opens the file to write: accessFlags is O_WRONLY or O_RDWR. Ok with
    // fd set, or why not (fd -1): a problem Open with errno, or DanglingLink.
    // An existing file the user may not write is refused.
    CIoResult Open(const char* name, int accessFlags, int& fd);
    // Whether fd is a regular file written in place: until it is whole it
    // must not claim to be, since no failure can take it away.
    bool InPlaceRegular() const { return m_mode == Mode::InPlaceRegular; }
    // Whether fd is the user's device or pipe.
    bool Stream() const { return m_mode == Mode::Stream; }
    // After fd was written whole: flushed to the disk, closed, and the file
    // takes its name. A failure is a problem Write and is discarded.
    CIoResult Finish(int fd);
    // After a failure: closes fd and removes what was written, or empties
    // a file written in place; the user's device or pipe stays as it is.
    void Discard(int fd);

    FileSystemCalls calls;

private:
    enum class Mode
    {
        Temporary,
        Stream,
        InPlaceRegular,
    };

    void RemoveDeadTemporaries(int folderLength) const;
    void KeepOwnerAndMode(int fd) const;

    Mode m_mode = Mode::Stream;
    const char* m_name = nullptr;
    bool m_existed = false;
    unsigned m_oldMode = 0;
    unsigned m_oldUser = 0;
    unsigned m_oldGroup = 0;
    char m_target[PATH_MAX] = {};
    char m_temporary[PATH_MAX + 64] = {};
};
