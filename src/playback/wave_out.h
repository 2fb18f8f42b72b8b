// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A small wave-output service: plays caller-owned buffers of 16-bit PCM one
// after the other and hands each back with a completion notification.
//
// Threading contract (every backend keeps it):
// - One controlling thread (the UI thread) makes every call: Devices, Open,
//   PrepareHeader, UnprepareHeader, Write, Reset, Close, SetVolume, Drain. Calls from
//   the controlling thread never overlap each other.
// - Notifications (the callback given to Open) run on the backend's own
//   notification thread, one at a time, in queue order, never on the
//   real-time audio thread and never inside a call of the controlling thread.
// - From inside a notification only Write may be called (to queue the next
//   buffer); it may overlap any call of the controlling thread. Reset, Close
//   and the others must not be called from a notification.
// - Reset and Close return only after every buffer they hand back has had
//   its notification delivered and returned, so the caller owns its buffers
//   again when they return. Never call them while holding a lock that a
//   notification takes.
// - A buffer belongs to the backend from Write until its notification
//   begins; the caller must not touch its samples in between.
// - Nothing on the real-time path allocates or waits on a lock held for more
//   than a few instructions.

enum class WaveResult
{
    Ok = 0,
    BadDevice,   // no such device id
    BadFormat,   // the device does not take the format
    NotOpen,     // the handle is not open
    Unprepared,  // Write with a header that is not prepared
    QueueFull,   // too many buffers queued
    DeviceError, // the device or the sound server failed
    Unsupported, // the backend has no such capability
};

enum class WaveMessage
{
    Done,        // the buffer was played (or returned by Reset)
    DeviceError, // the buffer is returned because the device failed; playback has stopped
};

// 0 is never a valid handle.
using WaveHandle = uint32_t;

// PCM at 44100 Hz, 16 bits: one channel, or two (stereo) whose samples
// alternate left, right in every buffer. A buffer holds whole frames (one
// sample of each channel); positions and counts below are in frames.
struct WaveFormat
{
    int sampleRate = 44100;
    int channels = 1;
    int bitsPerSample = 16;
};

struct WaveDeviceInfo
{
    std::string name;
    bool takesMono16At44100 = false; // 44100 Hz, mono, 16-bit is accepted
};

// Header flags.
inline constexpr uint32_t kWaveHeaderDone = 0x1;
inline constexpr uint32_t kWaveHeaderPrepared = 0x2;
inline constexpr uint32_t kWaveHeaderInQueue = 0x10;

// One caller-owned buffer. The backend reads data and bufferLengthBytes and
// keeps flags; the caller sets data and length.
struct WaveHeader
{
    const int16_t* data = nullptr;
    uint32_t bufferLengthBytes = 0;
    uint32_t flags = 0;
};

// Called on the notification thread for each buffer handed back.
using WaveCallback = void (*)(WaveHandle handle, WaveMessage message, void* context, WaveHeader* header);

class IWaveOut
{
public:
    virtual ~IWaveOut() = default;

    // Every output device; the device id is the index.
    virtual std::vector<WaveDeviceInfo> Devices() = 0;

    // Opens deviceId for format; notifications go to callback with context.
    virtual WaveResult Open(WaveHandle* handle, uint32_t deviceId, const WaveFormat& format, WaveCallback callback,
                            void* context) = 0;
    // Registers a buffer for output. Preparing a prepared header is harmless.
    virtual WaveResult PrepareHeader(WaveHandle handle, WaveHeader* header) = 0;
    // Releases a buffer. Unpreparing a header that is not prepared is harmless.
    virtual WaveResult UnprepareHeader(WaveHandle handle, WaveHeader* header) = 0;
    // Queues a prepared buffer after those already queued; output starts with it
    // when nothing plays. One notification follows for it.
    virtual WaveResult Write(WaveHandle handle, WaveHeader* header) = 0;
    // Stops output within one audio period and hands back every queued buffer,
    // each with a Done notification, in queue order.
    virtual WaveResult Reset(WaveHandle handle) = 0;
    // Closes the handle; queued buffers are handed back first as by Reset.
    virtual WaveResult Close(WaveHandle handle) = 0;
    // Linear volume: left in the low 16 bits, right in the high 16 bits, each
    // 0..65535. A mono device uses the left value; 65535 leaves samples unchanged.
    virtual WaveResult SetVolume(WaveHandle handle, uint32_t volume) = 0;

    // Optional. Waits until every buffer written so far has been heard (not
    // only handed back), at most timeoutMs; true when it was. For the end of
    // a stream, before Reset or Close would cut what the device still holds.
    // Without it, a buffer handed back counts as heard.
    virtual bool Drain(WaveHandle handle, int timeoutMs)
    {
        (void)handle;
        (void)timeoutMs;
        return true;
    }
    // Optional. Names the sound for the desktop's mixer; heard from now on.
    virtual void SetStreamName(const std::string& name) { (void)name; }
    // Optional. For a backend that plays through a sound server: set when
    // the last attempt to reach the server failed, to the address of a
    // server that was reached but did not answer in time, or empty when
    // none could be reached at all.
    virtual std::optional<std::string> UnreachedServer() const { return std::nullopt; }
    // Optional. Grows whenever devices appear or go, so a front end polling it
    // knows when to call Devices() again. Safe from any thread.
    virtual uint32_t DeviceListVersion() const { return 0; }

    // Optional: replacing sound that is queued but not yet played. Positions
    // count the frames written since Open or the last Reset.
    //
    // The first position that may still be replaced: everything before it
    // has been played or is too close to the speaker to change. -1 when the
    // backend cannot replace queued sound (the default).
    virtual int64_t FirstReplaceable(WaveHandle handle)
    {
        (void)handle;
        return -1;
    }
    // Replaces the sound from position `from` (at least FirstReplaceable, at
    // most all written so far) with `count` frames, which must reach at
    // least to the end of everything written; the backend copies them.
    // Output goes on without a break. Every queued buffer is handed back
    // with Done, as by Reset, and the call returns once their notifications
    // have returned; the next Write follows the new samples.
    virtual WaveResult ReplaceQueued(WaveHandle handle, int64_t from, const int16_t* samples, uint32_t count)
    {
        (void)handle;
        (void)from;
        (void)samples;
        (void)count;
        return WaveResult::Unsupported;
    }
};
