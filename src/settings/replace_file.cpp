// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/replace_file.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/write_all.h"

namespace
{

std::string Failure(const std::string& what, int error)
{
    return "I can't write " + what + ": " + std::strerror(error);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

std::string ReplaceFile(const std::string& linkOrPath, std::span<const unsigned char> bytes,
                        const ReplaceFileCalls& calls)
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
    // The new file keeps the permissions the user gave the old one.
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

std::string CreateFolders(const std::string& folder)
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
            return "I can't create the folder " + folder + ": " + std::strerror(errno);
    }
    struct stat info = {};
    if (::stat(folder.c_str(), &info) != 0)
        return "I can't create the folder " + folder + ": " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return "I can't create the folder " + folder + ": " + std::strerror(ENOTDIR);
    return {};
}
