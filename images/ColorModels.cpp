#include "images/ColorModels.h"

#include "foundation/SaturatingArithmetic.h"

#include <cmath>

void HSVToRGB(float hue, float saturation, float value, float& red, float& green, float& blue)
{
    if (saturation <= 0.0f) {
        red = green = blue = value;
        return;
    }
    float h = std::fmod(hue, 360.0f);
    if (h < 0.0f)
        h += 360.0f;
    h /= 60.0f;
    // Held: an infinite hue from data leaves h not a number.
    const int32_t whole = TruncateToInt32(h);
    const int sector = whole % 6;
    const float f = h - float(whole);
    const float p = value * (1.0f - saturation);
    const float q = value * (1.0f - saturation * f);
    const float t = value * (1.0f - saturation * (1.0f - f));
    switch (sector) {
    case 0: red = value, green = t, blue = p; break;
    case 1: red = q, green = value, blue = p; break;
    case 2: red = p, green = value, blue = t; break;
    case 3: red = p, green = q, blue = value; break;
    case 4: red = t, green = p, blue = value; break;
    default: red = value, green = p, blue = q; break;
    }
}
