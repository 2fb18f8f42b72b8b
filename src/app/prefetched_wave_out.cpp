// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/prefetched_wave_out.h"

#include <QMetaObject>

#include <utility>

CPrefetchedWaveOut::CPrefetchedWaveOut(std::function<std::unique_ptr<IWaveOut>()> make) : m_make(std::move(make)) {}

CPrefetchedWaveOut::~CPrefetchedWaveOut()
{
    if (m_work.valid())
        m_work.wait();
}

void CPrefetchedWaveOut::Start()
{
    if (!m_work.valid())
        Launch();
}

void CPrefetchedWaveOut::Launch() const
{
    // The work fills members; a const call may be the one that starts it.
    m_work = std::async(std::launch::async, [self = const_cast<CPrefetchedWaveOut*>(this)] {
                 // Whatever happens here, the window hears that the work is
                 // over; Inner() passes on what was thrown. Queued to this
                 // object, which outlives the work: its destructor waits for it.
                 struct ReadyNote
                 {
                     CPrefetchedWaveOut* self;
                     ~ReadyNote()
                     {
                         QMetaObject::invokeMethod(
                             self, [s = self] { emit s->Ready(); }, Qt::QueuedConnection);
                     }
                 } note{self};
                 self->m_inner = self->m_make();
                 self->m_devices = self->m_inner->Devices();
             }).share();
}

IWaveOut& CPrefetchedWaveOut::Inner() const
{
    if (!m_work.valid())
        Launch();
    // Also publishes the worker's writes to this thread, and passes on
    // anything the worker threw.
    m_work.get();
    return *m_inner;
}

std::vector<WaveDeviceInfo> CPrefetchedWaveOut::Devices()
{
    IWaveOut& inner = Inner();
    if (!std::exchange(m_devicesTaken, true))
        return std::move(m_devices);
    return inner.Devices();
}

WaveResult CPrefetchedWaveOut::Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format,
                                    WaveCallback callback, void* context)
{
    return Inner().Open(handle, deviceId, format, callback, context);
}

WaveResult CPrefetchedWaveOut::PrepareHeader(WaveHandle handle, WaveHeader* header)
{
    return Inner().PrepareHeader(handle, header);
}

WaveResult CPrefetchedWaveOut::UnprepareHeader(WaveHandle handle, WaveHeader* header)
{
    return Inner().UnprepareHeader(handle, header);
}

WaveResult CPrefetchedWaveOut::Write(WaveHandle handle, WaveHeader* header)
{
    return Inner().Write(handle, header);
}

WaveResult CPrefetchedWaveOut::Reset(WaveHandle handle)
{
    return Inner().Reset(handle);
}

WaveResult CPrefetchedWaveOut::Close(WaveHandle handle)
{
    return Inner().Close(handle);
}

WaveResult CPrefetchedWaveOut::SetVolume(WaveHandle handle, uint32_t volume)
{
    return Inner().SetVolume(handle, volume);
}

void CPrefetchedWaveOut::SetStreamName(const std::string& name)
{
    Inner().SetStreamName(name);
}

uint32_t CPrefetchedWaveOut::DeviceListVersion() const
{
    return Inner().DeviceListVersion();
}

int64_t CPrefetchedWaveOut::FirstReplaceable(WaveHandle handle)
{
    return Inner().FirstReplaceable(handle);
}

WaveResult CPrefetchedWaveOut::ReplaceQueued(WaveHandle handle, int64_t from, const int16_t* samples, uint32_t count)
{
    return Inner().ReplaceQueued(handle, from, samples, count);
}
