// The endless zoom's picture. The demo draws it, then the same picture
// shrunk by kZoom about kCentre on top, again and again, so the picture is
// made a function of log(r) / log(kZoom) and of the angle about kCentre with
// period 1 in the first: every nested copy continues the one around it.
#include <cmath>

#include "textures.h"

namespace textures {

namespace {

constexpr double kZoom = 277.61473516548386;
constexpr double kCentreX = 255.0, kCentreY = 150.0;
constexpr double kTwoPi = 6.283185307179586;

// A smooth colour wheel (cosine palette) at t, period 1.
Colour Wheel(double t) {
    auto channel = [t](double phase) { return static_cast<float>(0.5 + 0.5 * std::cos(kTwoPi * (t + phase))); };
    return {channel(0.0), channel(0.33), channel(0.67), 1};
}

// The border and the very centre fade into one dark colour: the centre's few
// texels cannot hold the pattern, so a nested copy's dark frame sits in the
// dark centre of the picture around it and no seam shows.
constexpr Colour kHole{0.05f, 0.02f, 0.08f, 1};

double Smoothstep(double from, double to, double x) {
    const double t = std::fmin(1.0, std::fmax(0.0, (x - from) / (to - from)));
    return t * t * (3 - 2 * t);
}

// The self-similar spiral about the centre, r > 0.
Colour Pattern(double dx, double dy, double r) {
    const double u = std::log(r) / std::log(kZoom), theta = std::atan2(dy, dx);
    // Integer multiples of the period in u and of 2 pi in theta only, so the picture repeats exactly.
    const double hue = u + theta / kTwoPi + 0.1;
    const double arms = std::cos(kTwoPi * 9 * u + 6 * theta);
    const double counter = std::cos(kTwoPi * 4 * u - 5 * theta);
    const double rings = std::cos(kTwoPi * 2 * u);
    Colour c = Wheel(hue);
    const float light = static_cast<float>(0.62 + 0.30 * arms + 0.12 * counter * rings);
    const float glow = static_cast<float>(std::pow(0.5 + 0.5 * arms, 8.0));
    c = {c.r * light, c.g * light, c.b * light, 1};
    c = Mix(c, Colour{1.0f, 0.97f, 0.9f, 1}, 0.45f * glow);
    const Colour deep = Mix(Wheel(hue + 0.5), Colour{0.04f, 0.02f, 0.08f, 1}, 0.7f);
    return Mix(c, deep, static_cast<float>(0.35 * (0.5 - 0.5 * counter)));
}

// The colour at a point of the 640 x 480 picture plane.
Colour At(double x, double y) {
    const double dx = x - kCentreX, dy = y - kCentreY;
    const double r = std::sqrt(dx * dx + dy * dy);
    const double edge = std::fmin(std::fmin(x, y), std::fmin(640.0 - x, 480.0 - y));
    const float open = static_cast<float>(Smoothstep(0.0, 24.0, edge) * Smoothstep(2.0, 6.0, r));
    if (open <= 0.0f) return kHole;
    return Mix(kHole, Pattern(dx, dy, r), open);
}

}  // namespace

Image MakePimp() {
    constexpr int kW = 640, kH = 480, kSamples = 4;
    Image image(kW, kH, true);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            Colour sum{0, 0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    const Colour c = At(x + (sx + 0.5) / kSamples, y + (sy + 0.5) / kSamples);
                    sum.r += c.r, sum.g += c.g, sum.b += c.b;
                }
            const float n = kSamples * kSamples;
            image.at(x, y) = Pack({sum.r / n, sum.g / n, sum.b / n, 1});
        }
    return image;
}

}  // namespace textures
