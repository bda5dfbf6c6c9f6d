#include "data_check_music.h"

#include <vorbis/vorbisfile.h>

#include <cstdio>

long MusicLengthMilliseconds(const std::string& path, Findings* findings) {
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        findings->Error(path, "file", "missing: the demo would run without music and clock");
        return -1;
    }
    OggVorbis_File vorbis;
    // ov_open takes the file over and closes it in ov_clear, but not on failure.
    if (ov_open(file, &vorbis, nullptr, 0) != 0) {
        std::fclose(file);
        findings->Error(path, "file", "not an Ogg Vorbis stream");
        return -1;
    }
    const ogg_int64_t frames = ov_pcm_total(&vorbis, -1);
    const vorbis_info* info = ov_info(&vorbis, -1);
    const long rate = info ? info->rate : 0;
    // Frames over the rate rather than ov_time_total's double, so 180 s of music is exactly 180000 ms.
    long milliseconds = -1;
    if (frames > 0 && rate > 0)
        milliseconds = static_cast<long>(frames * 1000 / rate);
    else
        findings->Error(path, "file", "has no length (not seekable or empty)");
    ov_clear(&vorbis);
    return milliseconds;
}
