// The timeline strip along the bottom of the picture: every scene of the
// script as a bar on its span with its keyword, the fades, the loop, the
// playhead and the time, drawn with the engine's 2D operations.
#pragma once

#include <string>

class DemoPlayer;
class LiveTransport;

struct StripLayout {
    int top = 0, height = 0, width = 0;
    float totalMs = 1.0f;  // the time at the right edge
};

// The strip for a picture of width x height: the music's length, or the
// latest scene end when a scene runs past it.
StripLayout LayOutStrip(const DemoPlayer& player, const LiveTransport& transport, int width, int height);
bool StripHolds(const StripLayout& strip, int x, int y);
// The time under column x, clamped to the strip.
float StripTimeAt(const StripLayout& strip, int x);
// "mm:ss.mmm"; negative times count as 0.
std::string ClockText(float ms);

// In 2D pixel space (zkSet2D), over the picture.
void DrawTimelineStrip(DemoPlayer& player, const LiveTransport& transport, const StripLayout& strip);
