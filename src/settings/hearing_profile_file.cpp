// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/hearing_profile_file.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "base/read_up_to.h"
#include "settings/replace_file.h"
#include "synth/hearing_check.h"

namespace
{

constexpr std::string_view kNotHeard = "not heard";

std::string_view Trim(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

bool ReadInt(std::string_view text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return !text.empty() && error == std::errc() && stop == end;
}

bool IsDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (i != 4 && i != 7 && (text[i] < '0' || text[i] > '9'))
            return false;
    return true;
}

// The problem with one "EAR FREQ=LEVEL" entry, or empty when it was read.
std::string ReadThreshold(std::string_view key, std::string_view value, HearingThreshold& entry)
{
    const size_t space = key.find(' ');
    const std::optional<HearingEar> ear = HearingEarFromName(key.substr(0, std::min(space, key.size())));
    if (space == std::string_view::npos || !ear)
        return "unknown entry '" + std::string(key) + "'";
    const std::vector<int> known = CHearingCheck::Frequencies(true);
    int hz = 0;
    if (!ReadInt(Trim(key.substr(space + 1)), hz) || std::find(known.begin(), known.end(), hz) == known.end())
        return "no frequency of the hearing check in '" + std::string(key) + "'";
    entry = HearingThreshold{*ear, hz, CHearingCheck::kMaxDb, false};
    if (value == kNotHeard)
        return {};
    int level = 0;
    if (!ReadInt(value, level) || level < CHearingCheck::kMinDb || level > CHearingCheck::kMaxDb)
        return "the level '" + std::string(value) + "' is not a whole number from -90 to -10";
    entry.levelDb = level;
    entry.heard = true;
    return {};
}

HearingProfileLoad Damaged(size_t line, std::string problem)
{
    HearingProfileLoad load;
    load.state = HearingProfileLoad::State::Damaged;
    load.problem = line > 0 ? "line " + std::to_string(line) + ": " + problem : std::move(problem);
    return load;
}

} // namespace

std::string FormatHearingProfile(const HearingProfile& profile)
{
    std::string device = profile.device;
    std::replace_if(
        device.begin(), device.end(), [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }, ' ');
    std::string text = "# Susurra hearing check: the quietest level heard, in dB of the device's full scale.\n"
                       "# Not a clinical audiogram: it has no absolute calibration.\n";
    text += "date=" + profile.date + "\n";
    text += "device=" + device + "\n";
    for (const HearingThreshold& t : profile.thresholds)
    {
        text += std::string(HearingEarName(t.ear)) + " " + std::to_string(t.frequencyHz) + "=";
        text += t.heard ? std::to_string(t.levelDb) : std::string(kNotHeard);
        text += "\n";
    }
    return text;
}

HearingProfileLoad ParseHearingProfile(std::string_view text)
{
    if (text.size() > kMaxHearingProfileBytes)
        return Damaged(0, "the file is larger than a profile can be");
    HearingProfileLoad load;
    bool dated = false;
    bool named = false;
    size_t number = 0;
    while (!text.empty())
    {
        ++number;
        const size_t end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#')
            continue;
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos)
            return Damaged(number, "no '=' in the line");
        const std::string_view key = Trim(line.substr(0, equals));
        const std::string_view value = Trim(line.substr(equals + 1));
        if (key == "date" || key == "device")
        {
            bool& seen = key == "date" ? dated : named;
            if (seen)
                return Damaged(number, "a second " + std::string(key));
            if (key == "date" && !IsDate(value))
                return Damaged(number, "the date is not YYYY-MM-DD");
            seen = true;
            (key == "date" ? load.profile.date : load.profile.device) = value;
            continue;
        }
        HearingThreshold entry;
        if (const std::string problem = ReadThreshold(key, value, entry); !problem.empty())
            return Damaged(number, problem);
        for (const HearingThreshold& t : load.profile.thresholds)
            if (t.ear == entry.ear && t.frequencyHz == entry.frequencyHz)
                return Damaged(number, "a second entry for '" + std::string(key) + "'");
        load.profile.thresholds.push_back(entry);
    }
    if (!dated)
        return Damaged(0, "no date");
    if (load.profile.thresholds.empty())
        return Damaged(0, "no threshold");
    load.state = HearingProfileLoad::State::Loaded;
    return load;
}

HearingProfileLoad LoadHearingProfile(const std::string& folder)
{
    const std::string path = folder + std::string(kHearingProfileFileName);
    HearingProfileLoad load;
    // O_NONBLOCK: a named pipe in the file's place must not hang the open.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
    {
        if (errno != ENOENT)
        {
            load.state = HearingProfileLoad::State::Unreadable;
            load.io = CIoResult::Failure(IoProblem::Open, path, errno);
        }
        return load;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(fd);
        load.state = HearingProfileLoad::State::Unreadable;
        load.io = CIoResult::Failure(IoProblem::NotRegular, path);
        return load;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // One byte beyond the cap tells a file that is too large.
    std::string bytes(kMaxHearingProfileBytes + 1, '\0');
    int error = 0;
    const std::size_t size = ReadUpTo(fd, bytes.data(), bytes.size(), error);
    ::close(fd);
    if (error != 0)
    {
        load.state = HearingProfileLoad::State::Unreadable;
        load.io = CIoResult::Failure(IoProblem::Read, path, error);
        return load;
    }
    bytes.resize(size);
    return ParseHearingProfile(bytes);
}

CIoResult SaveHearingProfile(const std::string& folder, const HearingProfile& profile)
{
    if (!folder.empty())
        if (CIoResult made = CreateFolders(folder); !made)
            return made;
    const std::string text = FormatHearingProfile(profile);
    return ReplaceFile(folder + std::string(kHearingProfileFileName),
                       std::span(reinterpret_cast<const unsigned char*>(text.data()), text.size()));
}

CIoResult ClearHearingProfile(const std::string& folder)
{
    const std::string path = folder + std::string(kHearingProfileFileName);
    if (::unlink(path.c_str()) != 0 && errno != ENOENT)
        return CIoResult::Failure(IoProblem::Write, path, errno);
    return {};
}
