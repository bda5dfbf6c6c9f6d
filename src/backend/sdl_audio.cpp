// Audiere's device and streams over one SDL audio device and libvorbisfile.
// Streams decode in the audio callback, so the file is read as it plays; the
// callback allocates nothing.
#include <SDL.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <vector>

#include "backend/audiere.h"
#include "backend/audio_queue_estimate.h"
#include "backend/sdl_subsystem.h"

namespace audiere {
namespace {

constexpr int kDeviceRate = 44100;
constexpr int kDeviceChannels = 2;
constexpr int kDecodeFrames = 4096;  // the most ov_read_float gives at once

class VorbisStream;

// The one SDL device that every AudioDevice object shares. The callback
// reads it on the audio thread until the device is closed, so it is never
// destroyed: a device or stream still held when the process exits (by a
// static, or by nobody after ExitProcess) must find it intact.
struct SharedOutput {
    SDL_AudioDeviceID id = 0;
    int bufferFrames = 0;  // one device buffer
    int users = 0;
    AudioQueueEstimate queue{kDeviceRate};
    std::vector<VorbisStream*> streams;
};
SharedOutput& Output() {
    static SharedOutput* output = new SharedOutput();
    return *output;
}

// Registered when the device opens, so it runs before the static storage
// made earlier is destroyed: no callback runs during the rest of the exit.
void CloseOutputAtExit() {
    if (Output().id) SDL_CloseAudioDevice(Output().id);  // waits for a running callback
    Output().id = 0;
}

void Mix(void*, Uint8* bytes, int length);

class SdlAudioDevice : public AudioDevice {
public:
    SdlAudioDevice() { ++Output().users; }
    ~SdlAudioDevice() override {
        if (--Output().users == 0) {
            SDL_CloseAudioDevice(Output().id);
            Output().id = 0;
        }
    }
};

class VorbisSource : public SampleSource {
public:
    ~VorbisSource() override { ov_clear(&file); }
    OggVorbis_File file{};
};

class VorbisStream : public OutputStream {
public:
    VorbisStream(AudioDevice* device, VorbisSource* source) : device_(device), source_(source) {
        device_->ref();
        source_->ref();
        const vorbis_info* info = ov_info(&source_->file, -1);
        rate_ = static_cast<int>(info->rate);
        channels_ = info->channels;
        length_ = static_cast<int>(ov_pcm_total(&source_->file, -1));
        converter_ = SDL_NewAudioStream(AUDIO_F32SYS, static_cast<Uint8>(channels_), rate_, AUDIO_F32SYS,
                                        kDeviceChannels, kDeviceRate);
        interleaved_.resize(static_cast<size_t>(kDecodeFrames) * channels_);
        converted_.resize(static_cast<size_t>(Output().bufferFrames) * kDeviceChannels);
        SDL_LockAudioDevice(Output().id);
        Output().streams.push_back(this);
        SDL_UnlockAudioDevice(Output().id);
    }

    ~VorbisStream() override {
        SDL_LockAudioDevice(Output().id);
        auto& streams = Output().streams;
        streams.erase(std::remove(streams.begin(), streams.end(), this), streams.end());
        SDL_UnlockAudioDevice(Output().id);
        SDL_FreeAudioStream(converter_);
        source_->unref();
        device_->unref();  // last: may close the device
    }

    void play() override { playing_ = true; }
    void stop() override { playing_ = false; }
    bool isPlaying() override { return playing_; }
    void setVolume(float volume) override { volume_ = std::clamp(volume, 0.0f, 1.0f); }
    float getVolume() override { return volume_; }
    // What is being heard: the frames handed out less those still queued.
    int getPosition() override {
        if (!playing_) return handedOut_;
        const double queued = Output().queue.Queued() * rate_ / kDeviceRate;
        return std::max(0, handedOut_ - static_cast<int>(queued));
    }
    int getLength() override { return length_; }

    void setPosition(int position) override {
        position = std::clamp(position, 0, length_);
        SDL_LockAudioDevice(Output().id);
        ov_pcm_seek(&source_->file, position);
        SDL_AudioStreamClear(converter_);
        decoded_ = position;
        handedOut_ = position;
        endOfFile_ = false;
        SDL_UnlockAudioDevice(Output().id);
    }

