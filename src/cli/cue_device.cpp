// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cue_device.h"

#include <cstdio>

#include "base/printable_text.h"
#include "cli/cli_device_choice.h"

CCueDevice::~CCueDevice()
{
    Close();
}

int CCueDevice::Open(WaveBackend backend, const std::string& device, int volume, const char* command)
{
    const std::optional<WaveBackend> chosen = ChosenBackend(backend, command);
    if (!chosen)
        return 2;
    m_waveOut = CreateWaveOut(*chosen);
    if (ReportUnreachedServer(*m_waveOut))
        return 1;
    m_engine = std::make_unique<CPlaybackEngine>(*m_waveOut, m_generator, m_controls, m_status, m_reporter);
    m_engine->InitDevices();
    if (m_engine->DeviceNames().empty())
        return 1;
    if (!device.empty())
    {
        const int entry = FindDevice(m_engine->DeviceNames(), device);
        if (entry < 0)
        {
            std::fprintf(stderr,
                         "susurra-cli: --device: no usable sound device '%s'; 'susurra-cli devices' lists them.\n"
                         "Run 'susurra-cli %s --help' for the options.\n",
                         ArgumentText(device).c_str(), command);
            return 2;
        }
        if (entry != m_engine->SelectedEntry())
            m_engine->OnSelchangeSoundDevice(entry);
    }
    if (!m_engine->DeviceOpen())
        return 1;
    m_engine->SetVolume(volume);
    return 0;
}

bool CCueDevice::Play(std::vector<int16_t> samples, ToneEar ear)
{
    // The cue plays from m_cue: end the last one before it changes.
    m_engine->OnStop();
    m_cue = std::move(samples);
    return m_engine->PlayCue(m_cue.data(), static_cast<uint32_t>(m_cue.size()), ear);
}

std::string CCueDevice::DeviceName() const
{
    const int entry = m_engine ? m_engine->SelectedEntry() : -1;
    return entry >= 0 && entry < static_cast<int>(m_engine->DeviceNames().size())
               ? m_engine->DeviceNames()[static_cast<size_t>(entry)]
               : std::string();
}

void CCueDevice::Close()
{
    if (m_engine)
        m_engine->Shutdown();
}
