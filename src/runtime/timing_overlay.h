// The overlay shown while A is held: timing figures and the drift from the music.
#pragma once

struct DemoResources;

// Drift between music position and demo time in percent; 0 at demo time 0.
float MusicDrift(int musicMilliseconds, float demoTime);

// Draws the overlay and moves the error average towards this frame's drift.
// musicMilliseconds is the position taken at the start of the frame.
void DrawTimingOverlay(DemoResources* resources, float demoTime, int musicMilliseconds, float* errorAverage);
