// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <climits>

// Where a sound file is written. A regular file, or a new one, is written
// under a temporary name in its folder and renamed into place only when
// whole, so that a failure or an interruption leaves the old file and no
// temporary behind; a link keeps pointing at the file it names. A device or
// a pipe is written in place, and so is a file the user may write in a
// folder they may not (removed should the write fail). Fixed buffers: the
// WAV writer allocates nothing while it writes.
class CFileReplacement
{
public:
    // Opens the file to write: accessFlags is O_WRONLY or O_RDWR. -1, with
    // errno set, when it cannot be opened.
    int Open(const char* name, int accessFlags);
    // After the descriptor was written and closed: the file takes its name.
    // False, with errno set, when it cannot.
    bool Commit();
    // After a failure: removes what was written, unless it is the user's
    // device or pipe.
    void Discard();

private:
    enum class Mode
    {
        Temporary,
        InPlace,
        InPlaceRemovedOnFailure,
    };

    Mode m_mode = Mode::InPlace;
    const char* m_name = nullptr;
    char m_target[PATH_MAX] = {};
    char m_temporary[PATH_MAX + 64] = {};
};
