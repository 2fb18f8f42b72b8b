// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_noise_options.h"

#include "base/random_seed.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

void Refuse(std::string_view option, const std::string& message)
{
    std::fprintf(stderr, "susurra-cli: %.*s: %s\n", static_cast<int>(option.size()), option.data(), message.c_str());
}

std::string RangeMessage(double min, double max)
{
    char text[96];
    std::snprintf(text, sizeof text, "Please enter a number between %.15g and %.15g.", min, max);
    return text;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Surrounding blanks are allowed, as in an edit; anything else left over is not.
bool OnlyBlanksFrom(const char* end)
{
    while (IsBlank(*end))
        ++end;
    return *end == '\0';
}

bool LooksNumeric(const std::string& text)
{
    // Digits, sign, point and exponent only: no "inf", "nan" or hex.
    for (char c : text)
        if (!((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.' || c == 'e' || c == 'E' || IsBlank(c)))
            return false;
    return true;
}

// One ear's level: a whole number of dB, StereoSound::kMinLevelDb..0, or
// "silent".
std::optional<int> ParseEarLevel(std::string_view text)
{
    if (text == "silent")
        return StereoSound::kSilent;
    const std::string copy(text);
    char* end = nullptr;
    const double value = LooksNumeric(copy) && !copy.empty() ? std::strtod(copy.c_str(), &end) : 1.0;
    if (end == nullptr || end == copy.c_str() || !OnlyBlanksFrom(end) || value != std::floor(value)
        || value > StereoSound::kMaxLevelDb || value < StereoSound::kMinLevelDb)
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace

StereoSound StereoOf(const NoiseOptions& options)
{
    StereoSound stereo;
    stereo.on = options.stereo == 1;
    if (!stereo.on)
        return stereo;
    if (options.earLevelDb)
        stereo.earLevelDb = *options.earLevelDb;
    if (options.toneEar)
        stereo.toneEar = *options.toneEar;
    return stereo;
}

bool EarsFitStereo(const NoiseOptions& noise)
{
    if (noise.stereo == 1)
        return true;
    if (noise.earLevelDb)
        Refuse("--ear-levels", "only stereo sound has a level for each ear; add --stereo.");
    else if (noise.toneEar)
        Refuse("--tone-ear", "only stereo sound plays the tone in one ear; add --stereo.");
    return !noise.earLevelDb && !noise.toneEar;
}

std::string_view COptionReader::Next()
{
    return m_argv[m_index++];
}

std::optional<std::string_view> COptionReader::Value(std::string_view argument)
{
    const size_t equals = argument.find('=');
    if (argument.starts_with("--") && equals != std::string_view::npos)
        return argument.substr(equals + 1);
    if (AtEnd())
    {
        Refuse(argument, "a value is missing.");
        return std::nullopt;
    }
    return Next();
}

std::string_view OptionName(std::string_view argument)
{
    const size_t equals = argument.find('=');
    return argument.starts_with("--") && equals != std::string_view::npos ? argument.substr(0, equals) : argument;
}

std::optional<double> ParseNumber(std::string_view option, std::string_view text, double min, double max)
{
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const double value = LooksNumeric(copy) ? std::strtod(copy.c_str(), &end) : 0.0;
    if (end == nullptr || end == copy.c_str() || !OnlyBlanksFrom(end) || !std::isfinite(value))
    {
        Refuse(option, "Please enter a number.");
        return std::nullopt;
    }
    if (!(value >= min && value <= max))
    {
        Refuse(option, RangeMessage(min, max));
        return std::nullopt;
    }
    return value;
}

std::optional<int> ParseInteger(std::string_view option, std::string_view text, double min, double max)
{
    const std::string copy(text);
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(copy.c_str(), &end, 10);
    if (end == copy.c_str() || !OnlyBlanksFrom(end) || errno == ERANGE || value < INT32_MIN || value > INT32_MAX)
    {
        Refuse(option, "Please enter an integer.");
        return std::nullopt;
    }
    if (!(static_cast<double>(value) >= min && static_cast<double>(value) <= max))
    {
        Refuse(option, RangeMessage(min, max));
        return std::nullopt;
    }
    return static_cast<int>(value);
}

std::optional<uint64_t> ParseSeed(std::string_view option, std::string_view text)
{
    const bool digits =
        !text.empty() && text.size() <= 20 && text.find_first_not_of("0123456789") == std::string_view::npos;
    const std::string copy(text);
    errno = 0;
    const unsigned long long value = digits ? std::strtoull(copy.c_str(), nullptr, 10) : 0;
    if (!digits || errno == ERANGE)
    {
        Refuse(option, "Please enter a whole number between 0 and 18446744073709551615.");
        return std::nullopt;
    }
    return static_cast<uint64_t>(value);
}

std::optional<int> ParseClockSeconds(std::string_view option, std::string_view text)
{
    // Character by character: the C library's number scanners take blanks
    // and signs before the digits.
    const auto digit = [&](size_t i) { return text[i] >= '0' && text[i] <= '9'; };
    const auto field = [&](size_t i) { return (text[i] - '0') * 10 + (text[i + 1] - '0'); };
    const bool shaped = text.size() == 8 && text[2] == ':' && text[5] == ':' && digit(0) && digit(1) && digit(3)
                        && digit(4) && digit(6) && digit(7);
    if (!shaped || field(0) > 23 || field(3) > 59 || field(6) > 59)
    {
        Refuse(option, "Please enter a time between 00:00:00 and 23:59:59 as HH:MM:SS.");
        return std::nullopt;
    }
    return field(0) * 3600 + field(3) * 60 + field(6);
}

uint64_t SeedOrRandom(const NoiseOptions& options)
{
    if (options.seed)
        return *options.seed;
    return DrawRandomSeed();
}

bool SeedFitsEndless(const NoiseOptions& options)
{
    if (options.seed && options.endless != 1)
    {
        Refuse("--seed", "only endless noise has a seed; add --endless.");
        return false;
    }
    return true;
}

bool NotchFitsType(const NoiseOptions& given, const NoiseOptions& noise)
{
    if (given.notch == 1 && IsTone(noise.noiseType))
    {
        Refuse("--notch", "the tone has no notch; choose physiological, white, pink or brown noise.");
        return false;
    }
    return true;
}

OptionOutcome ParseNoiseOption(std::string_view argument, COptionReader& reader, NoiseOptions& options)
{
    const std::string_view name = OptionName(argument);
    if (argument == "--notch" || argument == "--no-notch")
    {
        options.notch = argument == "--notch" ? 1 : 0;
        return OptionOutcome::Taken;
    }
    if (name == "--notch-width")
    {
        const std::optional<std::string_view> text = reader.Value(argument);
        if (!text)
            return OptionOutcome::Refused;
        const std::string copy(*text);
        char* end = nullptr;
        const double width = LooksNumeric(copy) ? std::strtod(copy.c_str(), &end) : 0.0;
        if (end == nullptr || end == copy.c_str() || !OnlyBlanksFrom(end) || (width != 0.5 && width != 1.0))
        {
            Refuse(name, "Please choose 0.5 or 1 (octaves).");
            return OptionOutcome::Refused;
        }
        options.notchWidthOctaves = width;
        return OptionOutcome::Taken;
    }
    if (argument == "--hearing-shaped" || argument == "--no-hearing-shaped")
    {
        options.hearingShaped = argument == "--hearing-shaped" ? 1 : 0;
        return OptionOutcome::Taken;
    }
    if (argument == "--stereo" || argument == "--no-stereo")
    {
        options.stereo = argument == "--stereo" ? 1 : 0;
        return OptionOutcome::Taken;
    }
    if (name == "--ear-levels")
    {
        const std::optional<std::string_view> text = reader.Value(argument);
        if (!text)
            return OptionOutcome::Refused;
        const size_t comma = text->find(',');
        const std::optional<int> left =
            comma == std::string_view::npos ? std::nullopt : ParseEarLevel(text->substr(0, comma));
        const std::optional<int> right =
            comma == std::string_view::npos ? std::nullopt : ParseEarLevel(text->substr(comma + 1));
        if (!left || !right)
        {
            Refuse(name, "Please give two levels as LEFT,RIGHT: whole dB from -60 to 0, or silent.");
            return OptionOutcome::Refused;
        }
        options.earLevelDb = std::array<int, 2>{*left, *right};
        return OptionOutcome::Taken;
    }
    if (name == "--tone-ear")
    {
        const std::optional<std::string_view> text = reader.Value(argument);
        if (!text)
            return OptionOutcome::Refused;
        const std::optional<ToneEar> ear = ToneEarFromName(*text);
        if (!ear)
        {
            Refuse(name, "Please choose left, right or both.");
            return OptionOutcome::Refused;
        }
        options.toneEar = ear;
        return OptionOutcome::Taken;
    }
    if (argument == "--endless" || argument == "--no-endless")
    {
        options.endless = argument == "--endless" ? 1 : 0;
        return OptionOutcome::Taken;
    }
    if (name == "--seed")
    {
        const std::optional<std::string_view> text = reader.Value(argument);
        const std::optional<uint64_t> seed = text ? ParseSeed(name, *text) : std::nullopt;
        if (!seed)
            return OptionOutcome::Refused;
        options.seed = seed;
        return OptionOutcome::Taken;
    }
    double* number = nullptr;
    const ParameterLimit* limit = nullptr;
    if (name == "--lower")
    {
        number = &options.lowerLimit;
        limit = &Limits::kFrequency;
    }
    else if (name == "--upper")
    {
        number = &options.upperLimit;
        limit = &Limits::kFrequency;
    }
    else if (name == "--surf-strength")
    {
        number = &options.surfStrength;
        limit = &Limits::kSurfStrength;
    }
    else if (name == "--surf-period")
    {
        number = &options.surfPeriod;
        limit = &Limits::kSurfPeriod;
    }
    else if (name != "--type" && name != "--tinnitus-freq")
    {
        return OptionOutcome::NotMine;
    }

    const std::optional<std::string_view> text = reader.Value(argument);
    if (!text)
        return OptionOutcome::Refused;
    if (number != nullptr)
    {
        const std::optional<double> value = ParseNumber(name, *text, *limit);
        if (!value)
            return OptionOutcome::Refused;
        *number = *value;
    }
    else if (name == "--tinnitus-freq")
    {
        const std::optional<int> value = ParseInteger(name, *text, Limits::kTinnitusFrequency);
        if (!value)
            return OptionOutcome::Refused;
        options.tinnitusFreq = *value;
    }
    else
    {
        const std::optional<NoiseType> type = NoiseTypeFromName(*text);
        if (!type)
        {
            Refuse(name, "Please choose physiological, white, pink, brown or tinnitus.");
            return OptionOutcome::Refused;
        }
        options.noiseType = *type;
    }
    return OptionOutcome::Taken;
}

const char* const kNoiseOptionsHelp =
    "  --type TYPE            physiological, white, pink, brown or tinnitus (a pure\n"
    "                         tone for finding the pitch of a tinnitus); default\n"
    "                         pink\n"
    "  --lower HZ             lowest frequency of the noise, 20..20000; default 100\n"
    "  --upper HZ             highest frequency of the noise, 20..20000; default 20000\n"
    "  --tinnitus-freq HZ     frequency of the tone, a whole number 20..20000;\n"
    "                         default 440\n"
    "  --surf-strength PCT    depth of the slow swell of loudness, 0..100 %;\n"
    "                         0 turns it off; default 30\n"
    "  --surf-period S        length of one swell in seconds, 0..10000; default 20\n"
    "  --endless              noise that never repeats: every 5.9 s period is drawn\n"
    "                         afresh and joined to the last without a seam (the\n"
    "                         tone is not affected); default: as the setting\n"
    "  --no-endless           the one noise period, repeated\n"
    "  --seed N               the endless noise drawn from seed N, 0..2^64-1, to\n"
    "                         make the same sound again; default: a random seed\n"
    "  --notch                cut a band centred on --tinnitus-freq out of the\n"
    "                         noise (not the tone); default: as the setting\n"
    "  --no-notch             the noise without a notch\n"
    "  --notch-width OCT      width of the notch: 0.5 or 1 octave; default 1\n"
    "  --hearing-shaped       tilt the noise's spectrum so that every band lies the\n"
    "                         same distance above your thresholds from\n"
    "                         'susurra-cli hearing' (at most +20 dB, the level\n"
    "                         unchanged); one channel: both ears' shape\n"
    "  --no-hearing-shaped    the noise as its type makes it\n"
    "  --stereo               two channels, each ear with its own noise (same\n"
    "                         spectrum, independent phases); default: as the\n"
    "                         setting\n"
    "  --no-stereo            one channel, the same sound in both ears\n"
    "  --ear-levels L,R       with --stereo, each ear's level in whole dB from -60\n"
    "                         to 0, or silent; default 0,0\n"
    "  --tone-ear EAR         with --stereo, the ear the tone plays in: left,\n"
    "                         right or both; default both\n";
