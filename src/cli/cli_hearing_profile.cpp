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

// The tilts of the ears asked for; every one off when shaped is false or
// there is no profile yet (told on standard error); nullopt when the
// profile could not be read.
template <size_t N>
std::optional<std::array<SpectrumTilt, N>> ShapeTilts(bool shaped, const std::array<HearingEar, N>& ears)
{
    std::array<SpectrumTilt, N> tilts{};
    if (!shaped)
        return tilts;
    const std::optional<HearingProfileLoad> load = LoadProfileForCommand();
    if (!load)
        return std::nullopt;
    if (load->state == HearingProfileLoad::State::Missing)
    {
        std::fprintf(stderr, "susurra-cli: no hearing profile yet ('susurra-cli hearing' makes one); "
                             "the noise is not shaped\n");
        return tilts;
    }
    for (size_t i = 0; i < N; ++i)
        tilts[i] = HearingTilt(load->profile, ears[i]);
    return tilts;
}

} // namespace

std::optional<SpectrumTilt> ShapeTilt(bool shaped)
{
    // One channel: the shape of both ears together.
    const auto tilts = ShapeTilts<1>(shaped, {HearingEar::Both});
    return tilts ? std::optional<SpectrumTilt>((*tilts)[0]) : std::nullopt;
}

std::optional<std::array<SpectrumTilt, 2>> ShapeEarTilts(bool shaped)
{
    return ShapeTilts<2>(shaped, {HearingEar::Left, HearingEar::Right});
}
