// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <unistd.h>

// The system calls of ReplaceFile whose failure is hard to bring about on a
// real disk, so that tests can make them fail.
struct ReplaceFileCalls
{
    int (*fsync)(int fd) = ::fsync;
    int (*rename)(const char* from, const char* to) = ::rename;
};

// Replaces the file at path with bytes so that a reader sees either the old
// contents or the new ones, never a mixture: the bytes go into a new file in
// the same folder, are flushed to the disk, and the new file is then renamed
// over the old one. On failure the old file is left as it was and no
// temporary file remains. The new file keeps the old one's permissions;
// when path is a symbolic link, the file it points at is replaced and the
// link stays. Returns an empty string on success, otherwise a
// message that names the file and the reason.
std::string ReplaceFile(const std::string& path, std::span<const unsigned char> bytes,
                        const ReplaceFileCalls& calls = {});

// Creates folder and any missing parents (mode 0700, as a user's
// configuration folder should be). An existing folder is fine. Returns an
// empty string on success, otherwise a message that names the folder.
std::string CreateFolders(const std::string& folder);
