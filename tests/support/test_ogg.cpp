#include "test_ogg.h"

#include <cmath>

#include "ogg_writer.h"

bool WriteTestOgg(const std::string& path, double seconds, int sampleRate, int channels, float frequencyHz) {
    const double step = 2.0 * M_PI * frequencyHz / sampleRate;
    return WriteOgg(path, sampleRate, channels, static_cast<long>(seconds * sampleRate),
                    [step](long frame, int) { return 0.25f * static_cast<float>(std::sin(step * frame)); });
}
