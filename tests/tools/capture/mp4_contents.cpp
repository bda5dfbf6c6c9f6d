#include "mp4_contents.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/error.h>
#include <libswscale/swscale.h>
}

#include <memory>

namespace {

std::string Reason(const std::string& what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return what + ": " + text;
}

struct Decoder {
    ~Decoder() { avcodec_free_context(&codec); }
    int stream = -1;
    AVCodecContext* codec = nullptr;
};

bool OpenDecoder(AVFormatContext* format, AVMediaType type, Decoder* decoder, std::string* error) {
    const AVCodec* codec = nullptr;
    decoder->stream = av_find_best_stream(format, type, -1, -1, &codec, 0);
    if (decoder->stream < 0 || !codec) {
        *error = std::string("no ") + av_get_media_type_string(type) + " track";
        return false;
    }
    decoder->codec = avcodec_alloc_context3(codec);
    int result = avcodec_parameters_to_context(decoder->codec, format->streams[decoder->stream]->codecpar);
    if (result >= 0) result = avcodec_open2(decoder->codec, codec, nullptr);
    if (result < 0) *error = Reason("cannot open the decoder", result);
    return result >= 0;
}

void KeepPicture(const AVFrame* frame, Mp4Contents* contents) {
    std::vector<uint32_t> picture(static_cast<size_t>(frame->width) * frame->height);
    SwsContext* convert = sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                                         frame->width, frame->height, AV_PIX_FMT_BGRA, SWS_POINT, nullptr, nullptr,
                                         nullptr);
    // Read back with the matrix and range the file states.
    const int* matrix = sws_getCoefficients(frame->colorspace == AVCOL_SPC_UNSPECIFIED ? SWS_CS_DEFAULT
                                                                                        : frame->colorspace);
    sws_setColorspaceDetails(convert, matrix, frame->color_range == AVCOL_RANGE_JPEG, matrix, 1, 0, 1 << 16,
                             1 << 16);
    uint8_t* out[1] = {reinterpret_cast<uint8_t*>(picture.data())};
    const int stride[1] = {frame->width * 4};
    sws_scale(convert, frame->data, frame->linesize, 0, frame->height, out, stride);
    sws_freeContext(convert);
    contents->pictures.push_back(std::move(picture));
}

void KeepSound(const AVFrame* frame, Mp4Contents* contents) {
    const auto* left = reinterpret_cast<const float*>(frame->extended_data[0]);
    const auto* right = reinterpret_cast<const float*>(frame->extended_data[frame->ch_layout.nb_channels > 1]);
    contents->left.insert(contents->left.end(), left, left + frame->nb_samples);
    contents->right.insert(contents->right.end(), right, right + frame->nb_samples);
}

// Sends packet (null: the end) and keeps every frame that comes out.
bool Decode(Decoder& decoder, const AVPacket* packet, AVFrame* frame, Mp4Contents* contents, std::string* error) {
    int result = avcodec_send_packet(decoder.codec, packet);
    while (result >= 0) {
        result = avcodec_receive_frame(decoder.codec, frame);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return true;
        if (result < 0) break;
        if (decoder.codec->codec_type == AVMEDIA_TYPE_VIDEO)
            KeepPicture(frame, contents);
        else
            KeepSound(frame, contents);
        av_frame_unref(frame);
    }
    *error = Reason("cannot decode", result);
    return false;
}

}  // namespace

bool ReadMp4(const std::string& path, Mp4Contents* contents, std::string* error) {
    AVFormatContext* opened = nullptr;
    int result = avformat_open_input(&opened, path.c_str(), nullptr, nullptr);
    if (result < 0) {
        *error = Reason("cannot open " + path, result);
        return false;
    }
    std::unique_ptr<AVFormatContext, void (*)(AVFormatContext*)> format(
        opened, [](AVFormatContext* context) { avformat_close_input(&context); });
    result = avformat_find_stream_info(format.get(), nullptr);
    Decoder video, audio;
    if (result < 0) {
        *error = Reason("cannot read the tracks of " + path, result);
        return false;
    }
    if (!OpenDecoder(format.get(), AVMEDIA_TYPE_VIDEO, &video, error) ||
        !OpenDecoder(format.get(), AVMEDIA_TYPE_AUDIO, &audio, error))
        return false;
    const AVStream* videoStream = format->streams[video.stream];
    contents->videoCodec = avcodec_get_name(videoStream->codecpar->codec_id);
    contents->width = videoStream->codecpar->width;
    contents->height = videoStream->codecpar->height;
    contents->videoSeconds = static_cast<double>(videoStream->duration) * av_q2d(videoStream->time_base);
    contents->audioCodec = avcodec_get_name(format->streams[audio.stream]->codecpar->codec_id);
    contents->sampleRate = audio.codec->sample_rate;
    contents->channels = audio.codec->ch_layout.nb_channels;
    if (audio.codec->sample_fmt != AV_SAMPLE_FMT_FLTP) {
        *error = "the audio does not decode to planar float";
        return false;
    }

    std::unique_ptr<AVPacket, void (*)(AVPacket*)> packet(av_packet_alloc(), [](AVPacket* p) { av_packet_free(&p); });
    std::unique_ptr<AVFrame, void (*)(AVFrame*)> frame(av_frame_alloc(), [](AVFrame* f) { av_frame_free(&f); });
    while ((result = av_read_frame(format.get(), packet.get())) >= 0) {
        Decoder* decoder = packet->stream_index == video.stream   ? &video
                           : packet->stream_index == audio.stream ? &audio
                                                                  : nullptr;
        const bool decoded = !decoder || Decode(*decoder, packet.get(), frame.get(), contents, error);
        av_packet_unref(packet.get());
        if (!decoded) return false;
    }
    if (result != AVERROR_EOF) {
        *error = Reason("cannot read " + path, result);
        return false;
    }
    return Decode(video, nullptr, frame.get(), contents, error) && Decode(audio, nullptr, frame.get(), contents, error);
}
