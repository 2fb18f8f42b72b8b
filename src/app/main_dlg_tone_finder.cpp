// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's Tinnitus Finder: the frequency edit and slider kept in
// step, and a playing tone retuned as they move.
#include "app/main_dlg.h"

#include "app/resource_ids.h"
#include "synth/parameter_limits.h"
#include "synth/rounding.h"
#include "ui/controls/slider_ctrl.h"

#include <QLineEdit>

#include <charconv>
#include <cmath>
#include <string>

namespace
{

// The leading decimal number of a text, as the C library reads one, but
// independent of the locale; 0 when the text starts with no number.
double LeadingNumber(const QString& text)
{
    const std::string bytes = text.toStdString();
    const char* begin = bytes.data();
    const char* end = begin + bytes.size();
    while (begin != end && (*begin == ' ' || *begin == '\t'))
        ++begin;
    if (begin != end && *begin == '+')
        ++begin;
    double value = 0.0;
    // A pasted "nan" would otherwise reach the tone as a pitch.
    if (std::from_chars(begin, end, value, std::chars_format::general).ec != std::errc() || std::isnan(value))
        return 0.0;
    return value;
}

} // namespace

int CMainDlg::FreqToSliderPos(double frequency)
{
    if (!(frequency > 0.0))
        return RoundHalfAway(1000.0 * std::log(Limits::kTinnitusFrequency.min));
    return RoundHalfAway(1000.0 * std::log(frequency));
}

int CMainDlg::SliderPosToFreq(int position)
{
    return RoundHalfAway(std::exp(position / 1000.0));
}

void CMainDlg::OnChangeTinnitusFreq()
{
    if (m_freqSyncGuard)
    {
        m_freqSyncGuard = false;
        return;
    }
    auto* edit = GetDlgItemAs<QLineEdit>(IDC_TINNITUS_FREQ);
    double frequency = LeadingNumber(edit->text());
    const int highest = static_cast<int>(Limits::kTinnitusFrequency.max);
    if (frequency > highest)
    {
        // Runs this handler again, nested, with "20000".
        edit->setText(QString::number(highest));
        frequency = highest;
    }
    m_tinnitusFreq = TruncToInt(frequency);
    MarkNotchStale();
    m_freqSyncGuard = true;
    m_freqSlider->SetPos(FreqToSliderPos(frequency), true);
    // The slider's paint clears the guard; a hidden slider clears it at its
    // first paint.
    m_freqSlider->repaint();
    if (m_engine.IsPlaying() && IsTone(m_generatedType))
    {
        CBusyScope busy(*this);
        m_engine.RetuneTone(frequency);
    }
}

void CMainDlg::OnCustomdrawFreqSlider()
{
    if (Busy())
        return;
    if (m_freqSyncGuard)
    {
        m_freqSyncGuard = false;
        return;
    }
    const int frequency = SliderPosToFreq(m_freqSlider->GetPos());
    const bool changed = frequency != m_tinnitusFreq;
    m_tinnitusFreq = frequency;
    if (changed)
        MarkNotchStale();
    auto* edit = GetDlgItemAs<QLineEdit>(IDC_TINNITUS_FREQ);
    const QString text = QString::number(m_tinnitusFreq);
    // Only a text that changes raises the notification that clears the
    // guard; setting the guard without it would swallow the next edit.
    if (edit->text() != text)
    {
        m_freqSyncGuard = true;
        edit->setText(text);
    }
    // Every repaint comes here: retune only when the pitch moved, else the
    // playing tone would restart on each exposure.
    if (changed && m_engine.IsPlaying() && IsTone(m_generatedType))
    {
        CBusyScope busy(*this);
        m_engine.RetuneTone(m_tinnitusFreq);
    }
}
