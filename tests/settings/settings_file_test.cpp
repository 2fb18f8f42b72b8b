// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

#include "settings/replace_file.h"
#include "settings/settings_file.h"
#include "settings_tables.h"
#include "testing/param_name.h"
#include "testing/file_compare.h"
#include "testing/other_user.h"
#include "testing/temp_folder.h"

namespace
{

using Bytes = std::vector<unsigned char>;

// A settings file: the 12-byte header, then the records, less `cut` bytes.
template <class Record>
Bytes File(std::int32_t count, std::int32_t selection, const std::vector<Record>& records, std::size_t cut = 0)
{
    Bytes b;
    auto append = [&b](const auto& value) {
        const auto* raw = reinterpret_cast<const unsigned char*>(&value);
        b.insert(b.end(), raw, raw + sizeof value);
    };
    for (std::int32_t v : {count, 1, selection})
        append(v);
    for (const Record& r : records)
        append(r);
    b.resize(b.size() - cut);
    return b;
}

FileSetting MakeFile(const std::string& name, const char* fileName)
{
    FileSetting s{2, 3, 7, -1, -1, {}, {}, {}};
    StoreName(s.name, name);
    StoreFileName(s.fileName, fileName);
    return s;
}

TEST(SettingsFile, RecordsAreWrittenWithTheFixedLayoutAndNoStaleBytes)
{
    Tables t;
    t.noise.m_slots[7] = MakeNoise("Mine", -0.0);
    std::memset(t.noise.m_slots[7].reserved1, 0xEE, 3);
    std::memset(t.noise.m_slots[7].name + 10, 'x', 30); // left over from a longer name
    const Bytes expected = File(1, 5, std::vector{MakeNoise("Mine", -0.0)});
    EXPECT_EQ(FormatSettingsFile(t.noise, 5), expected);
    EXPECT_EQ(expected[12 + 15], 0x80) << "-0.0 as binary64";

    t.file.m_slots[1] = MakeFile("Night", "/n.wav");
    std::memset(t.file.m_slots[1].fileName + 20, 'x', 100);
    EXPECT_EQ(FormatSettingsFile(t.file, -1), File(1, -1, std::vector{MakeFile("Night", "/n.wav")}));
}

TEST(SettingsFile, RoundTripCompactsGapsAndKeepsEveryFieldByteForByte)
{
    CTempFolder folder;
    const std::string path = folder / "ns.srx";
    Tables before;
    const int sourceSlots[] = {7, 9, 12, 99};
    before.noise.m_slots[7] = MakeNoise("First", 20.0);
    before.noise.m_slots[9] = MakeNoise("Mine", 99.5);
    before.noise.m_slots[12] = MakeNoise("Mine", 1234.5); // same name: both kept, in slot order
    before.noise.m_slots[99] = MakeNoise("Last slot", 20000.0);
    ASSERT_TRUE(SaveSettingsFile(before.noise, path, 4));
    const std::string written = ReadAll(path);
    EXPECT_EQ(written.size(), 12u + 4u * 96u);

    Tables after;
    const SettingsLoadResult loaded = LoadSettingsFile(after.noise, path);
    EXPECT_EQ(loaded.problem, "");
    EXPECT_EQ(loaded.recordsKept, 4);
    EXPECT_EQ(after.noise.m_savedSelection, 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(SameBytes(&after.noise.m_slots[7 + i], &before.noise.m_slots[sourceSlots[i]], 96)) << i;
    EXPECT_EQ(after.noise.OccupiedCount(), 11);
    EXPECT_EQ(after.noise.FindByName("Mine"), 8);
    const Bytes again = FormatSettingsFile(after.noise, 4);
    EXPECT_EQ(std::string(again.begin(), again.end()), written);

    before.file.m_slots[1] = MakeFile("Night", "/home/user/n\xC3\xA4"
                                               "chte.wav");
    ASSERT_TRUE(SaveSettingsFile(before.file, folder / "fs.srx", 2));
    EXPECT_EQ(LoadSettingsFile(after.file, folder / "fs.srx").recordsKept, 1);
    EXPECT_TRUE(SameBytes(&after.file.m_slots[1], &before.file.m_slots[1], 332));
}

TEST(SettingsFile, EmptyListIsATwelveByteFileWhoseSelectionIsStillRestored)
{
    CTempFolder folder;
    const std::string path = folder / "ns.srx";
    Tables t;
    EXPECT_FALSE(LoadSettingsFile(t.noise, path).opened);
    EXPECT_EQ(t.noise.m_savedSelection, 0) << "a missing file keeps selection 0";
    t.noise.m_slots[8] = MakeNoise("Deleted");
    t.noise.Free(8);
    ASSERT_TRUE(SaveSettingsFile(t.noise, path, 5));
    EXPECT_EQ(ReadAll(path), std::string("\0\0\0\0\1\0\0\0\5\0\0\0", 12));

    Tables next;
    EXPECT_EQ(LoadSettingsFile(next.noise, path).problem, "");
    EXPECT_EQ(next.noise.OccupiedCount(), 7);
    EXPECT_EQ(next.noise.SortedNames()[static_cast<std::size_t>(next.noise.RestoredSelection())],
              "Strong Pacific Surf");
}

Bytes NoiseFile(std::int32_t count, std::int32_t selection, std::size_t records, std::size_t cut = 0)
{
    return File(count, selection, std::vector<NoiseSetting>(records, MakeNoise("n")), cut);
}

// Damaged and foreign files: what must remain of each.
struct DamagedRow
{
    const char* label;
    Bytes bytes;
    int kept; // settings placed after the built-ins
    int savedSelection;
    std::vector<std::string> names; // the first names placed
    bool fileKind = false;          // FileSetting records
};

std::vector<DamagedRow> DamagedRows()
{
    NoiseSetting longName = MakeNoise("");
    std::memset(longName.name, 'L', 50);
    const Bytes unterminated = File(1, 0, std::vector{longName});
    std::memcpy(longName.name + 48, "\xC3\xBC", 2); // 'ü' in the last two bytes
    const Bytes splitChar = File(1, 0, std::vector{longName});
    const Bytes withFree = File(3, 0, std::vector{MakeNoise("n0"), MakeNoise(""), MakeNoise("n1")});
    FileSetting noTerminators = MakeFile("", "");
    std::memset(noTerminators.name, 'N', 50);
    std::memset(noTerminators.fileName, 'F', 260);
    const Bytes fileRecords = File(2, 0, std::vector{noTerminators, MakeFile("cut", "/x.wav")}, 100);
    const Bytes fileTooMany = File(200, 7, std::vector<FileSetting>(100, MakeFile("n0", "/a.wav")));

    return {
        {"empty file", {}, 0, 0, {}},
        {"header cut inside the selection", NoiseFile(1, 3, 0, 1), 0, 0, {}},
        {"negative count", NoiseFile(-1, 3, 2), 0, 3, {}},
        {"count above the room of 93 slots", NoiseFile(95, 1, 95), 93, 1, {"n"}},
        {"huge count with two records", NoiseFile(INT_MAX, 1, 2), 2, 1, {"n", "n"}},
        {"last record cut short", NoiseFile(3, 0, 3, 1), 2, 0, {"n", "n"}},
        {"name without terminator", unterminated, 1, 0, {std::string(49, 'L')}},
        {"name without terminator ending in a character", splitChar, 1, 0, {std::string(48, 'L')}},
        {"record of a free slot", withFree, 2, 0, {"n0", "n1"}},
        {"file record without terminators, then a cut one", fileRecords, 1, 0, {std::string(49, 'N')}, true},
        {"file count above the room of 99 slots", fileTooMany, 99, 7, {"n0", "n0"}, true},
    };
}

template <class Record>
void CheckDamaged(const DamagedRow& row, CSettingsTable<Record>& table)
{
    const int first = table.m_firstUserSlot;
    const SettingsLoadResult loaded = ParseSettingsFile(table, row.bytes);
    EXPECT_NE(loaded.problem, "") << "the damage is described";
    EXPECT_EQ(loaded.recordsKept, row.kept);
    EXPECT_EQ(table.m_savedSelection, row.savedSelection);
    EXPECT_EQ(table.OccupiedCount(), first + row.kept);
    for (std::size_t i = 0; i < row.names.size(); ++i)
        EXPECT_EQ(FieldText(table.m_slots[first + i].name), row.names[i]);
}

TEST(SettingsFile, DamagedFilesKeepOnlyCompleteRecordsThatFitWithTerminatedTexts)
{
    for (const DamagedRow& row : DamagedRows())
    {
        SCOPED_TRACE(row.label);
        Tables t;
        if (row.fileKind)
            CheckDamaged(row, t.file);
        else
            CheckDamaged(row, t.noise);
        if (row.fileKind && row.kept == 1)
        {
            EXPECT_EQ(FieldText(t.file.m_slots[1].fileName), std::string(259, 'F'));
        }
    }
}

TEST(SettingsFile, FailedSaveKeepsTheOldFileAndLeavesNoTemporaryFile)
{
    CTempFolder folder;
    const std::string path = folder / "ns.srx";
    Tables t;
    t.noise.m_slots[7] = MakeNoise("Kept");
    ASSERT_TRUE(SaveSettingsFile(t.noise, path, 0));
    const std::string old = ReadAll(path);
    for (int slot = 8; slot < 20; ++slot)
        t.noise.m_slots[slot] = MakeNoise("More");

    const CIoResult error = WithFileSizeLimit(500, [&] { return SaveSettingsFile(t.noise, path, 3); });
    EXPECT_EQ(IoResultText(error), "I can't write " + path + ": File too large");
    EXPECT_EQ(ReadAll(path), old);
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"ns.srx"}));

    // A link stays a link, and the file's permissions stay as they were.
    const std::string target = folder / "kept.srx";
    ASSERT_EQ(::rename(path.c_str(), target.c_str()), 0);
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    ASSERT_EQ(::symlink("kept.srx", path.c_str()), 0);
    ASSERT_TRUE(SaveSettingsFile(t.noise, path, 3));
    struct stat info = {};
    ASSERT_EQ(::lstat(path.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(ReadAll(target).size(), 12u + 13u * 96u);
}

TEST(SettingsFile, ASaveClearsDeadTemporariesKeepsTheOwnerAndLeavesAFileTheUserMayNotWrite)
{
    CTempFolder folder;
    const std::string path = folder / "ns.srx";
    Tables t;
    t.noise.m_slots[7] = MakeNoise("Kept");
    std::ofstream(path) << "old";
    const pid_t dead = DeadPid();
    std::ofstream(path + ".tmp-" + std::to_string(dead) + "-0") << "left by a killed save";
    std::ofstream(path + ".tmp-1-0") << "init lives as long as the machine";
    // Root may give the file to another user; anyone else keeps their own.
    ASSERT_EQ(::chown(path.c_str(), OrdinaryUser(), static_cast<gid_t>(-1)), 0);
    ASSERT_TRUE(SaveSettingsFile(t.noise, path, 0));
    struct stat info = {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, OrdinaryUser());
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"ns.srx", "ns.srx.tmp-1-0"}));
    ::unlink((path + ".tmp-1-0").c_str());

    ASSERT_EQ(::chown(path.c_str(), ::geteuid(), static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    ASSERT_EQ(::chmod(folder.Path().c_str(), 0777), 0);
    const std::string saved = ReadAll(path);
    t.noise.m_slots[8] = MakeNoise("More");
    const int status = RunAsOrdinaryUser([&] {
        return IoResultText(SaveSettingsFile(t.noise, path, 0)) == "I can't open " + path + ": Permission denied" ? 0
                                                                                                                  : 1;
    });
    if (status == kNoOrdinaryUser)
        GTEST_SKIP() << "root here cannot become the user nobody";
    EXPECT_EQ(status, 0) << "refused with the reason";
    EXPECT_EQ(ReadAll(path), saved);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"ns.srx"});
}

