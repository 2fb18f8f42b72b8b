// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>

#include "base/file_system_calls.h"
#include "base/io_result.h"

// Replaces the file at path with bytes so that a reader sees either the old
// contents or the new ones, never a mixture: the bytes go into a new file in
// the same folder, are flushed to the disk, and the new file is then renamed
// over the old one. On failure the old file is left as it was and no
// temporary file remains. The new file keeps the old one's permissions and,
// where the user may give it, its owner; a file the user may not write is
// not replaced. When path is a symbolic link, the file it points at is
// replaced and the link stays. Ok, or a problem Open or Write with path.
CIoResult ReplaceFile(const std::string& path, std::span<const unsigned char> bytes, const FileSystemCalls& calls = {});

// Creates folder and any missing parents (mode 0700, as a user's
// configuration folder should be). An existing folder is fine. Ok, or a
// problem CreateFolder with the folder.
CIoResult CreateFolders(const std::string& folder);
