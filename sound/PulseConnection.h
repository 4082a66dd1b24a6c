#pragma once

#include "sound/PulseMainLoop.h"

#include <chrono>
#include <functional>
#include <string>

namespace calmfield::sound::pulse {

// A client's connection to a PulseAudio (or PipeWire) server, on a threaded main loop of its
// own. Opening waits, at most a given time, until the client says the connection is usable.
// Once open, it follows the server: a connection that breaks is made again every kRetryInterval
// until the server answers. It never starts a server.
class PulseConnection {
  public:
    static constexpr std::chrono::milliseconds kRetryInterval{1000};

    // What the connection tells the client built on it, on the loop's thread with its lock held.
    class Client {
      public:
        virtual ~Client() = default;
        // The context is ready: the client sets up what it needs on it, and calls established()
        // once the connection is usable, or fail() if it is not.
        virtual void contextReady(pa_context* context) = 0;
        // The connection failed, while opening or later: the client stops using it. Runs inside
        // a libpulse callback, so nothing made on the context may be freed here.
        virtual void connectionLost() {}
        // The context is about to go, outside every libpulse callback: the client frees
        // everything it made on it.
        virtual void releaseContext() {}
    };

    // Holds the loop's lock for its scope; does nothing on a connection that is not open.
    class Lock {
      public:
        explicit Lock(const PulseConnection& connection);
        ~Lock();
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;

      private:
        pa_threaded_mainloop* const loop_;
    };

    // An empty address means the user's default server; `mediaRole` may be null.
    PulseConnection(Client& client, std::string serverAddress, std::string applicationName,
                    const char* mediaRole, const char* threadName);
    ~PulseConnection();
    PulseConnection(const PulseConnection&) = delete;
    PulseConnection& operator=(const PulseConnection&) = delete;

    // Connects, waiting at most `timeout` until the client calls established(); false when the
    // server could not be reached or the client failed in time. The connection is then closed
    // again, or with `keepTrying` made again every kRetryInterval as after a loss.
    enum class OnFailure { close, keepTrying };
    bool open(std::chrono::milliseconds timeout, OnFailure onFailure = OnFailure::close);
    // With the lock held: waits at most `timeout` until `done()` holds, however the client's
    // callbacks bring that about (they signal the loop); whether it holds.
    bool waitUntil(std::chrono::milliseconds timeout, const std::function<bool()>& done);
    // Why the last open() failed, in libpulse's words.
    const std::string& openFailure() const { return openFailure_; }
    // After this returns, the client is told nothing more.
    void close();
    // Whether open() succeeded and close() has not been called since. Only for the thread that
    // opens and closes.
    bool isOpen() const { return loop_ != nullptr; }

    // With the lock held.
    void established();
    void fail(); // something the client runs on the connection broke: make the connection again
    bool ready() const { return state_ == State::ready; }
    pa_context* context() const { return context_; }
    pa_threaded_mainloop* loop() const { return loop_; }

  private:
    enum class State { closed, opening, openFailed, ready, lost };

    static void contextStateChanged(pa_context* context, void* connection);
    bool connect();
    void retryNow();

    Client& client_;
    std::string openFailure_;
    int connectError_ = 0; // libpulse's error when a context could not even begin to connect
    const std::string serverAddress_;
    const std::string applicationName_;
    const char* const mediaRole_;
    const char* const threadName_;

    pa_threaded_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    State state_ = State::closed;
    RetryTimer retryTimer_{[](void* self) { static_cast<PulseConnection*>(self)->retryNow(); },
                           this};
};

// Detaches every callback from `stream`, disconnects it and lets it go; `stream` is then null.
// Nothing when it is null already. Used with the loop's lock held.
void releaseStream(pa_stream*& stream);

} // namespace calmfield::sound::pulse
