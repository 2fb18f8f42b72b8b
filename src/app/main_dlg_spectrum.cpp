// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's picture of the sound: redrawn from the controls as the
// user edits them, before Play.
#include "app/main_dlg.h"

#include "app/resource_ids.h"
#include "app/sound_picture.h"
#include "ui/controls/combo_ctrl.h"
#include "ui/controls/slider_ctrl.h"
#include "ui/dialog/number_text.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLineEdit>

namespace
{

// A limit as typed; while the text is no valid limit (a half-typed "1" of
// "100"), the one the picture shows.
double TypedLimit(const QLineEdit* edit, double shown)
{
    const std::optional<double> typed = ParseDialogDouble(edit->text().toStdString());
    if (typed && *typed >= Limits::kFrequency.min && *typed <= Limits::kFrequency.max)
        return *typed;
    return shown;
}

} // namespace

void CMainDlg::SetUpSpectrumView()
{
    m_spectrumView = CSpectrumView::CreateIn(GetDlgItem(IDC_SPECTRUM));
    // Connected after the window's own handlers, so that the members they
    // keep (frequency, notch width) are up to date when the picture reads
    // them. Program writes into the controls count too: the radios' and the
    // check box's toggles, and the settings' PlayerStateChanged.
    const auto show = [this] { ShowSpectrum(); };
    for (int id : {IDC_LOWER_LIMIT, IDC_UPPER_LIMIT, IDC_TINNITUS_FREQ})
        connect(GetDlgItemAs<QLineEdit>(id), &QLineEdit::textChanged, this, show);
    for (QAbstractButton* radio : RadioGroup(IDC_PHYSIOLOGICAL))
        connect(radio, &QAbstractButton::toggled, this, show);
    connect(m_notchCheck, &QAbstractButton::toggled, this, show);
    connect(m_notchWidthCombo, &CComboCtrl::SelChange, this, show);
    // The stereo controls redraw it from their handlers, which keep m_stereo.
    connect(m_freqSlider, &CSliderCtrl::CustomDraw, this, show);
    connect(this, &CMainDlg::PlayerStateChanged, this, show);
    ShowSpectrum();
}

void CMainDlg::ShowSpectrum()
{
    if (m_spectrumView == nullptr)
        return;
    SpectrumValues values;
    values.noiseType = m_noiseType;
    const QList<QAbstractButton*> radios = RadioGroup(IDC_PHYSIOLOGICAL);
    for (int i = 0; i < radios.size(); ++i)
        if (radios[i]->isChecked())
            values.noiseType = i;
    const SpectrumPicture& shown = m_spectrumView->Picture();
    values.lowerLimitHz = TypedLimit(GetDlgItemAs<QLineEdit>(IDC_LOWER_LIMIT), shown.lowerLimitHz);
    values.upperLimitHz = TypedLimit(GetDlgItemAs<QLineEdit>(IDC_UPPER_LIMIT), shown.upperLimitHz);
    values.tinnitusHz = m_tinnitusFreq;
    values.notch = NotchBand{m_notchCheck->isChecked() && !IsTone(values.noiseType),
                             static_cast<double>(m_tinnitusFreq), m_notchWidthOctaves};
    values.stereo = m_stereo.on;
    for (int ear = 0; ear < 2; ++ear)
    {
        // The tone in one ear leaves the other silent.
        const ToneEar other = ear == 0 ? ToneEar::Right : ToneEar::Left;
        const bool silent =
            m_stereo.earLevelDb[ear] <= StereoSound::kSilent || (IsTone(values.noiseType) && m_stereo.toneEar == other);
        values.earLevelDb[ear] = silent ? SpectrumPicture::kSilenceDb : m_stereo.earLevelDb[ear];
    }
    m_spectrumView->SetPicture(DescribeSpectrum(values));
}
