#include "blit/LineClip.h"

namespace {

uint32_t OutCode(const CRect& clip, int32_t x, int32_t y)
{
    uint32_t code = 0;
    if (y < clip.top)
        code |= 1;
    if (x >= clip.right)
        code |= 2;
    if (y >= clip.bottom)
        code |= 4;
    if (x < clip.left)
        code |= 8;
    return code;
}

// Toward zero; crossings of nearly level lines can land far outside the
// 32-bit range, where a plain conversion is undefined.
int32_t Trunc(float v)
{
    if (!(v > -2147483648.0f))
        return INT32_MIN;
    if (v >= 2147483648.0f)
        return INT32_MAX;
    return int32_t(v);
}

// Moves (x, y) toward (ox, oy) onto the clip edges its code names.
void MovePoint(const CRect& clip, uint32_t code, int32_t& x, int32_t& y, int32_t ox, int32_t oy)
{
    if (x == ox) {
        y = y < clip.top ? clip.top : clip.bottom - 1;
        return;
    }
    if (y == oy) {
        x = x < clip.left ? clip.left : clip.right - 1;
        return;
    }
    const float m = float(int64_t(y) - oy) / float(int64_t(x) - ox);
    const float b = float(y) - float(x) * m;
    const auto inside = [&clip](int32_t px, int32_t py) { return clip.ContainsPoint(px, py); };
    int32_t nx = x, ny = y;
    if (code & 1) {
        ny = clip.top;
        nx = Trunc((float(clip.top) - b) / m);
        if (inside(nx, ny)) {
            x = nx, y = ny;
            return;
        }
    }
    if (code & 2) {
        nx = clip.right - 1;
        ny = Trunc(float(nx) * m + b);
        if (inside(nx, ny)) {
            x = nx, y = ny;
            return;
        }
    }
    if (code & 4) {
        ny = clip.bottom - 1;
        nx = Trunc((float(ny) - b) / m);
        if (inside(nx, ny)) {
            x = nx, y = ny;
            return;
        }
    }
    if (code & 8) {
        nx = clip.left;
        ny = Trunc(float(nx) * m + b);
        x = nx, y = ny;
    }
}

} // namespace

bool ClipLine(const CRect& clip, int32_t& x1, int32_t& y1, int32_t& x2, int32_t& y2)
{
    const uint32_t code1 = OutCode(clip, x1, y1);
    const uint32_t code2 = OutCode(clip, x2, y2);
    if ((code1 | code2) == 0)
        return true;
    if (code1 & code2)
        return false;
    int32_t ax = x1, ay = y1, bx = x2, by = y2;
    if (code1)
        MovePoint(clip, code1, ax, ay, x2, y2);
    if (code2)
        MovePoint(clip, code2, bx, by, x1, y1);
    if (!clip.ContainsPoint(ax, ay) || !clip.ContainsPoint(bx, by))
        return false;
    x1 = ax, y1 = ay, x2 = bx, y2 = by;
    return true;
}
