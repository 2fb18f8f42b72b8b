// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/io_result_message.h"

#include <QCoreApplication>

#include <cstring>

namespace
{

// "PATH" or "PATH: reason" from the system's error number.
QString PathAndReason(const CIoResult& result)
{
    const QString path = QString::fromLocal8Bit(result.path);
    if (result.error == 0)
        return path;
    return path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(result.error));
}

} // namespace

QString IoResultMessage(const CIoResult& result)
{
    const QString path = QString::fromLocal8Bit(result.path);
    const QString detail = QString::fromStdString(result.detail);
    switch (result.problem)
    {
        case IoProblem::None:
        case IoProblem::Cancelled:
            return {};
        case IoProblem::Open:
            return QCoreApplication::translate("IoResult", "I can't open %1").arg(PathAndReason(result));
        case IoProblem::Write:
            return QCoreApplication::translate("IoResult", "I can't write %1").arg(PathAndReason(result));
        case IoProblem::Read:
            return QCoreApplication::translate("IoResult", "I can't read %1").arg(PathAndReason(result));
        case IoProblem::NotRegular:
            return QCoreApplication::translate("IoResult", "I can't read %1: it is not a regular file").arg(path);
        case IoProblem::CreateFolder:
            return QCoreApplication::translate("IoResult", "I can't create the folder %1").arg(PathAndReason(result));
        case IoProblem::DanglingLink:
            return QCoreApplication::translate("IoResult",
                                               "I can't write %1: it is a symbolic link to a file that does not exist")
                .arg(path);
        case IoProblem::NotSeekable:
            return QCoreApplication::translate(
                       "IoResult",
                       "I can't write %1: %2 files can only be written into regular files, not into pipes or devices")
                .arg(path, detail);
        case IoProblem::WaveTooLong:
            if (result.detail == kStereoDetail)
                return QCoreApplication::translate(
                           "IoResult", "I can't write %1: a stereo WAV file can be at most 06:45:47 (24347 s) long")
                    .arg(path);
            return QCoreApplication::translate("IoResult",
                                               "I can't write %1: a sound file can be at most 13:31:35 (48695 s) long")
                .arg(path);
        case IoProblem::CompressedTooLong:
            return QCoreApplication::translate("IoResult",
                                               "I can't write %1: a sound file can be at most 23:59:59 long")
                .arg(path);
        case IoProblem::UnknownSuffix:
            return QCoreApplication::translate("IoResult", "I can't write %1: %2").arg(path, detail);
        case IoProblem::TypeNotWritable:
            return QCoreApplication::translate("IoResult",
                                               "I can't write %1: this system's libsndfile cannot write %2 files")
                .arg(path, detail);
        case IoProblem::NoSpace:
            return QCoreApplication::translate("IoResult",
                                               "I can't write %1: it needs about %2 MB, and only %3 MB are free there")
                .arg(path)
                .arg(result.neededMb)
                .arg(result.freeMb);
        case IoProblem::ModuleMissing:
            return QCoreApplication::translate("IoResult", "I can't write %1: %2 is missing").arg(path, detail);
    }
    return {};
}
