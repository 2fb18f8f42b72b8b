#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/io_result.h"
#include "settings/settings_table.h"

// The settings files: a 12-byte header (record count N, format marker 1, the
// selected list position or -1; each a little-endian signed 32-bit integer)
// followed by N whole records in slot order. "ns.srx" holds NoiseSetting
// records, "fs.srx" FileSetting records. No trailer, no checksum.

inline constexpr std::size_t kSettingsHeaderSize = 12;
inline constexpr std::int32_t kSettingsFormatMarker = 1;

// What reading a settings file found. A missing file is not a problem: the
// table keeps its built-ins and a saved selection of 0.
struct SettingsLoadResult
{
    bool opened = false; // the file exists and could be read
    int recordsKept = 0; // settings placed into the table
    CIoResult io;        // why a file that is there could not be read
    std::string problem; // damage in a file that was read; empty for a whole file
};

// Reads a settings file's bytes into table: the header's selection becomes
// the saved selection and the records go into consecutive slots from the
// first user slot on, in file order. Damage is contained: only complete
// records are used, never more than fit below slot 100, every name and file
// name ends inside its field, and a record with an empty name (a free slot)
// is skipped. Nothing else is checked; values keep their stored bytes.
SettingsLoadResult ParseSettingsFile(CNoiseSettingsTable& table, std::span<const unsigned char> bytes);
SettingsLoadResult ParseSettingsFile(CFileSettingsTable& table, std::span<const unsigned char> bytes);

// ParseSettingsFile on the contents of the file at path.
SettingsLoadResult LoadSettingsFile(CNoiseSettingsTable& table, const std::string& path);
SettingsLoadResult LoadSettingsFile(CFileSettingsTable& table, const std::string& path);

// The bytes of a settings file for table: the occupied slots from the first
// user slot on, in slot order (free slots are left out, so gaps close up),
// with selectedEntry, the list position selected now (-1: none), in the
// header. Reserved bytes and the bytes after a text's terminator are zero.
std::vector<unsigned char> FormatSettingsFile(const CNoiseSettingsTable& table, int selectedEntry);
std::vector<unsigned char> FormatSettingsFile(const CFileSettingsTable& table, int selectedEntry);

// Writes FormatSettingsFile's bytes to path, replacing the old file only once
// the new one is complete (ReplaceFile). Ok, or why not; on failure the old
// file is unchanged.
CIoResult SaveSettingsFile(const CNoiseSettingsTable& table, const std::string& path, int selectedEntry);
CIoResult SaveSettingsFile(const CFileSettingsTable& table, const std::string& path, int selectedEntry);
