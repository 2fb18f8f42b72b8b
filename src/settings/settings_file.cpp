// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/settings_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/read_up_to.h"
#include "settings/noise_extras.h"
#include "settings/replace_file.h"
#include "settings/setting_text.h"

namespace
{

std::int32_t ReadInt32(const unsigned char* at)
{
    std::int32_t value;
    std::memcpy(&value, at, sizeof value); // records and header are little-endian, as memory is
    return value;
}

void AppendInt32(std::vector<unsigned char>& out, std::int32_t value)
{
    unsigned char bytes[sizeof value];
    std::memcpy(bytes, &value, sizeof value);
    out.insert(out.end(), bytes, bytes + sizeof value);
}

// Returns whether a text had to be cut.
bool TerminateTexts(NoiseSetting& s)
{
    return TerminateField(s.name, sizeof s.name);
}

bool TerminateTexts(FileSetting& s)
{
    const bool nameCut = TerminateField(s.name, sizeof s.name);
    const bool fileNameCut = TerminateField(s.fileName, sizeof s.fileName);
    return nameCut || fileNameCut;
}

// Leaves only meaningful bytes in a record, so that a file's bytes depend on
// the settings alone and no stale memory reaches the disk.
void CleanForWriting(NoiseSetting& s)
{
    // A valid extension block stays; anything else there becomes zeros.
    const NoiseExtras extras = ReadNoiseExtras(s);
    std::memset(s.reserved1, 0, sizeof s.reserved1);
    WriteNoiseExtras(s, extras);
    StoreName(s.name, std::string(FieldText(s.name)));
}

// Stray bytes in the extension block read as zeros from the start.
void CleanExtensions(NoiseSetting& s)
{
    WriteNoiseExtras(s, ReadNoiseExtras(s));
}

void CleanExtensions(FileSetting&) {}

void CleanForWriting(FileSetting& s)
{
    std::memset(s.reserved, 0, sizeof s.reserved);
    StoreName(s.name, std::string(FieldText(s.name)));
    StoreFileName(s.fileName, std::string(FieldText(s.fileName)));
}

template <class Record>
SettingsLoadResult Parse(CSettingsTable<Record>& table, std::span<const unsigned char> bytes)
{
    SettingsLoadResult result;
    result.opened = true;
    if (bytes.size() < kSettingsHeaderSize)
    {
        result.problem = "the file ends inside its 12-byte header";
        return result;
    }
    const std::int32_t count = ReadInt32(bytes.data());
    // bytes 4..7: the format marker, which carries no information
    table.m_savedSelection = ReadInt32(bytes.data() + 8);
    if (count < 0)
    {
        result.problem = "the record count " + std::to_string(count) + " is negative";
        return result;
    }

    const int firstSlot = std::clamp(table.m_firstUserSlot, 0, kSettingSlots);
    const int room = kSettingSlots - firstSlot;
    const std::size_t whole = (bytes.size() - kSettingsHeaderSize) / sizeof(Record);
    int toRead = count;
    if (toRead > room)
    {
        toRead = room;
        result.problem =
            "the file holds " + std::to_string(count) + " settings, but there is room for " + std::to_string(room);
    }
    if (whole < static_cast<std::size_t>(toRead))
    {
        toRead = static_cast<int>(whole);
        result.problem =
            "the file ends after " + std::to_string(whole) + " of its " + std::to_string(count) + " settings";
    }

    int slot = firstSlot;
    for (int i = 0; i < toRead; ++i)
    {
        Record record;
        std::memcpy(&record, bytes.data() + kSettingsHeaderSize + i * sizeof(Record), sizeof(Record));
        CleanExtensions(record);
        if (TerminateTexts(record))
            result.problem = "a text without its terminating zero byte was cut";
        // An empty name marks a free slot: such a record is not a setting.
        if (record.name[0] == 0)
        {
            result.problem = "a record without a name was skipped";
            continue;
        }
        table.m_slots[slot++] = record;
        ++result.recordsKept;
    }
    return result;
}

template <class Record>
SettingsLoadResult Load(CSettingsTable<Record>& table, const std::string& path)
{
    SettingsLoadResult result;
    // Without O_NONBLOCK a named pipe put in the file's place would block
    // the open until a writer came; anything but a regular file is skipped.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
    {
        if (errno != ENOENT)
            result.io = CIoResult::Failure(IoProblem::Open, path, errno);
        return result;
    }
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
    {
        ::close(fd);
        result.io = CIoResult::Failure(IoProblem::NotRegular, path);
        return result;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    // More than the header and a full table of records is never used, so a
    // huge or endless file costs no more than that.
    std::vector<unsigned char> bytes(kSettingsHeaderSize + kSettingSlots * sizeof(Record) + 1);
    int error = 0;
    const std::size_t size = ReadUpTo(fd, bytes.data(), bytes.size(), error);
    ::close(fd);
    if (error != 0)
    {
        result.io = CIoResult::Failure(IoProblem::Read, path, error);
        return result;
    }
    return Parse(table, std::span<const unsigned char>(bytes.data(), size));
}

template <class Record>
std::vector<unsigned char> Format(const CSettingsTable<Record>& table, int selectedEntry)
{
    std::vector<unsigned char> out;
    const int count = table.OccupiedCount(table.m_firstUserSlot);
    out.reserve(kSettingsHeaderSize + count * sizeof(Record));
    AppendInt32(out, count);
    AppendInt32(out, kSettingsFormatMarker);
    AppendInt32(out, selectedEntry);
    for (int slot = table.m_firstUserSlot; slot < kSettingSlots; ++slot)
    {
        if (!table.IsOccupied(slot))
            continue;
        Record record = table.m_slots[slot];
        CleanForWriting(record);
        const auto* raw = reinterpret_cast<const unsigned char*>(&record);
        out.insert(out.end(), raw, raw + sizeof(Record));
    }
    return out;
}

} // namespace

SettingsLoadResult ParseSettingsFile(CNoiseSettingsTable& table, std::span<const unsigned char> bytes)
{
    return Parse(table, bytes);
}

SettingsLoadResult ParseSettingsFile(CFileSettingsTable& table, std::span<const unsigned char> bytes)
{
    return Parse(table, bytes);
}

SettingsLoadResult LoadSettingsFile(CNoiseSettingsTable& table, const std::string& path)
{
    return Load(table, path);
}

SettingsLoadResult LoadSettingsFile(CFileSettingsTable& table, const std::string& path)
{
    return Load(table, path);
}

std::vector<unsigned char> FormatSettingsFile(const CNoiseSettingsTable& table, int selectedEntry)
{
    return Format(table, selectedEntry);
}

std::vector<unsigned char> FormatSettingsFile(const CFileSettingsTable& table, int selectedEntry)
{
    return Format(table, selectedEntry);
}

CIoResult SaveSettingsFile(const CNoiseSettingsTable& table, const std::string& path, int selectedEntry)
{
    return ReplaceFile(path, FormatSettingsFile(table, selectedEntry));
}

CIoResult SaveSettingsFile(const CFileSettingsTable& table, const std::string& path, int selectedEntry)
{
    return ReplaceFile(path, FormatSettingsFile(table, selectedEntry));
}
