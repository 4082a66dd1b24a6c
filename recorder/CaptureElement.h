#pragma once

#include "recorder/CommandStrings.h"
#include "recorder/SpoolFile.h"
#include "recorder/SpoolPlayback.h"
#include "recorder/SpoolRecording.h"
#include "sound/CaptureDevice.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace calmfield::recorder {

// Why a command on the element failed; the codes are the interpreter's replies.
enum CommandCode : int {
    kSucceeded = 0,
    kUnknownCommand = 261,
    kNoSuchAlias = 263,
    kMalformedCommand = 274,
    kUnsupportedSetting = 275,
    kDeviceNotReady = 276,
    kDeviceBusy = 277,
    kAliasInUse = 289,
    kFileNotSaved = 286,
    kSpoolFailure = 287,
};

// One sound element that records what the speakers play into a take, plays the take back and
// saves it as a WAV file. The take lives in an unnamed spool file, so a long one costs disk, not
// memory. Everything here runs on the user-interface thread and never waits on the sound server;
// what the server did meanwhile is picked up whenever the element is asked anything.
class CaptureElement {
  public:
    // A WAV file's lengths are 32-bit: a take stops short of 4 GiB, about 13 hours at 44100 Hz.
    static constexpr std::uint64_t kWaveDataLimit = 0xFFFFFFFFull - 0xFFFF;
    static constexpr std::chrono::milliseconds kOpenTimeout{1000};

    CaptureElement(std::unique_ptr<sound::CaptureDevice> device, std::filesystem::path spoolFolder,
                   std::uint64_t takeLimit = kWaveDataLimit);
    ~CaptureElement();
    CaptureElement(const CaptureElement&) = delete;
    CaptureElement& operator=(const CaptureElement&) = delete;

    // Connects to the sound server, waiting at most kOpenTimeout.
    CommandReply open();

    // The next record begins a new take instead of adding to the one held; stops what runs.
    CommandReply seekToStart();
    // Keeps adding to the take held, as the next record does without a seek to its start.
    CommandReply seekToEnd();
    // The format of the next new take: 8 bits, 1 or 2 channels, any rate the server takes.
    CommandReply setSampleRate(long rate);
    CommandReply setBitsPerSample(long bits);
    CommandReply setChannels(long channels);

    CommandReply record();
    CommandReply stop();
    // Plays the take from `fromByte`; a playback that runs starts again.
    CommandReply play(std::uint64_t fromByte);
    CommandReply save(const std::filesystem::path& target);

    // "recording", "playing", "stopped", or "not ready" while the sound server is away.
    std::string mode();
    // The bytes of the take: growing while it is recorded.
    std::uint64_t heldBytes();
    // The format of the take held, or of the next one while none was ever recorded.
    sound::BytePcmFormat takeFormat() const { return spool_.isOpen() ? take_ : next_; }

  private:
    enum class State { Stopped, Recording, Playing };

    // Brings the element up to what the device and the spool did on their own: a take that was
    // cut off or filled the disk ends, a playback that reached its end stops.
    void catchUp();
    void endRecording();
    void endPlayback();
    std::size_t frameBytes() const { return takeFormat().channels; }

    std::unique_ptr<sound::CaptureDevice> device_;
    const std::filesystem::path spoolFolder_;
    const std::uint64_t takeLimit_;
    SpoolFile spool_;
    std::unique_ptr<SpoolRecording> recording_;
    std::unique_ptr<SpoolPlayback> playback_;
    State state_ = State::Stopped;
    bool atStart_ = true;
    std::uint64_t heldBytes_ = 0;
    sound::BytePcmFormat next_;
    sound::BytePcmFormat take_; // set when a new take begins
};

} // namespace calmfield::recorder
