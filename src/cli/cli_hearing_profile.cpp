// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_hearing_profile.h"

#include <cstdio>

#include "base/printable_text.h"
#include "settings/settings_location.h"

std::string HearingProfileFolder()
{
    return ChooseSettingsFolder(SettingsEnvironment::FromSystem());
}

std::optional<HearingProfileLoad> LoadProfileForCommand()
{
    const std::string folder = HearingProfileFolder();
    HearingProfileLoad load = LoadHearingProfile(folder);
    const std::string path = folder + std::string(kHearingProfileFileName);
    if (load.state == HearingProfileLoad::State::Damaged)
    {
        std::fprintf(stderr,
                     "susurra-cli: the hearing profile %s is damaged (%s); it was left as it is.\n"
                     "Run 'susurra-cli hearing --clear' and the check again for a new one.\n",
                     PrintableText(path).c_str(), PrintableText(load.problem).c_str());
        return std::nullopt;
    }
    if (load.state == HearingProfileLoad::State::Unreadable)
    {
        std::fprintf(stderr, "susurra-cli: %s\n", ArgumentText(IoResultText(load.io)).c_str());
        return std::nullopt;
    }
    return load;
}

namespace
{
// The profile to shape by: an empty one (no tilt) when not shaped or when
// there is none yet (after a note); nullopt when it could not be read.
std::optional<HearingProfile> ShapingProfile(bool shaped)
{
    if (!shaped)
        return HearingProfile{};
    const std::optional<HearingProfileLoad> load = LoadProfileForCommand();
    if (!load)
        return std::nullopt;
    if (load->state == HearingProfileLoad::State::Missing)
    {
        std::fprintf(stderr, "susurra-cli: no hearing profile yet ('susurra-cli hearing' makes one); "
                             "the noise is not shaped\n");
        return HearingProfile{};
    }
    return load->profile;
}
} // namespace

std::optional<SpectrumTilt> ShapeTilt(bool shaped)
{
    const std::optional<HearingProfile> profile = ShapingProfile(shaped);
    if (!profile)
        return std::nullopt;
    // One channel: the shape of both ears together.
    return HearingTilt(*profile, HearingEar::Both);
}

std::optional<std::array<SpectrumTilt, 2>> ShapeEarTilts(bool shaped)
{
    const std::optional<HearingProfile> profile = ShapingProfile(shaped);
    if (!profile)
        return std::nullopt;
    return std::array<SpectrumTilt, 2>{HearingTilt(*profile, HearingEar::Left),
                                       HearingTilt(*profile, HearingEar::Right)};
}
