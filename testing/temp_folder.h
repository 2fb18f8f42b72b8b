// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// A fresh folder for one test, removed with its contents at the end.
// Path() ends with '/'.
class CTempFolder
{
public:
    CTempFolder()
    {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/susurra-test-XXXXXX";
        m_path = std::string(::mkdtemp(pattern.data())) + "/";
    }
    ~CTempFolder() { std::filesystem::remove_all(m_path); }
    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

inline std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a folder, sorted.
inline std::vector<std::string> FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs a shell command with its output in folder/out and errors in
// folder/err; returns the exit status.
inline int RunShell(const CTempFolder& folder, const std::string& command)
{
    const int status = std::system((command + " >'" + folder / "out" + "' 2>'" + folder / "err" + "'").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs f with files limited to `bytes`, so that a write fails part of the way
// as on a full disk, even for root; returns what f returns.
template <class F>
auto WithFileSizeLimit(rlim_t bytes, F f)
{
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limit = saved;
    limit.rlim_cur = bytes;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    const auto result = f();
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    return result;
}
