#pragma once

#include <cstdint>
#include <limits>

// An immutable texture: a picture in the top-left corner of a power-of-two OpenGL texture.
class CTexture
{
public:
    CTexture() = default;
    CTexture(std::int32_t width, std::int32_t height, float maxU, float maxV, std::uint32_t textureId)
        : Width(width), Height(height), MaxU(maxU), MaxV(maxV), TextureId(textureId)
    {
    }
    virtual ~CTexture() = default;

    virtual std::int32_t GetWidth() const { return Width; }
    virtual std::int32_t GetHeight() const { return Height; }
    // Share of the texture that the picture covers, as texture coordinates of its right and bottom edges.
    virtual float GetMaxU() const { return MaxU; }
    virtual float GetMaxV() const { return MaxV; }
    virtual std::uint32_t GetTextureId() const { return TextureId; }

private:
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    float MaxU = std::numeric_limits<float>::quiet_NaN();
    float MaxV = std::numeric_limits<float>::quiet_NaN();
    std::uint32_t TextureId = 0;
};
