// The pixel font the data generators share (textures, credits).
#pragma once

// 5 columns x 7 rows per glyph, row 0 at the top; characters outside 32..126 are blank.
// Capitals and digits fill rows 0..6 (row 6 is the baseline); lower case sits on
// the same baseline, except g, j, p, q and y, whose tails end on it (there is no room below).
constexpr int kGlyphColumns = 5, kGlyphRows = 7;
bool GlyphPixel(char c, int column, int row);
