// Numbered render-state presets; there is no disable, callers switch states off.
#pragma once

// 1 blend + modulate stage 0, 2 depth, 3 point sprites, 5 lighting,
// 6 alpha test + depth, 11 depth write, 12 red-only colour writes 1..3; others nothing.
void zkEnable(int preset);
