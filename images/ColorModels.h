#pragma once
// Colour model conversions.

// Hue in degrees (wrapped into 0..360), saturation and value 0..1; red,
// green and blue come out 0..1. Saturation 0 gives the grey of the value.
void HSVToRGB(float hue, float saturation, float value, float& red, float& green, float& blue);
