#include "video_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>

namespace {

constexpr int kAudioBitRate = 192000;

std::string Reason(const std::string& what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return what + ": " + text;
}

// An encoder that does not list its formats is asked when it opens.
bool TakesYuv420(const AVCodec* codec) {
    if (!codec->pix_fmts) return true;
    for (const AVPixelFormat* format = codec->pix_fmts; *format != AV_PIX_FMT_NONE; ++format)
        if (*format == AV_PIX_FMT_YUV420P) return true;
    return false;
}

}  // namespace

std::string VideoFile::DefaultCodec() {
    return avcodec_find_encoder_by_name("libx264") ? "libx264" : "mpeg4";
}

bool VideoFile::Usable(const std::string& name, std::string* error) {
    const AVCodec* codec = avcodec_find_encoder_by_name(name.c_str());
    if (!codec || codec->type != AVMEDIA_TYPE_VIDEO) {
        *error = "no video encoder named '" + name + "' in this libavcodec (" + DefaultCodec() + " and mpeg4 are)";
        return false;
    }
    if (avformat_query_codec(av_guess_format("mp4", nullptr, nullptr), codec->id, FF_COMPLIANCE_NORMAL) != 1) {
        *error = "an MP4 file cannot hold " + name + " video";
        return false;
    }
    if (!TakesYuv420(codec)) {
        *error = name + " does not take 4:2:0 pictures";
        return false;
    }
    return true;
}

std::unique_ptr<VideoFile> VideoFile::Create(const std::string& path, int width, int height, int fps,
                                             const std::string& codec, MusicSpan* music, std::string* error) {
    // The encoders' own reports would break the progress line; errors still show.
    av_log_set_level(AV_LOG_ERROR);
    std::unique_ptr<VideoFile> file(new VideoFile());
    // 4:2:0 chroma covers two by two pixels: the last odd row and column go.
    file->sourceWidth_ = width;
    file->width_ = width & ~1;
    file->height_ = height & ~1;
    file->music_ = music;
    if (file->width_ < 2 || file->height_ < 2 || fps <= 0) {
        *error = "a video needs at least 2x2 pixels and a positive frame rate";
        return nullptr;
    }
    const int made = avformat_alloc_output_context2(&file->format_, nullptr, "mp4", path.c_str());
    if (made < 0 || !file->format_) {
        *error = Reason("cannot make an MP4 muxer", made);
        return nullptr;
    }
    file->packet_ = av_packet_alloc();
    if (!file->packet_ || !file->OpenVideo(codec.empty() ? DefaultCodec() : codec, fps, error) ||
        !file->OpenAudio(error))
        return nullptr;

    file->convert_ = sws_getContext(file->width_, file->height_, AV_PIX_FMT_BGRA, file->width_, file->height_,
                                    file->video_.codec->pix_fmt, SWS_POINT, nullptr, nullptr, nullptr);
    if (!file->convert_) {
        *error = "cannot convert BGRA pictures to " + std::string(av_get_pix_fmt_name(file->video_.codec->pix_fmt));
        return nullptr;
    }
    // Full-range RGB in, the limited-range BT.709 that players expect of HD video out.
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(file->convert_, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);

    int result = avio_open(&file->format_->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (result < 0) {
        *error = Reason("cannot write " + path, result);
        return nullptr;
    }
    result = avformat_write_header(file->format_, nullptr);
    if (result < 0) {
        *error = Reason("cannot start " + path, result);
        return nullptr;
    }
    return file;
}

bool VideoFile::OpenVideo(const std::string& name, int fps, std::string* error) {
    if (!Usable(name, error)) return false;
    const AVCodec* codec = avcodec_find_encoder_by_name(name.c_str());
    video_.stream = avformat_new_stream(format_, nullptr);
    video_.codec = avcodec_alloc_context3(codec);
    video_.frame = av_frame_alloc();
    if (!video_.stream || !video_.codec || !video_.frame) {
        *error = "out of memory";
        return false;
    }
    AVCodecContext* context = video_.codec;
    context->width = width_;
    context->height = height_;
    context->time_base = AVRational{1, fps};
    context->framerate = AVRational{fps, 1};
    context->pix_fmt = AV_PIX_FMT_YUV420P;
    context->color_range = AVCOL_RANGE_MPEG;
    context->colorspace = AVCOL_SPC_BT709;
    context->color_primaries = AVCOL_PRI_BT709;
    context->color_trc = AVCOL_TRC_BT709;
    if (name == "libx264") {
        // The fastest preset, on this thread alone: about 11 ms a 1280x720
        // frame, which keeps the encoder from taking the renderer's cores.
        // The file is about three times the size of x264's default preset's.
        av_opt_set(context->priv_data, "preset", "ultrafast", 0);
        context->thread_count = 1;
    } else {
        // Fixed quality rather than libavcodec's low default bit rate.
        context->flags |= AV_CODEC_FLAG_QSCALE;
        context->global_quality = FF_QP2LAMBDA * 3;
    }
    if (!OpenEncoder(video_, codec, name, error)) return false;
    video_.frame->format = context->pix_fmt;
    video_.frame->width = width_;
    video_.frame->height = height_;
    const int result = av_frame_get_buffer(video_.frame, 0);
    if (result < 0) {
        *error = Reason("cannot set up the video track", result);
        return false;
    }
    return true;
}

bool VideoFile::OpenEncoder(Track& track, const AVCodec* codec, const std::string& name, std::string* error) {
    if (format_->oformat->flags & AVFMT_GLOBALHEADER) track.codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int result = avcodec_open2(track.codec, codec, nullptr);
    if (result < 0) {
        *error = Reason("cannot open the " + name + " encoder", result);
        return false;
    }
    track.stream->time_base = track.codec->time_base;
    result = avcodec_parameters_from_context(track.stream->codecpar, track.codec);
    if (result < 0) {
        *error = Reason("cannot set up the " + name + " track", result);
        return false;
    }
    return true;
}

bool VideoFile::OpenAudio(std::string* error) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
    audio_.stream = codec ? avformat_new_stream(format_, nullptr) : nullptr;
    audio_.codec = codec ? avcodec_alloc_context3(codec) : nullptr;
    audio_.frame = av_frame_alloc();
    if (!audio_.stream || !audio_.codec || !audio_.frame) {
        *error = codec ? "out of memory" : "this libavcodec has no AAC encoder";
        return false;
    }
    AVCodecContext* context = audio_.codec;
    context->sample_fmt = AV_SAMPLE_FMT_FLTP;  // what the music decoder gives
    context->sample_rate = 44100;
    context->bit_rate = kAudioBitRate;
    // The native encoder's default search costs as much as the H.264 frames.
    av_opt_set(context->priv_data, "aac_coder", "fast", 0);
    context->time_base = AVRational{1, 44100};
    av_channel_layout_default(&context->ch_layout, 2);
    if (!OpenEncoder(audio_, codec, "AAC", error)) return false;
    audio_.frame->format = context->sample_fmt;
    audio_.frame->sample_rate = context->sample_rate;
    audio_.frame->nb_samples = context->frame_size;
    int result = av_channel_layout_copy(&audio_.frame->ch_layout, &context->ch_layout);
    if (result < 0 || (result = av_frame_get_buffer(audio_.frame, 0)) < 0) {
        *error = Reason("cannot set up the audio track", result);
        return false;
    }
    return true;
}

