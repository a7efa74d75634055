#pragma once
// Clipping a segment to a rectangle (right and bottom exclusive) in place,
// by outcodes: 1 above, 2 right, 4 below, 8 left. An end point outside is
// moved along the segment to the first edge, of top, right, bottom, left,
// whose crossing lies inside; slope and intercept are 32-bit floats and
// crossings truncate toward zero. False when nothing of the segment is left
// inside (the points are then unchanged).

#include "foundation/CRect.h"

#include <cstdint>

bool ClipLine(const CRect& clip, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2);
