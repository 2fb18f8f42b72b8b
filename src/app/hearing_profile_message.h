// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/hearing_profile_file.h"

#include <QString>

#include <string>

// Why the hearing profile in folder could not be used: for a damaged file
// its path and problem, for an unreadable one the reason. Empty for a
// missing or loaded profile.
QString HearingProfileMessage(const HearingProfileLoad& load, const std::string& folder);
