#include "tests/e2e/CExpectedScreen.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace
{
std::uint32_t Read32(const std::vector<std::uint8_t>& file, std::size_t at)
{
    return static_cast<std::uint32_t>(file.at(at) | file.at(at + 1) << 8 | file.at(at + 2) << 16 |
                                      file.at(at + 3) << 24);
}

constexpr std::uint32_t Magenta = 0xFF00FF;
constexpr std::uint32_t Green = 0x00FF00;
} // namespace

CExpectedScreen::SImage CExpectedScreen::Read(const std::string& path)
{
    // The game's own files: 24-bit, bottom-up, BITMAPINFOHEADER.
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (file.size() < 54 || file[0] != 'B' || file[28] != 24)
        throw std::runtime_error("not a 24-bit BMP: " + path);
    SImage image;
    image.Width = static_cast<int>(Read32(file, 18));
    image.Height = static_cast<int>(Read32(file, 22));
    const std::size_t offset = Read32(file, 10);
    const std::size_t stride = (static_cast<std::size_t>(image.Width) * 3 + 3) / 4 * 4;
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x)
        {
            const std::size_t at = offset + static_cast<std::size_t>(image.Height - 1 - y) * stride +
                                   static_cast<std::size_t>(x) * 3;
            image.Pixels.push_back(static_cast<std::uint32_t>(file.at(at + 2) << 16 | file.at(at + 1) << 8 | file.at(at)));
        }
    return image;
}

CExpectedScreen::CExpectedScreen(const std::string& dataFolder) : Folder(dataFolder)
{
    Background = Read(Folder + "/Background.bmp");
    Font = Read(Folder + "/Lucida Console_14.bmp");
    int start = 0;
    for (int x = 0; x < Font.Width && GlyphStarts.size() < 95; ++x)
        if (Font.Pixels[static_cast<std::size_t>((Font.Height - 1) * Font.Width + x)] == Green)
        {
            GlyphStarts.push_back(start);
            GlyphWidths.push_back(x - start);
            start = x + 1;
        }
}

CExpectedScreen::TPixels CExpectedScreen::Picture(std::string_view name) const
{
    return Read(Folder + "/" + std::string(name)).Pixels;
}

void CExpectedScreen::Write(TPixels& screen, std::string_view text, int x, int y) const
{
    for (const char c : text)
    {
        const std::size_t glyph = static_cast<std::size_t>(static_cast<unsigned char>(c) - 32);
        for (int row = 0; row < Font.Height; ++row)
            for (int column = 0; column < GlyphWidths.at(glyph); ++column)
            {
                const std::uint32_t pixel =
                    Font.Pixels[static_cast<std::size_t>(row * Font.Width + GlyphStarts[glyph] + column)];
                if (pixel != Magenta)
                    screen[static_cast<std::size_t>((y + row) * 800 + x + column)] = pixel;
            }
        x += GlyphWidths[glyph];
    }
}

CExpectedScreen::TPixels CExpectedScreen::Playing(
    const std::vector<std::pair<std::string, std::pair<int, int>>>& texts) const
{
    TPixels screen = Background.Pixels;
    for (const auto& [text, at] : texts)
        Write(screen, text, at.first, at.second);
    return screen;
}

std::vector<std::pair<std::string, std::pair<int, int>>> HudTexts(int favour, int redLumber, int redEfficiency,
                                                                  int blueLumber, int blueEfficiency, bool mystery)
{
    std::vector<std::pair<std::string, std::pair<int, int>>> texts{
        {"Favour: " + std::to_string(favour) + "%", {320, 20}},
        {"Lumber: " + std::to_string(redLumber), {20, 65}},
        {"Sacrifice it (a)", {20, 95}},
        {"Trade it (s)", {20, 125}},
        {"Efficiency: " + std::to_string(redEfficiency) + "%", {20, 155}},
        {"Lumber: " + std::to_string(blueLumber), {550, 65}},
        {"Sacrifice it (k)", {550, 95}},
        {"Trade it (l)", {550, 125}},
        {"Efficiency: " + std::to_string(blueEfficiency) + "%", {550, 155}}};
    if (mystery)
    {
        texts.push_back({"???", {360, 240}});
        texts.push_back({"(space)", {330, 270}});
    }
    return texts;
}

bool CExpectedScreen::Shows(const TPixels& screen, std::string_view text, int x, int y, int width) const
{
    // The band alone, background first, then the glyphs as Write would put them.
    std::vector<std::uint32_t> band(static_cast<std::size_t>(width * Font.Height));
    for (int row = 0; row < Font.Height; ++row)
        for (int column = 0; column < width; ++column)
            band[static_cast<std::size_t>(row * width + column)] =
                Background.Pixels[static_cast<std::size_t>((y + row) * 800 + x + column)];
    int left = 0;
    for (const char c : text)
    {
        const std::size_t glyph = static_cast<std::size_t>(static_cast<unsigned char>(c) - 32);
        for (int row = 0; row < Font.Height; ++row)
            for (int column = 0; column < GlyphWidths.at(glyph) && left + column < width; ++column)
            {
                const std::uint32_t pixel =
                    Font.Pixels[static_cast<std::size_t>(row * Font.Width + GlyphStarts[glyph] + column)];
                if (pixel != Magenta)
                    band[static_cast<std::size_t>(row * width + left + column)] = pixel;
            }
        left += GlyphWidths[glyph];
    }
    for (int row = 0; row < Font.Height; ++row)
        for (int column = 0; column < width; ++column)
            if (band[static_cast<std::size_t>(row * width + column)] !=
                screen[static_cast<std::size_t>((y + row) * 800 + x + column)])
                return false;
    return true;
}
