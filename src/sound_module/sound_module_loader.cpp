// SPDX-License-Identifier: GPL-3.0-or-later
// The program's side of the sound module: the backend choice and the
// encoders, forwarded to the module loaded at the first call. Without the
// module the window still runs: it lists no device and writes WAV files only.
#include "sound_module/sound_module_api.h"
#include "soundfile/wave_file_header.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

namespace
{

// The folder of the running program, from /proc/self/exe.
std::string ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    const std::string program(path, static_cast<size_t>(length));
    const size_t slash = program.rfind('/');
    return slash == std::string::npos ? std::string() : program.substr(0, slash);
}

const SoundModuleApi* Load()
{
    const std::string folder = ProgramFolder();
    // Beside the program in the build tree; under lib/ in an installed copy,
    // wherever its prefix is.
    std::string why;
    for (const std::string& candidate :
         {folder + "/" + kSoundModuleFile, folder + "/" SUSURRA_SOUND_MODULE_DIR "/" + kSoundModuleFile})
    {
        if (::access(candidate.c_str(), F_OK) != 0)
            continue;
        void* module = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (module == nullptr)
        {
            why = ::dlerror();
            break;
        }
        const auto entry = reinterpret_cast<SoundModuleEntry>(::dlsym(module, kSoundModuleEntry));
        const SoundModuleApi* api = entry != nullptr ? entry() : nullptr;
        if (api != nullptr && std::strcmp(api->version, SUSURRA_VERSION) == 0)
            return api; // kept loaded for the program's life
        why = candidate + " belongs to another version of the program";
        break;
    }
    if (why.empty())
        why = std::string(kSoundModuleFile) + " is neither in " + folder + " nor in " + folder
              + "/" SUSURRA_SOUND_MODULE_DIR;
    std::fprintf(stderr, "susurra: no sound devices and no compressed files: %s\n", why.c_str());
    return nullptr;
}

const SoundModuleApi* Module()
{
    static const SoundModuleApi* const api = Load();
    return api;
}

// Stands in for the backend when the module is missing: no devices.
class CNoWaveOut final : public IWaveOut
{
public:
    std::vector<WaveDeviceInfo> Devices() override { return {}; }
    WaveResult Open(WaveHandle*, uint32_t, const WaveFormat&, WaveCallback, void*) override
    {
        return WaveResult::BadDevice;
    }
    WaveResult PrepareHeader(WaveHandle, WaveHeader*) override { return WaveResult::NotOpen; }
    WaveResult UnprepareHeader(WaveHandle, WaveHeader*) override { return WaveResult::NotOpen; }
    WaveResult Write(WaveHandle, WaveHeader*) override { return WaveResult::NotOpen; }
    WaveResult Reset(WaveHandle) override { return WaveResult::NotOpen; }
    WaveResult Close(WaveHandle) override { return WaveResult::NotOpen; }
    WaveResult SetVolume(WaveHandle, uint32_t) override { return WaveResult::NotOpen; }
};

} // namespace

std::unique_ptr<IWaveOut> CreateWaveOut(WaveBackend backend)
{
    if (const SoundModuleApi* api = Module())
        return api->createWaveOut(backend);
    return std::make_unique<CNoWaveOut>();
}

CIoResult WriteCompressedFile(const char* fileName, SoundFileType type, double totalSeconds,
                              const std::function<CIoResult(int fd)>& writeWave, EncoderTimes* times,
                              const FileSystemCalls& calls, int channels)
{
    if (const SoundModuleApi* api = Module())
        return api->writeCompressedFile(fileName, type, totalSeconds, writeWave, times, calls, channels);
    CIoResult result = CIoResult::Failure(IoProblem::ModuleMissing, fileName);
    result.detail = kSoundModuleFile;
    return result;
}

int64_t EstimatedFileBytes(SoundFileType type, double seconds, int channels)
{
    if (const SoundModuleApi* api = Module())
        return api->estimatedFileBytes(type, seconds, channels);
    return static_cast<int64_t>(2.0 * channels * 44100.0 * seconds) + static_cast<int64_t>(sizeof(WaveFileHeader));
}

bool CanWriteType(SoundFileType type)
{
    if (const SoundModuleApi* api = Module())
        return api->canWriteType(type);
    return type == SoundFileType::Wave;
}
