#include "sound_compare.h"

#include <vorbis/vorbisfile.h>

#include <cmath>

std::vector<std::vector<float>> DecodeOggChannels(const std::string& path, int64_t first, int64_t count) {
    OggVorbis_File file{};
    if (ov_fopen(path.c_str(), &file) != 0) return {};
    std::vector<std::vector<float>> channels(static_cast<size_t>(ov_info(&file, -1)->channels));
    if (ov_pcm_seek(&file, first) == 0) {
        while (static_cast<int64_t>(channels[0].size()) < count) {
            float** pcm = nullptr;
            int section = 0;
            const int wanted = static_cast<int>(std::min<int64_t>(count - channels[0].size(), 4096));
            const long got = ov_read_float(&file, &pcm, wanted, &section);
            if (got <= 0) break;
            for (size_t c = 0; c < channels.size(); ++c) channels[c].insert(channels[c].end(), pcm[c], pcm[c] + got);
        }
    }
    ov_clear(&file);
    return channels;
}

double Correlation(const std::vector<float>& a, const std::vector<float>& b, long first, long count, long lag) {
    if (first < 0 || first + count > static_cast<long>(a.size()) || first + lag < 0 ||
        first + lag + count > static_cast<long>(b.size()))
        return 0.0;
    double ab = 0, aa = 0, bb = 0;
    for (long i = first; i < first + count; ++i) {
        const double x = a[i], y = b[i + lag];
        ab += x * y, aa += x * x, bb += y * y;
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0.0;
}
