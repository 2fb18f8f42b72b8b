#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
#include <vector>

#include "settings/builtin_presets.h"
#include "settings/settings_file.h"
#include "settings/temp_folder.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Tables
{
    CNoiseSettingsTable noise;
    CFileSettingsTable file;
    Tables() { SetUpBuiltInPresets(noise, file); }
};

void Append32(Bytes& out, std::int32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<unsigned char>(static_cast<std::uint32_t>(value) >> (8 * i)));
}

template <class Record>
void AppendRecord(Bytes& out, const Record& record)
{
    const auto* raw = reinterpret_cast<const unsigned char*>(&record);
    out.insert(out.end(), raw, raw + sizeof record);
}

Bytes Header(std::int32_t count, std::int32_t selection)
{
    Bytes out;
    Append32(out, count);
    Append32(out, 1);
    Append32(out, selection);
    return out;
}

NoiseSetting MakeNoise(const char* name, int type, double lower)
{
    NoiseSetting s{};
    s.noiseType = static_cast<std::int8_t>(type);
    s.tinnitusFrequency = 6543;
    s.lowerLimit = lower;
    s.upperLimit = 15000.25;
    s.surfStrength = 33.3;
    s.surfPeriod = 1e-300;
    StoreName(s.name, name);
    return s;
}

FileSetting MakeFile(const char* name, const char* fileName)
{
    FileSetting s{};
    s.fadeIn = 2;
    s.fadeOut = 3;
    s.hours = -1;
    s.minutes = -1;
    s.seconds = -1;
    StoreName(s.name, name);
    StoreFileName(s.fileName, fileName);
    return s;
}

std::uint64_t Bits(double value)
{
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

std::uint64_t ReadLe(const Bytes& b, std::size_t at, int size)
{
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = value << 8 | b[at + static_cast<std::size_t>(i)];
    return value;
}

TEST(SettingsFile, NoiseRecordsAreWrittenWithTheFixedByteLayout)
{
    Tables t;
    t.noise.m_slots[7] = MakeNoise("Mine", 3, -0.0);
    std::memset(t.noise.m_slots[7].reserved1, 0xEE, 3);  // stale bytes never reach the disk
    const Bytes b = FormatSettingsFile(t.noise, 5);
    ASSERT_EQ(b.size(), 12u + 96u);
    EXPECT_EQ(ReadLe(b, 0, 4), 1u);
    EXPECT_EQ(ReadLe(b, 4, 4), 1u);
    EXPECT_EQ(ReadLe(b, 8, 4), 5u);
    EXPECT_EQ(b[12 + 0], 3);
    EXPECT_EQ(ReadLe(b, 12 + 1, 3), 0u);
    EXPECT_EQ(ReadLe(b, 12 + 4, 4), 6543u);
    EXPECT_EQ(ReadLe(b, 12 + 8, 8), Bits(-0.0));
    EXPECT_EQ(ReadLe(b, 12 + 16, 8), Bits(15000.25));
    EXPECT_EQ(ReadLe(b, 12 + 24, 8), Bits(33.3));
    EXPECT_EQ(ReadLe(b, 12 + 32, 8), Bits(1e-300));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[12 + 40]), 5), std::string("Mine\0", 5));
    for (std::size_t i = 12 + 44; i < b.size(); ++i)
        EXPECT_EQ(b[i], 0) << "byte " << i;
}

TEST(SettingsFile, FileRecordsAreWrittenWithTheFixedByteLayout)
{
    Tables t;
    t.file.m_slots[1] = MakeFile("Night", "/tmp/night.wav");
    t.file.m_slots[1].hours = 7;
    // A longer name stored earlier leaves bytes after the terminator.
    std::memset(t.file.m_slots[1].fileName + 20, 'x', 100);
    const Bytes b = FormatSettingsFile(t.file, -1);
    ASSERT_EQ(b.size(), 12u + 332u);
    EXPECT_EQ(ReadLe(b, 8, 4), 0xFFFFFFFFu);
    EXPECT_EQ(ReadLe(b, 12 + 0, 4), 2u);
    EXPECT_EQ(ReadLe(b, 12 + 4, 4), 3u);
    EXPECT_EQ(ReadLe(b, 12 + 8, 4), 7u);
    EXPECT_EQ(ReadLe(b, 12 + 12, 4), 0xFFFFFFFFu);
    EXPECT_EQ(ReadLe(b, 12 + 16, 4), 0xFFFFFFFFu);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[12 + 20])), "Night");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[12 + 70])), "/tmp/night.wav");
    for (std::size_t i = 12 + 70 + 14; i < b.size(); ++i)
        EXPECT_EQ(b[i], 0) << "byte " << i;
}

