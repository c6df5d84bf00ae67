#pragma once

// A corner position in the logical units of the view; Z goes to the depth test unchanged.
class CVector
{
public:
    CVector() = default;
    CVector(float x, float y, float z = 0.0f) : X(x), Y(y), Z(z) {}

    float X = 0.0f;
    float Y = 0.0f;
    float Z = 0.0f;
};