struct FailedCallRow
{
    const char* name;
    FileSystemCalls calls;
    std::string reason;
};

using ReplaceFileFailure = ::testing::TestWithParam<FailedCallRow>;

TEST_P(ReplaceFileFailure, KeepsTheOldFileRemovesTheTemporaryAndSaysWhy)
{
    CTempFolder folder;
    const std::string path = folder / "fs.srx";
    const unsigned char old[] = {'o', 'l', 'd'};
    const unsigned char next[] = {'n', 'e', 'w'};
    ASSERT_TRUE(ReplaceFile(path, old));
    EXPECT_EQ(IoResultText(ReplaceFile(path, next, GetParam().calls)),
              "I can't write " + path + ": " + GetParam().reason);
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"fs.srx"});
}

INSTANTIATE_TEST_SUITE_P(SystemCalls, ReplaceFileFailure,
                         ::testing::Values(FailedCallRow{"fsync",
                                                         {[](int) {
                                                              errno = EIO;
                                                              return -1;
                                                          },
                                                          ::rename},
                                                         "Input/output error"},
                                           FailedCallRow{"rename",
                                                         {::fsync,
                                                          [](const char*, const char*) {
                                                              errno = EXDEV;
                                                              return -1;
                                                          }},
                                                         "Invalid cross-device link"}),
                         RowName());

} // namespace
