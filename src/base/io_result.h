// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <utility>

// What went wrong with a file: the ids the window and the command line turn
// into their own messages. The English text of each is IoResultText's.
enum class IoProblem
{
    None,
    Cancelled,         // stopped on request: nothing to tell
    Open,              // "I can't open PATH[: errno]"
    Write,             // "I can't write PATH[: errno]"
    Read,              // "I can't read PATH: errno"
    NotRegular,        // "I can't read PATH: it is not a regular file"
    CreateFolder,      // "I can't create the folder PATH: errno"
    DanglingLink,      // a symbolic link to nothing: not written through
    NotSeekable,       // detail: the suffix of a type that needs a seekable file
    WaveTooLong,       // beyond the WAV header's 13:31:35; detail kStereoDetail: its 06:45:47
    CompressedTooLong, // beyond 23:59:59
    UnknownSuffix,     // detail: the text that lists the known suffixes
    TypeNotWritable,   // detail: the suffix libsndfile cannot write
    NoSpace,           // neededMb, freeMb: the estimate does not fit
    ModuleMissing,     // detail: the module's file name
};

// The detail of a WaveTooLong for a two-channel file, whose header holds
// half as long.
inline constexpr char kStereoDetail[] = "stereo";

// The outcome of a file or settings operation: Ok, or the problem with the
// path it concerns and the system's error number (0 when none applies).
struct CIoResult
{
    IoProblem problem = IoProblem::None;
    std::string path;
    int error = 0;
    std::string detail;
    int64_t neededMb = 0;
    int64_t freeMb = 0;

    bool Ok() const { return problem == IoProblem::None; }
    explicit operator bool() const { return Ok(); }

    static CIoResult Failure(IoProblem problem, std::string path, int error = 0)
    {
        CIoResult result;
        result.problem = problem;
        result.path = std::move(path);
        result.error = error;
        return result;
    }
};

// The English message for a failure ("I can't write x.wav: No space left on
// device"); empty for Ok and Cancelled.
std::string IoResultText(const CIoResult& result);