TEST(SettingsFile, RoundTripCompactsGapsAndKeepsEveryFieldByteForByte)
{
    CTempFolder folder;
    const std::string path = folder.Path() + "ns.srx";
    Tables before;
    before.noise.m_slots[7] = MakeNoise("First", 0, 20.0);
    before.noise.m_slots[9] = MakeNoise("Mine", 2, 99.5);
    before.noise.m_slots[12] = MakeNoise("Mine", 1, 1234.5);  // same name: both are kept, in slot order
    before.noise.m_slots[99] = MakeNoise("Last slot", 3, 20000.0);
    ASSERT_EQ(SaveSettingsFile(before.noise, path, 4), "");
    const Bytes written = ReadWholeFile(path);
    EXPECT_EQ(written.size(), 12u + 4u * 96u);

    Tables after;
    const SettingsLoadResult loaded = LoadSettingsFile(after.noise, path);
    EXPECT_TRUE(loaded.opened);
    EXPECT_EQ(loaded.problem, "");
    EXPECT_EQ(loaded.recordCount, 4);
    EXPECT_EQ(loaded.recordsKept, 4);
    EXPECT_EQ(after.noise.m_savedSelection, 4);
    const int sourceSlots[] = {7, 9, 12, 99};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(std::memcmp(&after.noise.m_slots[7 + i], &before.noise.m_slots[sourceSlots[i]], sizeof(NoiseSetting)), 0)
            << "slot " << 7 + i;
    EXPECT_FALSE(after.noise.IsOccupied(11));
    EXPECT_EQ(after.noise.FindByName("Mine"), 8);
    EXPECT_EQ(FormatSettingsFile(after.noise, 4), written);

    const std::string filePath = folder.Path() + "fs.srx";
    before.file.m_slots[1] = MakeFile("Night", "/home/user/n\xC3\xA4" "chte.wav");
    before.file.m_slots[3] = MakeFile("Day", "");
    ASSERT_EQ(SaveSettingsFile(before.file, filePath, 2), "");
    const SettingsLoadResult fileLoaded = LoadSettingsFile(after.file, filePath);
    EXPECT_EQ(fileLoaded.recordsKept, 2);
    EXPECT_EQ(std::memcmp(&after.file.m_slots[1], &before.file.m_slots[1], sizeof(FileSetting)), 0);
    EXPECT_EQ(std::memcmp(&after.file.m_slots[2], &before.file.m_slots[3], sizeof(FileSetting)), 0);
    EXPECT_EQ(FormatSettingsFile(after.file, 2), ReadWholeFile(filePath));
}

TEST(SettingsFile, EmptyListIsATwelveByteFileWhoseSelectionIsStillRestored)
{
    CTempFolder folder;
    const std::string path = folder.Path() + "ns.srx";
    Tables t;
    t.noise.m_slots[8] = MakeNoise("Deleted", 0, 20.0);
    t.noise.Free(8);
    ASSERT_EQ(SaveSettingsFile(t.noise, path, 5), "");
    EXPECT_EQ(ReadWholeFile(path), (Bytes{0, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0}));

    Tables next;
    const SettingsLoadResult loaded = LoadSettingsFile(next.noise, path);
    EXPECT_EQ(loaded.problem, "");
    EXPECT_EQ(loaded.recordsKept, 0);
    EXPECT_EQ(next.noise.OccupiedCount(), 7);
    EXPECT_EQ(next.noise.m_savedSelection, 5);
    EXPECT_EQ(next.noise.SortedNames()[static_cast<std::size_t>(next.noise.RestoredSelection())], "Strong Pacific Surf");
}

