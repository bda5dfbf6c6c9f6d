// The synthesised tune of the demo, for the generator and for new projects.
#pragma once

constexpr int kTuneRate = 44100;

// Sample of channel (0 left, 1 right) at frame of a tune seconds long, in -1..1;
// the tune fades in at its start and out over its last four seconds.
float TuneSample(long frame, int channel, double seconds);
