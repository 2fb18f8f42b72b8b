#include "settings/builtin_presets.h"

#include "settings/setting_text.h"
#include "synth/noise_type.h"

namespace
{

struct NoisePreset
{
    const char* name;
    NoiseType type;
    double surfStrength;
    double surfPeriod;
};

// Every preset shares the tinnitus frequency (440 Hz) and the range
// 100..20000 Hz; they differ in type and surf only.
constexpr NoisePreset kNoisePresets[kBuiltInNoiseSettingCount] = {
    {"Rainforest Waterfall", Physiological, 0.0, 8.0},
    {"Wideband White Noise", White, 0.0, 8.0},
    {"Easy Pacific Surf", Pink, 30.0, 30.0},
    {"Strong Pacific Surf", Pink, 40.0, 30.0},
    {"Easy Bay Surf", Pink, 30.0, 20.0},
    {"Strong Bay Surf", Pink, 40.0, 20.0},
    {"Standard Physiological Noise", Physiological, 0.0, 8.0},
};

} // namespace

void SetUpBuiltInPresets(CNoiseSettingsTable& noiseSettings, CFileSettingsTable& fileSettings)
{
    noiseSettings.Clear();
    fileSettings.Clear();

    for (int slot = 0; slot < kBuiltInNoiseSettingCount; ++slot)
    {
        const NoisePreset& preset = kNoisePresets[slot];
        NoiseSetting& s = noiseSettings.m_slots[slot];
        s.noiseType = static_cast<std::int8_t>(preset.type);
        s.tinnitusFrequency = 440;
        s.lowerLimit = 100.0;
        s.upperLimit = 20000.0;
        s.surfStrength = preset.surfStrength;
        s.surfPeriod = preset.surfPeriod;
        StoreName(s.name, preset.name);
    }

    FileSetting& cd = fileSettings.m_slots[0];
    cd.fadeIn = 10;
    cd.fadeOut = 10;
    cd.hours = 1; // 1:19:00, the 79 minutes of an audio CD
    cd.minutes = 19;
    cd.seconds = 0;
    StoreName(cd.name, "Standard CD");
    StoreFileName(cd.fileName, "");

    noiseSettings.ComputeFirstUserSlot();
    fileSettings.ComputeFirstUserSlot();
}