TEST(SettingsFile, MissingFileLeavesTheBuiltInsAndSelectionZero)
{
    CTempFolder folder;
    Tables t;
    const SettingsLoadResult loaded = LoadSettingsFile(t.file, folder.Path() + "fs.srx");
    EXPECT_FALSE(loaded.opened);
    EXPECT_EQ(loaded.problem, "");
    EXPECT_EQ(t.file.m_savedSelection, 0);
    EXPECT_EQ(t.file.OccupiedCount(), 1);
}

// Damaged and foreign files: each row gives the file's bytes and what must
// remain of them.
struct DamagedRow
{
    const char* label;
    bool fileKind;            // FileSetting records instead of NoiseSetting
    Bytes bytes;
    int kept;                 // settings placed into the table
    int savedSelection;
    std::vector<std::string> names;  // names of the user slots, from the first user slot on
};

Bytes NoiseFile(std::int32_t count, std::int32_t selection, int records, std::size_t cutBytes = 0)
{
    Bytes b = Header(count, selection);
    for (int i = 0; i < records; ++i)
        AppendRecord(b, MakeNoise(("n" + std::to_string(i)).c_str(), 1, 50.0));
    b.resize(b.size() - cutBytes);
    return b;
}

std::vector<std::string> Numbered(int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back("n" + std::to_string(i));
    return names;
}

std::vector<DamagedRow> DamagedRows()
{
    std::vector<DamagedRow> rows;
    rows.push_back({"empty file", false, {}, 0, 0, {}});
    rows.push_back({"header cut after the count", false, Bytes{1, 0, 0, 0}, 0, 0, {}});
    rows.push_back({"header cut inside the selection", false, NoiseFile(1, 3, 0, 1), 0, 0, {}});
    rows.push_back({"negative count", false, NoiseFile(-1, 3, 2), 0, 3, {}});
    rows.push_back({"most negative count", false, NoiseFile(INT_MIN, 2, 1), 0, 2, {}});
    rows.push_back({"count above the room of 93 slots", false, NoiseFile(95, 1, 95), 93, 1, Numbered(93)});
    rows.push_back({"huge count with two records", false, NoiseFile(INT_MAX, 1, 2), 2, 1, Numbered(2)});
    rows.push_back({"last record cut short", false, NoiseFile(3, 0, 3, 1), 2, 0, Numbered(2)});
    rows.push_back({"records missing", false, NoiseFile(5, 0, 1), 1, 0, Numbered(1)});

    Bytes unterminated = Header(1, 0);
    NoiseSetting longName = MakeNoise("", 0, 20.0);
    std::memset(longName.name, 'L', sizeof longName.name);
    AppendRecord(unterminated, longName);
    rows.push_back({"name without terminator", false, unterminated, 1, 0, {std::string(49, 'L')}});

    Bytes splitChar = Header(1, 0);
    std::memset(longName.name, 'u', sizeof longName.name);
    std::memcpy(longName.name + 48, "\xC3\xBC", 2);  // 'ü' in bytes 48 and 49
    AppendRecord(splitChar, longName);
    rows.push_back({"name without terminator ending in a character", false, splitChar, 1, 0, {std::string(48, 'u')}});

    Bytes freeRecord = Header(3, 0);
    AppendRecord(freeRecord, MakeNoise("n0", 0, 20.0));
    AppendRecord(freeRecord, MakeNoise("", 0, 20.0));
    AppendRecord(freeRecord, MakeNoise("n1", 0, 20.0));
    rows.push_back({"record of a free slot", false, freeRecord, 2, 0, Numbered(2)});

    Bytes fileRecords = Header(2, 0);
    FileSetting noTerminators = MakeFile("", "");
    std::memset(noTerminators.name, 'N', sizeof noTerminators.name);
    std::memset(noTerminators.fileName, 'F', sizeof noTerminators.fileName);
    AppendRecord(fileRecords, noTerminators);
    AppendRecord(fileRecords, MakeFile("cut", "/x.wav"));
    fileRecords.resize(fileRecords.size() - 100);
    rows.push_back({"file record without terminators, then a cut record", true, fileRecords, 1, 0, {std::string(49, 'N')}});

    Bytes fileTooMany = Header(200, 7);
    for (int i = 0; i < 100; ++i)
        AppendRecord(fileTooMany, MakeFile(("n" + std::to_string(i)).c_str(), "/a.wav"));
    rows.push_back({"file count above the room of 99 slots", true, fileTooMany, 99, 7, Numbered(99)});
    return rows;
}

