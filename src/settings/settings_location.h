// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/settings_kind.h"

// The folder of the running program file, with its trailing '/'; empty when
// it is unknown. Set by InitProgramFolder.
extern std::string g_programFolder;

inline constexpr std::string_view kNoiseSettingsFileName = "ns.srx";
inline constexpr std::string_view kFileSettingsFileName = "fs.srx";

// "ns.srx" for Noise, "fs.srx" for File.
std::string_view SettingsFileName(SettingsKind kind);

// The folder part of a program path: everything up to and including its last
// '/'; empty when the path holds none.
std::string ProgramFolderOf(std::string_view programPath);

// Sets g_programFolder from the running program's path (/proc/self/exe), of
// any length. Leaves it empty when the path cannot be read.
void InitProgramFolder();

// What the choice of the settings folder depends on, gathered so that tests
// can stand in for the system.
struct SettingsEnvironment
{
    std::string programFolder;                // g_programFolder
    std::optional<std::string> xdgConfigHome; // $XDG_CONFIG_HOME
    std::optional<std::string> home;          // $HOME, or the password entry's home folder
    // Whether a new file could be created in a folder ("" is the current
    // folder). Defaults to access(W_OK).
    std::function<bool(const std::string&)> isWritable;
    // Whether a folder exists. Defaults to stat.
    std::function<bool(const std::string&)> isFolder;

    // The running program's environment; calls InitProgramFolder.
    static SettingsEnvironment FromSystem();
};

// Whether a folder is one of the system's folders of installed programs
// (/usr/bin/ and the like).
bool IsSystemProgramFolder(std::string_view folder);

// Whether folder is the bin/ of an installed layout: named bin, with
// ../share/susurra beside it (a prefix such as ~/.local or /opt/susurra).
bool IsInstalledProgramFolder(const SettingsEnvironment& environment);

// Where "ns.srx" and "fs.srx" are read and written, with a trailing '/':
// the program's folder when a new file can be created there (a build tree, a
// folder of one's own) and it is neither a system program folder nor the bin/
// of an installed layout; otherwise the user's configuration folder,
// $XDG_CONFIG_HOME/susurra/ when that variable holds an absolute path, else
// $HOME/.config/susurra/. When no home is known the program folder stays.
// An empty program folder means the current folder, and is returned as "".
std::string ChooseSettingsFolder(const SettingsEnvironment& environment);
