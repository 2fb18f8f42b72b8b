// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "base/message_reporter.h"
#include "base/play_controls.h"
#include "base/status_sink.h"
#include "playback/cue_player.h"
#include "playback/ear_mixer.h"
#include "playback/endless_feed.h"
#include "playback/refill_chain.h"
#include "playback/signal_generator.h"
#include "playback/wave_out.h"

// Streams the shaped signal to a sound device with two alternating halves:
// chooses and opens the device, starts playback on Play (making the signal
// first when it is stale), refills each half as the device hands it back,
// stops on Stop or a change of device, and sets the device volume.
//
// Threading: every public member runs on the UI thread, which also makes the
// signal. WaveOutProc runs on the wave-output notification thread; it refills
// and requeues one half under the refill chain's lock (CRefillChain::Lock),
// the one lock of the refill path. The UI thread clears m_playing and then
// takes and drops that lock before every reset, so a refill in progress
// finishes first and every later notification queues nothing. The device
// plays from the chain's own buffer, so making a signal never writes samples
// that the device is reading.
//
// The engine keeps the transport (Play, Stop, the cue, the queue of halves)
// and the device; the chain makes the stream.
//
// Stereo (PlayParameters::stereo): the ear mixer (CEarMixer) makes the
// right ear's noise with a second chain and interleaves the two ears into a
// two-channel play buffer with each ear's gain; the engine opens the device
// with two channels and drives both ears through the same steps. Mono runs
// take none of this and stay exactly as they were. Without a right-ear
// generator stereo plays as mono.
//
// The wave-output service, the generators and the interfaces passed in must
// outlive the engine; its destructor stops playback and closes the device.
class CPlaybackEngine
{
public:
    static constexpr int kPeriodSamples = 262144;
    static constexpr int kMaxVolumePosition = 461;

    // `rightSynth` makes the right ear's noise in stereo; null: stereo plays as mono.
    CPlaybackEngine(IWaveOut& waveOut, ISignalGenerator& synth, IPlayControls& controls, IStatusSink& status,
                    IMessageReporter& messages, ISignalGenerator* rightSynth = nullptr);
    ~CPlaybackEngine(); // Shutdown()
    CPlaybackEngine(const CPlaybackEngine&) = delete;
    CPlaybackEngine& operator=(const CPlaybackEngine&) = delete;

    // Device initialisation: lists the devices that take 44100 Hz mono 16-bit,
    // chooses the first, fixes the volume at position 9 and opens the device.
    // Warns when no device is listed or the open fails.
    void InitDevices();

    void OnPlay();
    void OnStop();
    // The user chose entry `entry` of DeviceNames(): stops and opens that device.
    void OnSelchangeSoundDevice(int entry);
    // Applies a volume slider position 0..461; returns the 16-bit level.
    uint32_t SetVolume(int position);

    // The listener's shape for endless noise from the next Play; off by
    // default. The repeated period takes the one of the generator's synth.
    void SetEndlessTilt(const SpectrumTilt& tilt) { SetEndlessTilts(tilt, tilt); }
    // The same for each ear of a stereo run; the left one is also mono's.
    void SetEndlessTilts(const SpectrumTilt& left, const SpectrumTilt& right);

    // Surf settings as the controls hold them; heard from the next refill.
    // The window calls it whenever it reads its controls.
    void SetSurf(double strength, double period);
    // A surf field was edited: the next Play restarts playback.
    void MarkSurfChanged() { m_paramsChanged = true; }

    // Retunes the tone while it plays: makes the new tone and restarts output
    // from the start of its halves, so the change is heard within one audio
    // period. Does nothing unless the tone is playing.
    void RetuneTone(double frequency);

    // Plays `count` samples once on the open device as a cue (the pitch
    // match's tones), stopping the sound that plays. The samples must stay
    // unchanged until CueDone or until the next Play, PlayCue, Stop or
    // Shutdown. False when no device is open or it refused the buffer.
    // `ear` chooses the channel: Left or Right plays the cue there and
    // silence in the other (opening the device with two channels if it has
    // one); Both plays it in every channel the device has.
    bool PlayCue(const int16_t* samples, uint32_t count, ToneEar ear = ToneEar::Both);
    // True once the last cue was played or handed back (and before any).
    bool CueDone() const { return m_cue.Done(); }

    // Hold the returned lock while making a new signal during playback (To
    // File with a stale signal): refills wait until it is released. Call no
    // other engine member while holding it.
    [[nodiscard]] std::unique_lock<std::mutex> LockSignal() { return m_chain.Lock(); }

    // Call now and then (a timer): when the device failed while playing,
    // stops cleanly, shows "nothing to do" and returns true. Also lets the
    // device go idle once the ramp after a Stop has played.
    bool OnCheckDevice();