template <class Record>
void CheckDamaged(const DamagedRow& row, CSettingsTable<Record>& table, int builtIns)
{
    const SettingsLoadResult loaded = ParseSettingsFile(table, row.bytes);
    EXPECT_TRUE(loaded.opened);
    EXPECT_NE(loaded.problem, "") << "the damage is described";
    EXPECT_EQ(loaded.recordsKept, row.kept);
    EXPECT_EQ(table.m_savedSelection, row.savedSelection);
    EXPECT_EQ(table.OccupiedCount(), builtIns + row.kept);
    for (std::size_t i = 0; i < row.names.size(); ++i)
        EXPECT_EQ(FieldText(table.m_slots[builtIns + i].name), row.names[i]) << "slot " << builtIns + i;
    for (int slot = 0; slot < kSettingSlots; ++slot) {
        EXPECT_NE(std::memchr(table.m_slots[slot].name, 0, sizeof table.m_slots[slot].name), nullptr) << slot;
        if constexpr (std::is_same_v<Record, FileSetting>) {
            EXPECT_NE(std::memchr(table.m_slots[slot].fileName, 0, sizeof table.m_slots[slot].fileName), nullptr);
        }
    }
}

TEST(SettingsFile, DamagedFilesKeepOnlyCompleteRecordsThatFitWithTerminatedTexts)
{
    for (const DamagedRow& row : DamagedRows()) {
        SCOPED_TRACE(row.label);
        Tables t;
        if (row.fileKind)
            CheckDamaged(row, t.file, 1);
        else
            CheckDamaged(row, t.noise, 7);
    }
    // Row names are not enough for this one: the file name was cut too.
    Tables t;
    for (const DamagedRow& row : DamagedRows())
        if (std::string(row.label).starts_with("file record without"))
            ParseSettingsFile(t.file, row.bytes);
    EXPECT_EQ(FieldText(t.file.m_slots[1].fileName), std::string(259, 'F'));
}

// Saving with the file size limited: the write of the new file fails part of
// the way, as on a full disk, even for root.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old {};
    void (*m_oldHandler)(int) = nullptr;
};

TEST(SettingsFile, FailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    CTempFolder folder;
    const std::string path = folder.Path() + "ns.srx";
    Tables t;
    t.noise.m_slots[7] = MakeNoise("Kept", 0, 20.0);
    ASSERT_EQ(SaveSettingsFile(t.noise, path, 0), "");
    const Bytes old = ReadWholeFile(path);

    for (int slot = 8; slot < 20; ++slot)
        t.noise.m_slots[slot] = MakeNoise("More", 1, 30.0);
    std::string error;
    {
        FileSizeLimit limit(500);
        error = SaveSettingsFile(t.noise, path, 3);
    }
    EXPECT_EQ(error, "I can't write " + path + ": File too large");
    EXPECT_EQ(ReadWholeFile(path), old);
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"ns.srx"}));

    // The rename fails when a folder is in the way.
    const std::string blocked = folder.Path() + "fs.srx";
    ASSERT_EQ(::mkdir(blocked.c_str(), 0700), 0);
    EXPECT_EQ(SaveSettingsFile(t.file, blocked, 0), "I can't write " + blocked + ": Is a directory");
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"fs.srx", "ns.srx"}));

    // A folder that does not exist.
    const std::string nowhere = folder.Path() + "missing/ns.srx";
    EXPECT_EQ(SaveSettingsFile(t.noise, nowhere, 0), "I can't write " + nowhere + ": No such file or directory");
}

}  // namespace
