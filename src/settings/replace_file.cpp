// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/replace_file.h"

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/write_all.h"

namespace
{

CIoResult Failure(const std::string& what, int error)
{
    return CIoResult::Failure(IoProblem::Write, what, error);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A save killed outright leaves "NAME.tmp-PID-N"; the next save of NAME
// removes those whose process is gone.
void RemoveDeadTemporaries(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    const std::string prefix = (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
    DIR* folder = ::opendir(FolderOf(path).c_str());
    if (folder == nullptr)
        return;
    while (const dirent* entry = ::readdir(folder))
    {
        const std::string name = entry->d_name;
        if (name.rfind(prefix, 0) != 0)
            continue;
        char* end = nullptr;
        const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
        if (pid > 0 && *end == '-' && pid != ::getpid() && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH)
            ::unlinkat(::dirfd(folder), entry->d_name, 0);
    }
    ::closedir(folder);
}

} // namespace

CIoResult ReplaceFile(const std::string& linkOrPath, std::span<const unsigned char> bytes, const FileSystemCalls& calls)
{
    // A settings file linked from elsewhere (a dotfiles folder, say) stays a
    // link: the file it points at is the one replaced.
    std::string path = linkOrPath;
    struct stat info = {};
    if (::lstat(linkOrPath.c_str(), &info) == 0 && S_ISLNK(info.st_mode))
    {
        if (char* target = ::realpath(linkOrPath.c_str(), nullptr))
        {
            path = target;
            std::free(target);
        }
    }
    const bool hadFile = ::stat(path.c_str(), &info) == 0;
    // Not the user's to write, so not theirs to replace either.
    if (hadFile && ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        return CIoResult::Failure(IoProblem::Open, linkOrPath, errno);
    RemoveDeadTemporaries(path);

    // O_EXCL with a name of our own rather than mkstemp: the new file then
    // gets the permissions the user's umask gives any new file.
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt)
    {
        temporary = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return Failure(linkOrPath, errno);
    }
    if (fd < 0)
        return Failure(linkOrPath, EEXIST);

    int error = 0;
    // The new file keeps the owner and permissions the old one had; the
    // owner first, since giving a file away clears its set-id bits.
    if (hadFile && ::fchown(fd, info.st_uid, info.st_gid) != 0
        && ::fchown(fd, static_cast<uid_t>(-1), info.st_gid) != 0)
    {} // the writer's own file, then
    if (hadFile && ::fchmod(fd, info.st_mode & 07777) != 0)
        error = errno;
    if (error == 0 && (!WriteAll(fd, bytes.data(), bytes.size()) || calls.fsync(fd) != 0))
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && calls.rename(temporary.c_str(), path.c_str()) != 0)
        error = errno;
    if (error != 0)
    {
        ::unlink(temporary.c_str());
        return Failure(linkOrPath, error);
    }

    // Make the rename itself durable. The new contents are in place already,
    // so a failure here is not worth reporting.
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0)
    {
        ::fsync(folder);
        ::close(folder);
    }
    return {};
}

CIoResult CreateFolders(const std::string& folder)
{
    std::string partial;
    std::size_t start = 0;
    while (start <= folder.size())
    {
        std::size_t slash = folder.find('/', start);
        if (slash == std::string::npos)
            slash = folder.size();
        partial = folder.substr(0, slash);
        start = slash + 1;
        if (partial.empty() || partial == "." || partial == "..")
            continue;
        if (::mkdir(partial.c_str(), 0700) != 0 && errno != EEXIST)
            return CIoResult::Failure(IoProblem::CreateFolder, folder, errno);
    }
    struct stat info = {};
    if (::stat(folder.c_str(), &info) != 0)
        return CIoResult::Failure(IoProblem::CreateFolder, folder, errno);
    if (!S_ISDIR(info.st_mode))
        return CIoResult::Failure(IoProblem::CreateFolder, folder, ENOTDIR);
    return {};
}
