#include "sound_server.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace {
constexpr const char* kSink = "demo_sink";
}

SoundServer::SoundServer(Kind kind, const std::string& runtimeDirectory)
    : kind_(kind), runtime_(runtimeDirectory.empty() ? ownRuntime_.path().string() : runtimeDirectory) {
    const bool pipeWire = kind == Kind::PipeWire;
    const char* needed = pipeWire ? "command -v pipewire-pulse >/dev/null 2>&1 && command -v wireplumber >/dev/null 2>&1"
                                    " && command -v dbus-run-session >/dev/null 2>&1 && command -v parec >/dev/null 2>&1"
                                  : "command -v pulseaudio >/dev/null 2>&1 && command -v parec >/dev/null 2>&1";
    if (std::system(needed) != 0) return;
    const std::map<std::string, std::string> environment{{"XDG_RUNTIME_DIR", runtime_}, {"HOME", runtime_},
                                                         {"PULSE_SERVER", ""}, {"DISPLAY", ""}};
    if (pipeWire) {
        // WirePlumber wants a session bus, as on a desktop.
        server_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"dbus-run-session", "--", "sh", "-c",
                                     "pipewire & sleep 0.3; wireplumber & pipewire-pulse & wait"},
            environment, runtime_, runtime_ + "/pipewire.log");
    } else {
        std::filesystem::create_directories(runtime_ + "/pulse");
        server_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                     "--disable-shm=yes", "--use-pid-file=no", "--log-target=stderr",
                                     std::string("--load=module-null-sink sink_name=") + kSink,
                                     "--load=module-native-protocol-unix auth-anonymous=1 socket=" + runtime_ +
                                         "/pulse/native"},
            environment, runtime_, runtime_ + "/pulseaudio.log");
    }
    const std::string check = "PULSE_SERVER=" + address() + " pactl info >/dev/null 2>&1";
    for (int attempt = 0; attempt < 100 && !started_; ++attempt) {
        started_ = std::system(check.c_str()) == 0;
        if (!started_) usleep(100000);
    }
    if (started_ && pipeWire) {
        const std::string sink = "PULSE_SERVER=" + address() + " pactl load-module module-null-sink sink_name=" +
                                 kSink + " >/dev/null && PULSE_SERVER=" + address() + " pactl set-default-sink " +
                                 kSink;
        started_ = std::system(sink.c_str()) == 0;
    }
}

SoundServer::~SoundServer() = default;

std::string SoundServer::address() const { return "unix:" + runtime_ + "/pulse/native"; }

std::map<std::string, std::string> SoundServer::Environment() const {
    if (kind_ == Kind::PipeWire) return {{"XDG_RUNTIME_DIR", runtime_}, {"PULSE_SERVER", ""}};
    return {{"PULSE_SERVER", address()}};
}

MonitorRecording::MonitorRecording(const SoundServer& server) {
    int ends[2];
    if (pipe(ends) != 0) return;
    const std::string output = "/dev/fd/" + std::to_string(ends[1]);
    // parec writes raw frames to its standard output, the pipe; its warnings
    // must not land among them.
    recorder_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"parec", std::string("--device=") + kSink + ".monitor", "--raw",
                                 "--format=float32le", "--rate=44100", "--channels=2", "--latency-msec=5"},
        std::map<std::string, std::string>{{"PULSE_SERVER", server.address()}}, "/", output, "/dev/null");
    close(ends[1]);
    pipe_ = ends[0];
    reader_ = std::thread([this] { Read(); });
}

MonitorRecording::~MonitorRecording() { Stop(); }

void MonitorRecording::Stop() {
    if (stopping_.exchange(true)) return;
    recorder_.reset();  // kills parec, which closes the pipe
    if (reader_.joinable()) reader_.join();
    if (pipe_ >= 0) close(pipe_);
}

void MonitorRecording::Read() {
    std::vector<char> buffer(8192);
    std::vector<char> partial;
    for (;;) {
        const ssize_t got = read(pipe_, buffer.data(), buffer.size());
        if (got <= 0) return;
        const auto now = std::chrono::steady_clock::now();
        partial.insert(partial.end(), buffer.begin(), buffer.begin() + got);
        const size_t whole = partial.size() / (2 * sizeof(float)) * (2 * sizeof(float));
        std::lock_guard<std::mutex> lock(mutex_);
        const size_t first = samples_.size();
        samples_.resize(first + whole / sizeof(float));
        std::copy(partial.begin(), partial.begin() + whole, reinterpret_cast<char*>(samples_.data() + first));
        partial.erase(partial.begin(), partial.begin() + whole);
        arrivals_.push_back({now, samples_.size() / 2});
    }
}

std::vector<float> MonitorRecording::Mono() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<float> mono(samples_.size() / 2);
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5f * (samples_[2 * i] + samples_[2 * i + 1]);
    return mono;
}

double MonitorRecording::FramesAt(std::chrono::steady_clock::time_point time) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (arrivals_.empty() || time <= arrivals_.front().time) return 0.0;
    for (size_t i = 1; i < arrivals_.size(); ++i) {
        if (arrivals_[i].time < time) continue;
        const Arrival& a = arrivals_[i - 1];
        const Arrival& b = arrivals_[i];
        const double share = std::chrono::duration<double>(time - a.time).count() /
                             std::chrono::duration<double>(b.time - a.time).count();
        return a.frames + share * static_cast<double>(b.frames - a.frames);
    }
    return static_cast<double>(arrivals_.back().frames);
}
