// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/stereo_sound.h"
#include "soundfile/sound_render.h"
#include "synth/parameter_limits.h"

// The noise options that render and play share, with the window's defaults:
// the "Easy Bay Surf" setting. Values are checked as the window checks its
// edits, with the same messages.
struct NoiseOptions
{
    int noiseType = Pink;           // NoiseType
    double lowerLimit = 100.0;      // Hz
    double upperLimit = 20000.0;    // Hz
    int tinnitusFreq = 440;         // Hz
    double surfStrength = 30.0;     // percent
    double surfPeriod = 20.0;       // seconds
    int endless = 0;                // noise that never repeats: 1 on, 0 off, -1 not given
    std::optional<uint64_t> seed;   // of the endless noise; none: drawn at random
    int notch = 0;                  // a band cut around tinnitusFreq: 1 on, 0 off, -1 not given
    double notchWidthOctaves = 1.0; // 0.5 or 1; NaN not given
    int hearingShaped = 0;          // tilted to the hearing profile: 1 on, 0 off, -1 not given
    int stereo = 0;                 // two channels: 1 on, 0 off, -1 not given
    std::optional<std::array<int, 2>> earLevelDb; // left, right; none: not given
    std::optional<ToneEar> toneEar;               // none: not given
};

// The stereo part of options: off, or on with the ears as given (0 dB and
// both ears for the tone where not given).
StereoSound StereoOf(const NoiseOptions& options);

// Refuses --ear-levels or --tone-ear when the sound is not stereo (prints
// why); true when the options fit together.
bool EarsFitStereo(const NoiseOptions& noise);

// One command-line option split into name and value: "--lower 20" or
// "--lower=20". A value-taking option at the end of the line is an error.
class COptionReader
{
public:
    COptionReader(int argc, char** argv) : m_argc(argc), m_argv(argv) {}

    bool AtEnd() const { return m_index >= m_argc; }
    // The current argument as it stands; moves past it.
    std::string_view Next();
    // The value of option `name` (the argument just read by Next): the text
    // after '=' or the following argument. Reports and returns nullopt when
    // there is none.
    std::optional<std::string_view> Value(std::string_view argument);

private:
    int m_argc;
    char** m_argv;
    int m_index = 0;
};

// The name of an option argument: "--lower=20" -> "--lower".
std::string_view OptionName(std::string_view argument);

// Parses a number as the window's edits do. On failure prints
// "susurra-cli: OPTION: Please enter a number." or the range message with the
// bounds as "%.15g", and returns nullopt.
std::optional<double> ParseNumber(std::string_view option, std::string_view text, double min, double max);
inline std::optional<double> ParseNumber(std::string_view option, std::string_view text, const ParameterLimit& limit)
{
    return ParseNumber(option, text, limit.min, limit.max);
}
// The same for a whole number; the range is checked on its value as a double.
std::optional<int> ParseInteger(std::string_view option, std::string_view text, double min, double max);
inline std::optional<int> ParseInteger(std::string_view option, std::string_view text, const ParameterLimit& limit)
{
    return ParseInteger(option, text, limit.min, limit.max);
}

enum class OptionOutcome
{
    Taken,   // the option was one of ours and its value was stored
    NotMine, // not a noise option; the caller tries its own
    Refused, // one of ours with a bad value; the message was printed
};

// Handles argument (already read from reader) if it is one of --type,
// --lower, --upper, --tinnitus-freq, --surf-strength, --surf-period,
// --endless, --no-endless, --seed, --notch, --no-notch, --notch-width,
// --hearing-shaped, --no-hearing-shaped, --stereo, --no-stereo, --ear-levels,
// --tone-ear.
OptionOutcome ParseNoiseOption(std::string_view argument, COptionReader& reader, NoiseOptions& options);

// Parses an endless-noise seed: a whole number 0..2^64-1 in decimal. On
// failure prints "susurra-cli: OPTION: ..." and returns nullopt.
std::optional<uint64_t> ParseSeed(std::string_view option, std::string_view text);

// Parses a time of day as HH:MM:SS, two digits each, 00:00:00..23:59:59,
// into seconds. Blanks and signs are refused. On failure prints
// "susurra-cli: OPTION: Please enter a time between 00:00:00 and 23:59:59 as
// HH:MM:SS." and returns nullopt.
std::optional<int> ParseClockSeconds(std::string_view option, std::string_view text);

// The seed of endless noise: the one given, or one drawn from the system's
// random source.
uint64_t SeedOrRandom(const NoiseOptions& options);

// Refuses a seed when the noise is not endless (prints why); true when the
// options fit together.
bool SeedFitsEndless(const NoiseOptions& options);

// Refuses --notch (given) with the tone, which has no spectrum to cut
// (prints why); true when the options fit together.
bool NotchFitsType(const NoiseOptions& given, const NoiseOptions& noise);

// Help lines for the noise options, for the commands' --help.
extern const char* const kNoiseOptionsHelp;
