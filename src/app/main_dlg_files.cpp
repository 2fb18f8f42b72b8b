// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's sound files: To File and Browse.
#include "app/main_dlg.h"

#include "app/io_result_message.h"
#include "app/core_text.h"
#include "app/resource_ids.h"
#include "base/random_seed.h"
#include "playback/surf_shaper.h"
#include "soundfile/sound_file_type.h"
#include "soundfile/sound_render.h"
#include "ui/controls/progress_ctrl.h"
#include "ui/services/dialog_services.h"

#include <QFile>
#include <QTime>
#include <QCoreApplication>
#include <QTimeEdit>

#include <mutex>

namespace
{

// The statuses the core also shows, in the same words.
QString NothingToDo()
{
    return CCoreText::Translate("nothing to do");
}
QString Generating()
{
    return CCoreText::Translate("generating noise signal");
}
QString Playing()
{
    return CCoreText::Translate("playing");
}
QString Writing()
{
    return QCoreApplication::translate("CMainDlg", "writing sound file");
}

// h:mm:ss of a length in seconds.
QString Clock(int seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// A path as the file system takes it.
std::string FileSystemName(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

SoundValues CMainDlg::Sound() const
{
    SoundValues sound;
    sound.noiseType = m_noiseType;
    sound.lowerLimit = m_lowerLimit;
    sound.upperLimit = m_upperLimit;
    sound.tinnitusFreq = m_tinnitusFreq;
    sound.surfStrength = m_surfStrength;
    sound.surfPeriod = m_surfPeriod;
    sound.notch = m_notch;
    sound.notchWidthOctaves = m_notchWidthOctaves;
    sound.endless = m_endless && !IsTone(m_noiseType);
    sound.seed = m_seed;
    sound.stereo = m_stereo;
    // The shape read by the last Play or To File (ApplyHearingShape).
    sound.tilt = IsTone(m_noiseType) ? SpectrumTilt{} : m_synth.m_tilt;
    sound.rightTilt = IsTone(m_noiseType) || !m_stereo.on ? SpectrumTilt{} : m_rightSynth.m_tilt;
    return sound;
}

void CMainDlg::MakeSignal()
{
    CBusyScope busy(*this);
    // The device must never play a half-made period: its refills wait.
    const std::unique_lock<std::mutex> lock = m_engine.LockSignal();
    ::MakeSignal(m_synth, Sound());
}

std::optional<QString> CMainDlg::ChooseFileName()
{
    const std::optional<QString> chosen = CDialogServices::SaveFileDialog().ChooseSaveFile(this, m_fileDialog);
    if (!chosen)
        return std::nullopt;
    // The writer keeps at most 255 bytes of a path; a longer one is refused
    // whole rather than cut into another file's name.
    if (chosen->size() > kMaxFileNameChars || FileSystemName(*chosen).size() > CWaveWriter::kMaxFileNameChars)
    {
        Warn(tr("The path of the sound file is too long: at most %1 characters fit.\n\n%2")
                 .arg(kMaxFileNameChars)
                 .arg(*chosen));
        return std::nullopt;
    }
    // The next chooser starts where this one ended.
    m_fileDialog.initialName = *chosen;
    return chosen;
}

void CMainDlg::OnToFile()
{
    const auto warnStereoTooLong = [this] {
        const int limit = MaxWaveSeconds();
        Warn(tr("I can't write %1: a stereo WAV file can be at most %2 (%3 s) long, half as long as a mono one")
                 .arg(m_fileName, Clock(limit), QString::number(limit)));
    };
    // A refused value leaves the values after it unread: writing now would
    // use stale ones.
    if (!UpdateData(true))
        return;
    if (!ApplyHearingShape())
        return;
    if (!m_synth.m_ready)
    {
        ShowStatus(Generating());
        MakeSignal();
        if (m_engine.IsPlaying())
        {
            // The next Play rebuilds the halves for the new signal. A signal
            // of another period length (tone against noise) would be played
            // through the old layout as a mix of old and new: restart now.
            m_engine.MarkSurfChanged();
            if (CSurfShaper::HalfLength(m_noiseType) != CSurfShaper::HalfLength(m_engine.PlayedType()))
            {
                m_controlsJustRead = true;
                m_engine.OnPlay();
                m_controlsJustRead = false;
            }
        }
    }
    m_generatedType = m_noiseType;
    m_generatedNotch = CurrentNotch();

    while (m_fileName.isEmpty())
    {
        const std::optional<QString> chosen = ChooseFileName();
        if (!chosen)
        {
            // "generating noise signal" would stay on show although nothing is being made.
            ShowStatus(m_engine.IsPlaying() ? Playing() : NothingToDo());
            return;
        }
        m_fileName = *chosen;
        SetDlgItemText(IDC_FILE_NAME, m_fileName);
    }
    if (!m_writer.SetFileName(FileSystemName(m_fileName)))
    {
        Warn(tr("The path of the sound file is too long: at most %1 characters fit.\n\n%2")
                 .arg(kMaxFileNameChars)
                 .arg(m_fileName));
        ShowStatus(m_engine.IsPlaying() ? Playing() : NothingToDo());
        return;
    }

    if (SoundFileTypeOf(m_writer.fileName) == SoundFileType::Unknown)
    {
        Warn(tr("I can't write %1: %2.").arg(m_fileName, CCoreText::Translate(UnknownSuffixText())));
        ShowStatus(m_engine.IsPlaying() ? Playing() : NothingToDo());
        return;
    }

    // Stereo frames take twice the bytes: a stereo WAV file holds half as long.
    const bool wave = SoundFileTypeOf(m_writer.fileName) == SoundFileType::Wave;
    if (wave && m_stereo.on && m_playTime.TotalSeconds() > MaxWaveSeconds())
    {
        warnStereoTooLong();
        ShowStatus(m_engine.IsPlaying() ? Playing() : NothingToDo());
        return;
    }

    ShowStatus(Writing());
    // Every file of endless noise is one of its own.
    m_seed = DrawRandomSeed();
    // A validation failure ahead of the picker can leave an invalid time from
    // a damaged setting: the picker's time is what the user sees.
    if (m_playTime.GetHour() < 0 || m_playTime.GetMinute() < 0 || m_playTime.GetSecond() < 0)
    {
        const QTime shown = GetDlgItemAs<QTimeEdit>(IDC_PLAY_TIME)->time();
        m_playTime.SetDateTime(1899, 12, 30, shown.hour(), shown.minute(), shown.second());
    }
    CIoResult result;
    {
        CBusyScope busy(*this);
        FileValues file;
        file.fadeIn = m_fadeIn;
        file.fadeOut = m_fadeOut;
        file.totalSeconds = m_playTime.TotalSeconds();
        result = WriteSoundFile(m_writer, m_synth, Sound(), file);
    }
    if (result.problem == IoProblem::WaveTooLong && m_stereo.on)
        warnStereoTooLong();
    else if (!result && result.problem != IoProblem::Cancelled)
        Warn(IoResultMessage(result));
    ShowStatus(m_engine.IsPlaying() ? Playing() : NothingToDo());
}

void CMainDlg::OnBrowse()
{
    if (!UpdateData(true))
        return;
    if (!m_fileName.isEmpty())
        m_fileDialog.initialName = m_fileName;
    const std::optional<QString> chosen = ChooseFileName();
    if (!chosen)
        return;
    m_fileName = *chosen;
    // Only the name is shown: writing every member back would overwrite
    // values typed into other controls that the read above refused.
    SetDlgItemText(IDC_FILE_NAME, m_fileName);
}