    // Called on the audio thread: adds this stream's next frames to out.
    void MixInto(float* out, int frames) {
        if (!playing_) return;
        while (frames > 0) {
            const int chunk = std::min(frames, static_cast<int>(converted_.size() / kDeviceChannels));
            if (!MixChunk(out, chunk)) break;
            out += chunk * kDeviceChannels;
            frames -= chunk;
        }
        // What remains in the converter has been decoded but not yet handed out.
        const double pending = SDL_AudioStreamAvailable(converter_) / (kDeviceChannels * sizeof(float)) *
                               static_cast<double>(rate_) / kDeviceRate;
        handedOut_ = std::max(0, static_cast<int>(decoded_ - pending));
    }

private:
    // False once the stream has run out.
    bool MixChunk(float* out, int frames) {
        const int wanted = frames * kDeviceChannels * static_cast<int>(sizeof(float));
        while (SDL_AudioStreamAvailable(converter_) < wanted && !endOfFile_) Decode();
        const int got = SDL_AudioStreamGet(converter_, converted_.data(), wanted);
        const float volume = volume_;
        for (int i = 0; i < got / static_cast<int>(sizeof(float)); ++i) out[i] += converted_[i] * volume;
        if (endOfFile_ && got < wanted) {
            playing_ = false;
            return false;
        }
        return true;
    }

    void Decode() {
        float** channels = nullptr;
        int section = 0;
        const long frames = ov_read_float(&source_->file, &channels, kDecodeFrames, &section);
        if (frames <= 0) {  // end of data, or a damaged stream: stop there
            endOfFile_ = true;
            SDL_AudioStreamFlush(converter_);
            return;
        }
        for (long frame = 0; frame < frames; ++frame)
            for (int c = 0; c < channels_; ++c) interleaved_[frame * channels_ + c] = channels[c][frame];
        SDL_AudioStreamPut(converter_, interleaved_.data(), static_cast<int>(frames * channels_ * sizeof(float)));
        decoded_ += frames;
    }

    AudioDevice* device_;
    VorbisSource* source_;
    SDL_AudioStream* converter_ = nullptr;
    int rate_ = kDeviceRate;
    int channels_ = kDeviceChannels;
    int length_ = 0;
    long long decoded_ = 0;
    bool endOfFile_ = false;
    std::vector<float> interleaved_;  // one decoded block, channels interleaved
    std::vector<float> converted_;    // one device buffer at the device's format
    std::atomic<bool> playing_{false};
    std::atomic<float> volume_{1.0f};
    std::atomic<int> handedOut_{0};  // frames of the file handed to the device
};

void Mix(void*, Uint8* bytes, int length) {
    auto* out = reinterpret_cast<float*>(bytes);
    const int samples = length / static_cast<int>(sizeof(float));
    std::fill(out, out + samples, 0.0f);
    for (VorbisStream* stream : Output().streams) stream->MixInto(out, samples / kDeviceChannels);
    for (int i = 0; i < samples; ++i) out[i] = std::clamp(out[i], -1.0f, 1.0f);
    Output().queue.Handed(samples / kDeviceChannels,
                          static_cast<double>(SDL_GetPerformanceCounter()) / SDL_GetPerformanceFrequency());
}

}  // namespace

AudioDevice* AdrOpenDevice(const char*, const char*) {
    if (!Output().id) {
        if (!InitSdlSubsystem(SDL_INIT_AUDIO)) return nullptr;
        SDL_AudioSpec wanted{};
        wanted.freq = kDeviceRate;
        wanted.format = AUDIO_F32SYS;
        wanted.channels = kDeviceChannels;
        wanted.samples = 1024;
        wanted.callback = Mix;
        SDL_AudioSpec obtained{};
        Output().queue.Restart();
        Output().id = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
        if (!Output().id) return nullptr;
        Output().bufferFrames = obtained.samples ? obtained.samples : wanted.samples;
        static const bool closesAtExit = std::atexit(CloseOutputAtExit) == 0;
        (void)closesAtExit;
        SDL_PauseAudioDevice(Output().id, 0);
    }
    return new SdlAudioDevice();
}

SampleSource* AdrOpenSampleSource(const char* filename, int format) {
    if (!filename || format != 0) return nullptr;
    auto* source = new VorbisSource();
    if (ov_fopen(filename, &source->file) != 0) {
        delete source;  // ov_fopen cleans up after itself on failure
        return nullptr;
    }
    return source;
}

OutputStream* AdrOpenSound(AudioDevice* device, SampleSource* source, bool) {
    if (!device || !source || !Output().id) return nullptr;
    return new VorbisStream(device, static_cast<VorbisSource*>(source));
}

}  // namespace audiere