VideoFile::~VideoFile() {
    for (Track* track : {&video_, &audio_}) {
        avcodec_free_context(&track->codec);
        av_frame_free(&track->frame);
    }
    av_packet_free(&packet_);
    sws_freeContext(convert_);
    if (format_) avio_closep(&format_->pb);
    avformat_free_context(format_);
}

bool VideoFile::Encode(Track& track, AVFrame* frame, std::string* error) {
    int result = avcodec_send_frame(track.codec, frame);
    while (result >= 0) {
        result = avcodec_receive_packet(track.codec, packet_);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
        if (result < 0) break;
        // Each picture lasts one frame step; left at 0 the muxer gives the last none, and drops it.
        if (&track == &video_ && packet_->duration == 0) packet_->duration = 1;
        av_packet_rescale_ts(packet_, track.codec->time_base, track.stream->time_base);
        packet_->stream_index = track.stream->index;
        result = av_interleaved_write_frame(format_, packet_);  // takes the packet's data
    }
    *error = Reason(&track == &video_ ? "cannot encode the video" : "cannot encode the music", result);
    return false;
}

bool VideoFile::EncodeMusic(int64_t until, bool last, std::string* error) {
    const int64_t block = audio_.codec->frame_size;
    while (musicSamples_ < until) {
        const int64_t count = std::min(block, until - musicSamples_);
        if (count < block && !last) return true;
        int result = av_frame_make_writable(audio_.frame);
        if (result < 0) {
            *error = Reason("cannot encode the music", result);
            return false;
        }
        audio_.frame->nb_samples = static_cast<int>(count);
        audio_.frame->pts = musicSamples_;
        music_->Read(count, reinterpret_cast<float*>(audio_.frame->data[0]),
                     reinterpret_cast<float*>(audio_.frame->data[1]));
        musicSamples_ += count;
        if (!Encode(audio_, audio_.frame, error)) return false;
    }
    return true;
}

bool VideoFile::Write(const uint32_t* pixels, std::string* error) {
    // The encoder may still hold the picture it was given last time.
    const int result = av_frame_make_writable(video_.frame);
    if (result < 0) {
        *error = Reason("cannot encode the video", result);
        return false;
    }
    const uint8_t* source[1] = {reinterpret_cast<const uint8_t*>(pixels)};
    const int stride[1] = {sourceWidth_ * 4};  // a cut odd column is stepped over
    sws_scale(convert_, source, stride, 0, height_, video_.frame->data, video_.frame->linesize);
    video_.frame->pts = frames_++;
    return Encode(video_, video_.frame, error) && EncodeMusic(music_->SamplesBefore(frames_), false, error);
}

bool VideoFile::Finish(std::string* error) {
    if (!EncodeMusic(music_->SamplesBefore(frames_), true, error) || !Encode(audio_, nullptr, error) ||
        !Encode(video_, nullptr, error))
        return false;
    const int result = av_write_trailer(format_);
    if (result < 0) {
        *error = Reason("cannot complete the file", result);
        return false;
    }
    return true;
}
