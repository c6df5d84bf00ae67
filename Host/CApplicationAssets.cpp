// Textures and bitmap fonts.
#include "Host/CApplication.h"

#include "Host/DataName.h"
#include "Shared/CGeneralError.h"
#include "Vantor/CVantorException.h"
#include "Vantor/GL.h"

#include <limits>
#include <string>

namespace
{

std::uint32_t UploadTexture(std::int32_t textureWidth, std::int32_t textureHeight,
                            const std::vector<std::uint32_t>& texels)
{
    GLuint id = 0;
    glGenTextures(1, &id);
    glBindTexture(GL_TEXTURE_2D, id);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, textureWidth, textureHeight, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 texels.data());
    return id;
}

// The texture of a picture: its share of the power-of-two texture as 32-bit quotients.
std::shared_ptr<CTexture> MakeTexture(std::int32_t width, std::int32_t height, std::int32_t textureWidth,
                                      std::int32_t textureHeight, const std::vector<std::uint32_t>& texels)
{
    const std::uint32_t id = UploadTexture(textureWidth, textureHeight, texels);
    return std::make_shared<CTexture>(width, height, static_cast<float>(width) / static_cast<float>(textureWidth),
                                      static_cast<float>(height) / static_cast<float>(textureHeight), id);
}

bool FitsTexture(std::int32_t width, std::int32_t height)
{
    GLint largest = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
    return width <= largest && height <= largest;
}
} // namespace

std::unique_ptr<IBitmap> CApplication::LoadPicture(std::string_view early, std::string_view name)
{
    RequireStartedUp(early, name);
    std::unique_ptr<IBitmap> bitmap = IsDataFileName(name) ? Platform->ReadBitmap(name) : nullptr;
    if (!bitmap)
        throw CVantorException("Image file not found: ", name);
    const SBitmapRows& rows = bitmap->GetRows();
    if (rows.BitsPerPixel != 24 && rows.BitsPerPixel != 32)
    {
        bitmap.reset();
        throw VANTOR_GENERAL_ERROR("Unsupported bit depth");
    }
    // Before any allocation: a larger picture could not become a texture anyway.
    if (!FitsTexture(rows.Width, rows.Height))
        throw CVantorException("Image too large: ", name);
    return bitmap;
}

void CApplication::LoadImage(std::string_view name, bool useColourKeys)
{
    std::unique_ptr<IBitmap> bitmap = LoadPicture("Can't call LoadImage before Start: ", name);
    const SBitmapRows& rows = bitmap->GetRows();
    const std::int32_t width = rows.Width;
    const std::int32_t height = rows.Height;
    const std::int32_t textureWidth = NextPowerOfTwo(width);
    const std::int32_t textureHeight = NextPowerOfTwo(height);
    std::vector<std::uint32_t> texels;
    ConvertToTexels(rows, useColourKeys, textureWidth, textureHeight, texels);
    bitmap.reset();
    Textures.insert_or_assign(std::string(name), MakeTexture(width, height, textureWidth, textureHeight, texels));
}

std::shared_ptr<CTexture> CApplication::CreateTexture(std::string_view name, std::span<const std::uint32_t> pixels,
                                                      std::int32_t width, std::int32_t height)
{
    RequireStartedUp("Can't call CreateTexture before Start: ", name);
    if (width < 0 || height < 0)
        throw CVantorException("Invalid texture size: ", name);
    if (pixels.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        throw CVantorException("Too few pixels for texture: ", name);
    if (!FitsTexture(width, height))
        throw CVantorException("Image too large: ", name);
    const std::int32_t textureWidth = NextPowerOfTwo(width);
    const std::int32_t textureHeight = NextPowerOfTwo(height);
    std::vector<std::uint32_t> texels(static_cast<std::size_t>(textureWidth) * static_cast<std::size_t>(textureHeight));
    for (std::int32_t y = 0; y < height; ++y)
        for (std::int32_t x = 0; x < width; ++x)
            texels[static_cast<std::size_t>(y) * static_cast<std::size_t>(textureWidth) + static_cast<std::size_t>(x)] =
                pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)];
    auto texture = MakeTexture(width, height, textureWidth, textureHeight, texels);
    Textures.insert_or_assign(std::string(name), texture);
    return texture;
}

std::shared_ptr<CTexture> CApplication::GetTexture(std::string_view name)
{
    const auto found = Textures.find(name);
    if (found == Textures.end())
        throw CVantorException("Texture not loaded: ", name);
    return found->second;
}

void CApplication::LoadFont(std::string_view name)
{
    std::unique_ptr<IBitmap> bitmap = LoadPicture("Can't call LoadFont before Start: ", name);
    auto glyphs = std::make_shared<TGlyphTable>();
    CutFontGlyphs(bitmap->GetRows(), [&](std::uint32_t code, std::int32_t width, std::int32_t textureWidth,
                                         std::int32_t textureHeight, const std::vector<std::uint32_t>& texels) {
        (*glyphs)[code] = MakeTexture(width, bitmap->GetRows().Height, textureWidth, textureHeight, texels);
    });
    bitmap.reset();
    Fonts.insert_or_assign(std::string(name), std::move(glyphs));
}

void CApplication::SetFont(std::string_view name)
{
    const auto found = Fonts.find(name);
    if (found == Fonts.end())
        throw CVantorException("Font not loaded: ", name);
    CurrentFont = found->second;
}

void CApplication::DrawText(std::string_view text, std::int32_t x, std::int32_t y)
{
    if (!CurrentFont)
        throw CVantorException("No font selected");
    LayOutText(*CurrentFont, text, [&](const CTexture& glyph, std::int64_t offset) {
        // Glyphs past the largest position lie off any window.
        if (x + offset <= std::numeric_limits<std::int32_t>::max())
            DrawImage(glyph, static_cast<std::int32_t>(x + offset), y, -1, -1, 0.0f, 0.0f);
    });
}

std::int32_t CApplication::GetTextWidth(std::string_view text)
{
    if (!CurrentFont)
        throw CVantorException("No font selected");
    return MeasureText(*CurrentFont, text);
}
