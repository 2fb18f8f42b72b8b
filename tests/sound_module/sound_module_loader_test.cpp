// SPDX-License-Identifier: GPL-3.0-or-later
// The window's loader of the sound module, built twice: once beside the
// module, as the program is, and once in a folder without it.
#include "sound_module/sound_module_api.h"
#include "soundfile/wave_writer.h"
#include "testing/temp_folder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <vector>

namespace
{

CIoResult WriteFlac(CWaveWriter& writer, const std::string& name)
{
    static const std::vector<int16_t> silence(CWaveWriter::kMaxBlockSamples, 0);
    writer.source = silence.data();
    EXPECT_TRUE(writer.SetFileName(name));
    return WriteCompressedFile(writer.fileName, SoundFileType::Flac, 1.0, [&](int fd) {
        return writer.WriteTo(fd, 1.0, 0.0, 0.0, 0.0, 0.0, CWaveWriter::kMaxBlockSamples);
    });
}

} // namespace

#if SUSURRA_MODULE_BESIDE

TEST(SoundModuleLoader, TheModuleBesideTheProgramWritesCompressedFilesQuietly)
{
    testing::internal::CaptureStderr();
    EXPECT_TRUE(CanWriteType(SoundFileType::Flac));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    CTempFolder folder;
    CWaveWriter writer;
    const CIoResult result = WriteFlac(writer, folder / "a.flac");
    ASSERT_TRUE(result) << IoResultText(result);
    EXPECT_EQ(ReadAll(folder / "a.flac").substr(0, 4), "fLaC");
    EXPECT_EQ(EstimatedFileBytes(SoundFileType::Opus, 8.0), 52000);
}

#else

TEST(SoundModuleLoader, WithoutTheModuleNoDeviceIsListedAndOnlyWaveFilesAreWritten)
{
    testing::internal::CaptureStderr();
    const std::unique_ptr<IWaveOut> waveOut = CreateWaveOut(WaveBackend::Automatic);
    EXPECT_THAT(
        testing::internal::GetCapturedStderr(),
        testing::StartsWith("susurra: no sound devices and no compressed files: susurra-sound.so is neither in"));
    EXPECT_TRUE(waveOut->Devices().empty());
    WaveHandle handle = 0;
    EXPECT_EQ(waveOut->Open(&handle, 0, WaveFormat{}, nullptr, nullptr), WaveResult::BadDevice);

    EXPECT_TRUE(CanWriteType(SoundFileType::Wave));
    EXPECT_FALSE(CanWriteType(SoundFileType::Flac));
    CTempFolder folder;
    CWaveWriter writer;
    EXPECT_EQ(IoResultText(WriteFlac(writer, folder / "a.flac")),
              "I can't write " + folder / "a.flac" + ": susurra-sound.so is missing");
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
}

#endif
