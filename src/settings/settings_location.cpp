// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_location.h"

#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

std::string g_programFolder;

std::string_view SettingsFileName(SettingsKind kind)
{
    return kind == SettingsKind::Noise ? kNoiseSettingsFileName : kFileSettingsFileName;
}

std::string ProgramFolderOf(std::string_view programPath)
{
    const std::size_t slash = programPath.rfind('/');
    if (slash == std::string_view::npos)
        return {};
    return std::string(programPath.substr(0, slash + 1));
}

void InitProgramFolder()
{
    // readlink neither terminates nor says whether it cut the path, so grow
    // the buffer until the path fits with room to spare.
    std::vector<char> buffer(1024);
    for (;;)
    {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
        {
            g_programFolder.clear();
            return;
        }
        if (static_cast<std::size_t>(length) < buffer.size())
        {
            g_programFolder = ProgramFolderOf(std::string_view(buffer.data(), static_cast<std::size_t>(length)));
            return;
        }
        buffer.resize(buffer.size() * 2);
    }
}

SettingsEnvironment SettingsEnvironment::FromSystem()
{
    InitProgramFolder();
    SettingsEnvironment environment;
    environment.programFolder = g_programFolder;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"))
        environment.xdgConfigHome = xdg;
    if (const char* home = std::getenv("HOME"); home && *home)
    {
        environment.home = home;
    }
    else
    {
        std::vector<char> text(16384);
        passwd entry{};
        passwd* found = nullptr;
        if (::getpwuid_r(::getuid(), &entry, text.data(), text.size(), &found) == 0 && found && found->pw_dir)
            environment.home = found->pw_dir;
    }
    environment.isWritable = [](const std::string& folder) {
        return ::access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
    };
    environment.isFolder = [](const std::string& folder) {
        struct stat info = {};
        return ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    };
    return environment;
}

bool IsSystemProgramFolder(std::string_view folder)
{
    // Root may write into these, but settings files don't belong there.
    static constexpr std::string_view kSystemFolders[] = {
        "/bin/", "/sbin/", "/usr/bin/", "/usr/sbin/", "/usr/games/", "/usr/local/bin/", "/usr/local/sbin/",
    };
    for (std::string_view system : kSystemFolders)
        if (folder == system)
            return true;
    return false;
}

bool IsInstalledProgramFolder(const SettingsEnvironment& environment)
{
    // An installed program shares its prefix with others; its settings belong
    // to the user, not beside it.
    const std::string& program = environment.programFolder;
    const bool namedBin = program == "bin/" || (program.size() >= 5 && program.ends_with("/bin/"));
    return namedBin && environment.isFolder && environment.isFolder(program + "../share/susurra");
}

std::string ChooseSettingsFolder(const SettingsEnvironment& environment)
{
    const std::string& program = environment.programFolder;
    if (!IsSystemProgramFolder(program) && !IsInstalledProgramFolder(environment)
        && (!environment.isWritable || environment.isWritable(program)))
        return program;

    // A relative $XDG_CONFIG_HOME is invalid and must be ignored.
    std::string base;
    if (environment.xdgConfigHome && !environment.xdgConfigHome->empty() && environment.xdgConfigHome->front() == '/')
        base = *environment.xdgConfigHome;
    else if (environment.home && !environment.home->empty())
        base = *environment.home + "/.config";
    else
        return program;
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    if (base == "/")
        base.clear();
    return base + "/susurra/";
}
