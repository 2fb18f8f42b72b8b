// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/printable_text.h"
#include "cli/cli_setting_options.h"

#include <cmath>
#include <cstdio>

#include "settings/noise_extras.h"
#include "settings/setting_choice.h"
#include "settings/settings_location.h"

namespace
{

// Runs a stored value through the option parser, so that a setting the
// window would refuse gets the window's message.
bool Acceptable(std::string_view option, double value, const ParameterLimit& limit)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", value);
    return ParseNumber(option, text, limit).has_value();
}

void RefusedSetting(const char* kind, const std::string& name)
{
    std::fprintf(stderr, "susurra-cli: the %s setting \"%s\" holds a value the window refuses.\n", kind,
                 PrintableText(name).c_str());
}

// Copies every value that was given into noise.
void LayOverNoiseOptions(const NoiseOptions& given, NoiseOptions& noise)
{
    if (given.noiseType >= 0)
        noise.noiseType = given.noiseType;
    if (given.tinnitusFreq >= 0)
        noise.tinnitusFreq = given.tinnitusFreq;
    if (given.endless >= 0)
        noise.endless = given.endless;
    if (given.seed)
        noise.seed = given.seed;
    if (given.notch >= 0)
        noise.notch = given.notch;
    if (given.hearingShaped >= 0)
        noise.hearingShaped = given.hearingShaped;
    if (given.stereo >= 0)
        noise.stereo = given.stereo;
    if (given.earLevelDb)
        noise.earLevelDb = given.earLevelDb;
    if (given.toneEar)
        noise.toneEar = given.toneEar;
    for (auto field : {&NoiseOptions::lowerLimit, &NoiseOptions::upperLimit, &NoiseOptions::surfStrength,
                       &NoiseOptions::surfPeriod, &NoiseOptions::notchWidthOctaves})
        if (!std::isnan(given.*field))
            noise.*field = given.*field;
}

} // namespace

const char* const kSettingOptionsHelp = "  --noise-setting NAME   start from a noise setting, built-in or stored\n"
                                        "                         ('susurra-cli settings' lists them); the options\n"
                                        "                         above change single values of it; default: the\n"
                                        "                         setting the window selects at start\n"
                                        "  --file-setting NAME    the same for the file settings; its file name is\n"
                                        "                         used when OUTPUT is left out\n";

std::optional<NoiseOptions> NoiseOptionsFromSetting(const CSettingsStore& store, std::optional<std::string_view> name,
                                                    const NoiseOptions& given)
{
    const SettingChoice<NoiseSetting> choice = ChooseNoiseSetting(store, name);
    if (!choice.found)
    {
        std::fprintf(stderr, "susurra-cli: %s\n", choice.error.c_str());
        return std::nullopt;
    }
    // Only what the command line leaves to the setting has to be valid there.
    const NoiseSetting& s = choice.setting;
    if (given.noiseType < 0 && (s.noiseType < 0 || s.noiseType > TinnitusFinder))
    {
        RefusedSetting("noise", choice.name);
        std::fprintf(stderr, "susurra-cli: --type: the noise type %d is unknown.\n", s.noiseType);
        return std::nullopt;
    }
    const auto stored = [&](const char* option, double givenValue, double value, const ParameterLimit& limit) {
        return !std::isnan(givenValue) || Acceptable(option, value, limit);
    };
    if (!stored("--lower", given.lowerLimit, s.lowerLimit, Limits::kFrequency)
        || !stored("--upper", given.upperLimit, s.upperLimit, Limits::kFrequency)
        || (given.tinnitusFreq < 0 && !Acceptable("--tinnitus-freq", s.tinnitusFrequency, Limits::kTinnitusFrequency))
        || !stored("--surf-strength", given.surfStrength, s.surfStrength, Limits::kSurfStrength)
        || !stored("--surf-period", given.surfPeriod, s.surfPeriod, Limits::kSurfPeriod))
    {
        RefusedSetting("noise", choice.name);
        return std::nullopt;
    }
    NoiseOptions options;
    options.noiseType = NoiseTypeOfRecord(s);
    options.lowerLimit = s.lowerLimit;
    options.upperLimit = s.upperLimit;
    options.tinnitusFreq = s.tinnitusFrequency;
    options.surfStrength = s.surfStrength;
    options.surfPeriod = s.surfPeriod;
    const NoiseExtras extras = ReadNoiseExtras(s);
    options.endless = extras.endless ? 1 : 0;
    options.notch = extras.notch ? 1 : 0;
    options.hearingShaped = extras.hearingShaped ? 1 : 0;
    options.stereo = extras.stereo.on ? 1 : 0;
    if (extras.stereo.on)
    {
        options.earLevelDb = extras.stereo.earLevelDb;
        options.toneEar = extras.stereo.toneEar;
    }
    options.notchWidthOctaves = extras.notch ? ValidNotchWidth(extras.notchWidthOctaves) : 1.0;
    LayOverNoiseOptions(given, options);
    return options;
}

std::optional<FileSetting> CheckedFileSetting(const CSettingsStore& store, std::optional<std::string_view> name,
                                              int maxSeconds, const GivenFileValues& given)
{
    const SettingChoice<FileSetting> choice = ChooseFileSetting(store, name);
    if (!choice.found)
    {
        std::fprintf(stderr, "susurra-cli: %s\n", choice.error.c_str());
        return std::nullopt;
    }
    // Only what the command line leaves to the setting has to be valid there.
    const FileSetting& s = choice.setting;
    if ((!given.fadeIn && !Acceptable("--fade-in", s.fadeIn, Limits::kFade))
        || (!given.fadeOut && !Acceptable("--fade-out", s.fadeOut, Limits::kFade)))
    {
        RefusedSetting("file", choice.name);
        return std::nullopt;
    }
    const bool validTime =
        s.hours >= 0 && s.hours <= 23 && s.minutes >= 0 && s.minutes <= 59 && s.seconds >= 0 && s.seconds <= 59;
    if (!given.length && (!validTime || s.hours * 3600 + s.minutes * 60 + s.seconds > maxSeconds))
    {
        RefusedSetting("file", choice.name);
        std::fprintf(stderr, "susurra-cli: --length: its total playing time is not a valid length.\n");
        return std::nullopt;
    }
    return s;
}

NoiseOptions UnsetNoiseOptions()
{
    return NoiseOptions{-1, NAN, NAN, -1, NAN, NAN, -1, std::nullopt, -1, NAN, -1, -1, std::nullopt, std::nullopt};
}

void WarnAboutDamagedSettings(const CSettingsStore& store)
{
    const SettingsLoadResult* loads[] = {&store.m_noiseLoad, &store.m_fileLoad};
    const SettingsKind kinds[] = {SettingsKind::Noise, SettingsKind::File};
    for (int i = 0; i < 2; ++i)
    {
        const SettingsLoadResult& load = *loads[i];
        if (load.io && load.problem.empty())
            continue;
        // A failed open or read names the file; damage is told after its name.
        const std::string text = !load.io ? IoResultText(load.io) : store.PathOf(kinds[i]) + ": " + load.problem;
        std::fprintf(stderr, "susurra-cli: warning: %s\n", PrintableText(text).c_str());
    }
}
