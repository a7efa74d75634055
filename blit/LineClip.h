#pragma once
// Cutting a segment to a rectangle in place, the two ways drawing needs.
//
// ClipLine and ClipLineFloat land on pixels: the rectangle's right and
// bottom are exclusive, and an end point outside moves by its outcode (1
// above, 2 right, 4 below, 8 left) along the segment to the first edge, of
// top, right, bottom, left, whose crossing lies inside; an end moved to the
// right or bottom edge lands on right - 1 or bottom - 1. Slope and intercept
// are 32-bit floats and the integer form truncates crossings toward zero.
// False when nothing of the segment is left inside (the points are then
// unchanged); an end point that is NaN is never inside.
//
// CutLineToBox cuts exactly (Liang-Barsky) to the closed box left <= x <=
// right, top <= y <= bottom: an end inside stays as it is, a moved end is
// held to the box against rounding. False when nothing is left.

#include "foundation/CRect.h"

#include <cstdint>

bool ClipLine(const CRect& clip, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2);
bool ClipLineFloat(float left, float top, float right, float bottom, float& x1, float& y1, float& x2, float& y2);

bool CutLineToBox(float left, float top, float right, float bottom, float& x1, float& y1, float& x2, float& y2);
bool CutLineToBox(double left, double top, double right, double bottom, double& x1, double& y1, double& x2,
                  double& y2);
