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

std::optional<SpectrumTilt> ShapeTilt(bool shaped)
{
    if (!shaped)
        return SpectrumTilt{};
    const std::optional<HearingProfileLoad> load = LoadProfileForCommand();
    if (!load)
        return std::nullopt;
    if (load->state == HearingProfileLoad::State::Missing)
    {
        std::fprintf(stderr, "susurra-cli: no hearing profile yet ('susurra-cli hearing' makes one); "
                             "the noise is not shaped\n");
        return SpectrumTilt{};
    }
    // One channel: the shape of both ears together.
    return HearingTilt(load->profile, HearingEar::Both);
}
