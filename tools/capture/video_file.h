// An MP4 file of a fixed-clock run, written through libavformat: the frames
// in a libavcodec video encoder's codec and the music of the same span as AAC.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "music_span.h"

struct AVFormatContext;
struct AVCodec;
struct AVCodecContext;
struct AVStream;
struct AVFrame;
struct AVPacket;
struct SwsContext;

class VideoFile {
public:
    ~VideoFile();
    VideoFile(const VideoFile&) = delete;
    VideoFile& operator=(const VideoFile&) = delete;

    // The encoder used when none is named: libx264, or mpeg4 where libavcodec
    // was built without it.
    static std::string DefaultCodec();
    // Whether the encoder of that name exists and can make an MP4's video;
    // if not, the reason in *error.
    static bool Usable(const std::string& codec, std::string* error);
    // A file at path for frames of width x height at fps (sides cut to even
    // numbers for the 4:2:0 picture the codecs take). music, which must
    // outlive the file, gives the sound. Null with the reason in *error.
    static std::unique_ptr<VideoFile> Create(const std::string& path, int width, int height, int fps,
                                             const std::string& codec, MusicSpan* music, std::string* error);

    // The next frame (rows of 0xAARRGGBB, top row first, width * height of
    // them) and the music up to its end. False with the reason in *error.
    bool Write(const uint32_t* pixels, std::string* error);
    // Drains the encoders and completes the file; without it the file is not playable.
    bool Finish(std::string* error);

private:
    struct Track {
        AVCodecContext* codec = nullptr;
        AVStream* stream = nullptr;
        AVFrame* frame = nullptr;
    };

    VideoFile() = default;
    bool OpenVideo(const std::string& codec, int fps, std::string* error);
    bool OpenAudio(std::string* error);
    // Opens the track's encoder and hands its parameters to the stream.
    bool OpenEncoder(Track& track, const AVCodec* codec, const std::string& name, std::string* error);
    // Sends frame (null: the end) to the track's encoder and muxes what comes out.
    bool Encode(Track& track, AVFrame* frame, std::string* error);
    // Encodes the music up to sample frame `until`; a last short block only when asked.
    bool EncodeMusic(int64_t until, bool last, std::string* error);

    int sourceWidth_ = 0;
    int width_ = 0, height_ = 0;  // even
    MusicSpan* music_ = nullptr;
    AVFormatContext* format_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* convert_ = nullptr;
    Track video_, audio_;
    int64_t frames_ = 0;        // video frames sent
    int64_t musicSamples_ = 0;  // sample frames of music sent
};
