// A real sound server (PulseAudio, or PipeWire with its PulseAudio service)
// started for one test, playing into a null sink whose monitor the test
// records, as a speaker would be heard.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "temp_dir.h"

class SoundServer {
public:
    enum class Kind { PulseAudio, PipeWire };
    // runtimeDirectory: the session's XDG_RUNTIME_DIR, shared with a Wayland
    // compositor; empty: one of its own.
    explicit SoundServer(Kind kind = Kind::PulseAudio, const std::string& runtimeDirectory = "");
    ~SoundServer();
    bool Started() const { return started_; }
    // For PULSE_SERVER.
    std::string address() const;
    // What a session on this server gives its programs: PulseAudio by
    // address, PipeWire found in the runtime directory as a desktop finds it.
    std::map<std::string, std::string> Environment() const;
    static const char* Name(Kind kind) { return kind == Kind::PipeWire ? "PipeWire" : "PulseAudio"; }

private:
    Kind kind_;
    TempDir ownRuntime_;
    std::string runtime_;
    std::unique_ptr<ChildProcess> server_;
    bool started_ = false;
};

// Everything the sink plays, as 44100 Hz stereo float frames, with the times
// at which the frames arrived.
class MonitorRecording {
public:
    explicit MonitorRecording(const SoundServer& server);
    ~MonitorRecording();  // stops the recording
    void Stop();

    struct Arrival {
        std::chrono::steady_clock::time_point time;
        size_t frames;  // frames received up to that time
    };
    std::vector<float> Mono() const;  // the frames received so far, channels averaged
    // Frames received up to time, interpolated between arrivals.
    double FramesAt(std::chrono::steady_clock::time_point time) const;

private:
    void Read();

    std::unique_ptr<ChildProcess> recorder_;
    int pipe_ = -1;
    std::thread reader_;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<float> samples_;
    std::vector<Arrival> arrivals_;
};
