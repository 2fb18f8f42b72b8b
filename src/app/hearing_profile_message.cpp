// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/hearing_profile_message.h"

#include "app/io_result_message.h"

#include <QCoreApplication>
#include <QFile>

QString HearingProfileMessage(const HearingProfileLoad& load, const std::string& folder)
{
    switch (load.state)
    {
        case HearingProfileLoad::State::Damaged:
            return QCoreApplication::translate("HearingProfile",
                                               "The hearing profile %1 is damaged (%2); it was left as it is. "
                                               "Clear it in Hearing Check and take the check again.")
                .arg(QFile::decodeName(QByteArray::fromStdString(folder + std::string(kHearingProfileFileName))),
                     QString::fromStdString(load.problem));
        case HearingProfileLoad::State::Unreadable:
            return IoResultMessage(load.io);
        case HearingProfileLoad::State::Missing:
        case HearingProfileLoad::State::Loaded:
            break;
    }
    return {};
}
