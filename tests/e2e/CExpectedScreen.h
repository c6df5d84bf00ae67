#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a screen of the game must look like, composed from the data files as an independent check
// of the engine's drawing: pictures 1:1 from the top-left corner, glyphs side by side.
class CExpectedScreen
{
public:
    // Reads the game's data folder (the pictures and the font).
    explicit CExpectedScreen(const std::string& dataFolder);

    // 0xRRGGBB pixels, 800 x 600, row after row from the top.
    using TPixels = std::vector<std::uint32_t>;

    TPixels Picture(std::string_view name) const;
    // The background with the HUD texts written on it.
    TPixels Playing(const std::vector<std::pair<std::string, std::pair<int, int>>>& texts) const;
    // Whether the screen's band of 14 rows from (x, y), width wide, is the background with this text alone.
    bool Shows(const TPixels& screen, std::string_view text, int x, int y, int width) const;

private:
    struct SImage
    {
        int Width = 0;
        int Height = 0;
        TPixels Pixels;
    };
    static SImage Read(const std::string& path);
    void Write(TPixels& screen, std::string_view text, int x, int y) const;

    std::string Folder;
    SImage Background;
    SImage Font;
    std::vector<int> GlyphStarts; // code 32 first; each glyph ends at the next marker
    std::vector<int> GlyphWidths;
};

// The playing screen's eleven texts for a state of the game.
std::vector<std::pair<std::string, std::pair<int, int>>> HudTexts(int favour, int redLumber, int redEfficiency,
                                                                  int blueLumber, int blueEfficiency, bool mystery);