    // Fades. Both are off by default, and then every sample reaches the
    // device as the shaper made it. Positions count the stream's samples
    // from the first one a Play queued; halves are made seconds ahead, so
    // the gain follows the samples, not the clock.
    // The rise at the start of a Play is PlayParameters::fadeInSamples.
    // Ends the stream at sample `end` after falling evenly over the `fade`
    // samples before it: nothing is queued after the end, and once the last
    // sample has been handed back OnCheckEnded reports it. Applies to the
    // run playing now; Play sets it anew from PlayParameters::endSample.
    // Samples already made (up to two halves ahead) keep their level.
    void SetStreamEnd(int64_t end, int64_t fade);
    // The sleep timer's end: `length` samples after the sample heard now,
    // falling over the `fade` samples before it. It holds for the runs the
    // next Plays start too, each from its first sample, so that their first
    // halves fall as well; it then takes the place of PlayParameters'.
    void SetStreamEndAfter(int64_t length, int64_t fade);
    // Clears both ends.
    void ClearStreamEnd();
    // The stream's sample being heard about now, by the monotonic clock
    // since Play (0 when not playing).
    int64_t PlayedSample() const;
    // Call now and then (a timer): when the stream reached its end and its
    // last sample was played, stops as Stop does and returns true.
    bool OnCheckEnded();
    // The last sample of an ended stream has been handed back (OnCheckEnded not yet called).
    bool HasEnded() const { return m_ended.load(std::memory_order_acquire); }
    // Call now and then (a timer): when the backend's device list changed,
    // lists the devices anew. The chosen device stays chosen while it is
    // listed; when it went, the first entry (the default output) is opened
    // instead, and playback, if any, goes on there. Returns true when the
    // list was read anew.
    bool RefreshDevices();

    // Stops playback and closes the device. Safe to call more than once.
    void Shutdown();

    const std::vector<std::string>& DeviceNames() const { return m_deviceNames; }
    int SelectedEntry() const { return m_selectedEntry; }
    bool DeviceOpen() const { return m_deviceOpen; }
    bool IsPlaying() const { return m_playing.load(std::memory_order_acquire); }
    int PlayedType() const { return m_chain.PlayedType(); }
    int Volume() const { return m_volume; }
    const std::string& Status() const { return m_status; }
    const WaveHeader& Header(int half) const { return m_headers[half]; }
    // The channels the device was opened with.
    int Channels() const { return m_waveFormat.channels; }
    const int16_t* PlayBuffer() const { return m_chain.Buffer(); }
    // The endless noise's feed once an endless Play made it; else null.
    const CEndlessFeed* EndlessFeed() const { return m_chain.EndlessFeed(); }

    static void WaveOutProc(WaveHandle handle, WaveMessage message, void* context, WaveHeader* header);

private:
    void ApplyParameters(const PlayParameters& params);
    void ListDevices();
    void SetStatus(const char* text);
    bool OpenDevice();
    // Opens the device anew with `channels` unless it has them; on failure
    // it tries the channels it had, and false.
    bool ReopenWithChannels(int channels);
    // Locked. Makes half `half` of the stream (both ears in stereo) and sets its header.
    void MakeHalf(int half);
    void CloseDevice();
    void HaltOutput();
    void PrepareHeaders(int halfLength);
    void UnprepareHeaders();
    // Queues both halves, `first` first (the chain lock held).
    bool QueueBoth(int first);
    bool StartOutput();
    void OnOutputFailed();
    void Refill(WaveHandle handle);
    // With glide on: makes the new sound while the refills go on with a copy
    // of the old one, then crossfades into it. Where the device can replace
    // queued sound, the crossfade starts at the first sample it can still
    // replace; otherwise from the next refill.
    void GlideTo(bool tone, double frequency);
    // Stop ends in a short ramp down instead of a cut: over the queued sound
    // where the device can replace it, else after a reset from about the
    // sample being heard.
    bool ReplaceStopTail();
    bool ReplaceWithGlide();
    void QueueStopRamp(int64_t heard);
    // Sets a half's header to what the chain kept of it.
    void TakeHalf(int half)
    {
        m_headers[half].bufferLengthBytes = static_cast<uint32_t>(m_chain.Kept(half)) * m_ears.FrameBytes();
    }
    bool QueueHalf(WaveHandle handle, int half);

    IWaveOut& m_waveOut;
    ISignalGenerator& m_synth;
    IPlayControls& m_controls;
    IStatusSink& m_statusSink;
    IMessageReporter& m_messages;

    std::vector<uint32_t> m_deviceIds;      // combo entry -> device id
    std::vector<std::string> m_deviceNames; // combo entries
    int m_selectedEntry = -1;
    uint32_t m_deviceListVersion = 0; // the backend's when the list was read
    uint32_t m_deviceId = 0;
    bool m_deviceChosen = false;
    WaveHandle m_hWaveOut = 0;
    bool m_deviceOpen = false;
    WaveFormat m_waveFormat;
    WaveHeader m_headers[2];
    bool m_headersPrepared = false;
    bool m_paramsChanged = true;
    int m_volume = 9;
    std::string m_status = "nothing to do";
    PlayParameters m_params;
    uint32_t m_halfBytes = 0;
    int64_t m_endAfter = -1; // SetStreamEndAfter's length; -1: none
    int64_t m_endAfterFade = 0;

    // Shared with the notification thread.
    std::atomic<bool> m_playing{false};
    std::atomic<bool> m_deviceFailed{false};
    CCuePlayer m_cue; // the cue's header and done flag
    // Guarded by the chain's lock.
    int m_nextHalf = 0; // the half whose completion comes next
    int m_queued = 0;   // halves at the device
    // Device positions: samples written since Open or the last Reset, and
    // the device position of the run's first sample (guarded by the chain's lock).
    int64_t m_deviceWritten = 0;
    int64_t m_runBase = 0;
    // Sound of a stopped run still queued (a ramp or a replaced tail): the
    // next Play resets the device first.
    bool m_tailQueued = false;
    std::chrono::steady_clock::time_point m_tailEnd; // when it will have played
    WaveHeader m_rampHeader;
    bool m_rampPrepared = false;
    std::atomic<bool> m_ended{false}; // the last half of an ended stream came back
    std::chrono::steady_clock::time_point m_playStart;

    CRefillChain m_chain;

    // Stereo: the right ear and the interleaving (UI thread; its run state under the chain lock).
    CEarMixer m_ears;
};
