#pragma once

// An opaque colour, each channel from 0.0 to 1.0; opacity comes from the engine's global alpha.
class CColour
{
public:
    CColour() = default;
    CColour(float red, float green, float blue) : Red(red), Green(green), Blue(blue) {}

    float Red = 0.0f;
    float Green = 0.0f;
    float Blue = 0.0f;
};
