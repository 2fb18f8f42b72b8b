// SPDX-License-Identifier: GPL-3.0-or-later
// The module's one exported symbol; everything else in it stays hidden, so
// that it never binds to the program's own copies.
#include "sound_module/sound_module_api.h"

extern "C" __attribute__((visibility("default"))) const SoundModuleApi* SusurraSoundModule()
{
    static const SoundModuleApi api{
        SUSURRA_VERSION,      [](WaveBackend backend) { return CreateWaveOut(backend); },
        &WriteCompressedFile, &EstimatedFileBytes,
        &CanWriteType,
    };
    return &api;
}
