#include "live_strip.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "gfx2d/bitmap_font.h"
#include "gfx2d/gui_primitives.h"
#include "live_scenes.h"
#include "live_transport.h"
#include "platform/graphics_context.h"
#include "runtime/demo_player.h"
#include "runtime/demo_scene.h"
#include "runtime/scene_factory.h"

namespace {

constexpr int kStripHeight = 56;
constexpr int kSceneLanes = 2;  // overlapping scenes alternate lanes
constexpr int kLaneHeight = 16;
constexpr int kFadeLaneTop = 38;
constexpr int kFadeLaneHeight = 12;

constexpr uint32_t kBackground = zkPackColour(0, 0, 0, 170);
constexpr uint32_t kSceneColours[kSceneLanes] = {zkPackColour(60, 110, 170, 220), zkPackColour(70, 140, 110, 220)};
constexpr uint32_t kSceneEdge = zkPackColour(200, 220, 255, 255);
constexpr uint32_t kFadeColour = zkPackColour(150, 150, 150, 200);
constexpr uint32_t kLoopColour = zkPackColour(255, 200, 40, 90);
constexpr uint32_t kPlayheadColour = zkPackColour(255, 60, 40, 255);
constexpr uint32_t kWhite = zkPackColour(255, 255, 255, 255);

int ColumnOf(const StripLayout& strip, float ms) {
    return static_cast<int>(std::lround(std::clamp(ms / strip.totalMs, 0.0f, 1.0f) * strip.width));
}

void DrawFade(const StripLayout& strip, const DemoScene_Scene& scene, const SceneKeyword& keyword) {
    const int x1 = ColumnOf(strip, scene.start), x2 = ColumnOf(strip, scene.end);
    const int top = strip.top + kFadeLaneTop, bottom = top + kFadeLaneHeight;
    zkFillRect(x1, top, std::max(1, x2 - x1), kFadeLaneHeight, zkPackColour(40, 40, 40, 200));
    // The ramp rises towards black for a fade out, falls for a fade in.
    const bool toBlack = std::string(keyword.keyword) == "FTB";
    zkDrawLine(x1, toBlack ? bottom : top, x2, toBlack ? top : bottom, kFadeColour);
}

}  // namespace

StripLayout LayOutStrip(const DemoPlayer& player, const LiveTransport& transport, int width, int height) {
    StripLayout strip;
    strip.width = width;
    strip.height = kStripHeight;
    strip.top = height - kStripHeight;
    float total = transport.lengthMs();
    for (const DemoScene_Scene* scene : player.timeline)
        if (std::isfinite(scene->end)) total = std::max(total, scene->end);
    strip.totalMs = std::max(total, 1.0f);
    return strip;
}

bool StripHolds(const StripLayout& strip, int x, int y) {
    return x >= 0 && x < strip.width && y >= strip.top && y < strip.top + strip.height;
}

float StripTimeAt(const StripLayout& strip, int x) {
    return std::clamp(static_cast<float>(x) / static_cast<float>(strip.width), 0.0f, 1.0f) * strip.totalMs;
}

std::string ClockText(float ms) {
    const long total = std::max(0L, static_cast<long>(ms));
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld.%03ld", total / 60000, total / 1000 % 60, total % 1000);
    return text;
}

void DrawTimelineStrip(DemoPlayer& player, const LiveTransport& transport, const StripLayout& strip) {
    BitmapFont* font = &player.resources->font;
    g_graphics->device->SetTexture(0, nullptr);
    zkFillRect(0, strip.top, strip.width, strip.height, kBackground);
    if (transport.looping()) {
        const int x1 = ColumnOf(strip, transport.loopStart()), x2 = ColumnOf(strip, transport.loopEnd());
        zkFillRect(x1, strip.top, std::max(1, x2 - x1), strip.height, kLoopColour);
    }

    int lane = 0;
    for (const DemoScene_Scene* scene : player.timeline) {
        if (!std::isfinite(scene->start) || !std::isfinite(scene->end) || scene->end <= scene->start) continue;
        const SceneKeyword* keyword = KeywordOf(*scene);
        if (keyword && keyword->fade) {
            DrawFade(strip, *scene, *keyword);
            continue;
        }
        const int x1 = ColumnOf(strip, scene->start), x2 = ColumnOf(strip, scene->end);
        const int top = strip.top + 4 + lane * (kLaneHeight + 1);
        zkFillRect(x1, top, std::max(1, x2 - x1), kLaneHeight, kSceneColours[lane]);
        zkDrawLine(x1, top, x1, top + kLaneHeight, kSceneEdge);
        if (keyword) zkPrint(font, static_cast<float>(x1 + 3), static_cast<float>(top + 4), kWhite, "%s", keyword->keyword);
        g_graphics->device->SetTexture(0, nullptr);
        lane = (lane + 1) % kSceneLanes;
    }

    const int x = ColumnOf(strip, transport.playhead());
    zkFillRect(x - 1, strip.top, 3, strip.height, kPlayheadColour);
    const std::string now = ClockText(transport.playhead());
    zkPrint(font, 8.0f, static_cast<float>(strip.top - 14), kWhite, "%s%s%s", now.c_str(),
            transport.paused() ? "  paused" : "", transport.looping() ? "  loop" : "");
    g_graphics->device->SetTexture(0, nullptr);
}
