#include "music_span.h"

#include <algorithm>

#include "fixed_clock_run.h"

MusicSpan::~MusicSpan() {
    if (open_) ov_clear(&file_);
}

bool MusicSpan::Open(const std::string& path, std::string* error) {
    if (ov_fopen(path.c_str(), &file_) != 0) {
        *error = "cannot decode " + path;
        return false;
    }
    open_ = true;
    const vorbis_info* info = ov_info(&file_, -1);
    if (!info || info->rate != kFixedClockSampleRate || info->channels < 1 || info->channels > 2) {
        *error = path + " is not 44100 Hz mono or stereo";
        return false;
    }
    channels_ = info->channels;
    const int64_t first = FixedClockSample(startMs_, fps_, 0);
    decoding_ = first < ov_pcm_total(&file_, -1) && ov_pcm_seek(&file_, first) == 0;
    return true;
}

int64_t MusicSpan::SamplesBefore(int64_t frames) const {
    return FixedClockSample(startMs_, fps_, frames) - FixedClockSample(startMs_, fps_, 0);
}

void MusicSpan::Read(int64_t count, float* left, float* right) {
    while (count > 0) {
        float** pcm = nullptr;
        int section = 0;
        const int wanted = static_cast<int>(std::min<int64_t>(count, 4096));
        const long got = decoding_ ? ov_read_float(&file_, &pcm, wanted, &section) : 0;
        if (got <= 0) {  // the end, or a damaged stream: the player stops there too
            decoding_ = false;
            std::fill(left, left + count, 0.0f);
            std::fill(right, right + count, 0.0f);
            return;
        }
        float* out[2] = {left, right};
        for (int c = 0; c < 2; ++c)
            for (long i = 0; i < got; ++i)
                out[c][i] = std::clamp(pcm[std::min(c, channels_ - 1)][i] * volume_, -1.0f, 1.0f);
        left += got, right += got, count -= got;
    }
}
