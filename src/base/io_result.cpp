// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/io_result.h"

#include <cstring>

namespace
{

std::string Reason(const CIoResult& result)
{
    return result.error != 0 ? std::string(": ") + std::strerror(result.error) : std::string();
}

} // namespace

std::string IoResultText(const CIoResult& result)
{
    const std::string& path = result.path;
    switch (result.problem)
    {
        case IoProblem::None:
        case IoProblem::Cancelled:
            return {};
        case IoProblem::Open:
            return "I can't open " + path + Reason(result);
        case IoProblem::Write:
            return "I can't write " + path + Reason(result);
        case IoProblem::Read:
            return "I can't read " + path + Reason(result);
        case IoProblem::NotRegular:
            return "I can't read " + path + ": it is not a regular file";
        case IoProblem::CreateFolder:
            return "I can't create the folder " + path + Reason(result);
        case IoProblem::DanglingLink:
            return "I can't write " + path + ": it is a symbolic link to a file that does not exist";
        case IoProblem::NotSeekable:
            return "I can't write " + path + ": " + result.detail
                   + " files can only be written into regular files, not into pipes or devices";
        case IoProblem::WaveTooLong:
            if (result.detail == kStereoDetail)
                return "I can't write " + path + ": a stereo WAV file can be at most 06:45:47 (24347 s) long";
            return "I can't write " + path + ": a sound file can be at most 13:31:35 (48695 s) long";
        case IoProblem::CompressedTooLong:
            return "I can't write " + path + ": a sound file can be at most 23:59:59 long";
        case IoProblem::UnknownSuffix:
            return "I can't write " + path + ": " + result.detail;
        case IoProblem::TypeNotWritable:
            return "I can't write " + path + ": this system's libsndfile cannot write " + result.detail + " files";
        case IoProblem::NoSpace:
            return "I can't write " + path + ": it needs about " + std::to_string(result.neededMb) + " MB, and only "
                   + std::to_string(result.freeMb) + " MB are free there";
        case IoProblem::ModuleMissing:
            return "I can't write " + path + ": " + result.detail + " is missing";
    }
    return {};
}
