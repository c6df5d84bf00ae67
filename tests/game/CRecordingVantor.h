#pragma once

#include "Vantor/IVantor.h"

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// An engine that writes down every call the game makes, arguments included, and answers the key
// queries from the keys a test presses for the coming frame. Operations the game must never use
// fail the test.
class CRecordingVantor final : public IVantor
{
public:
#define RECORDED(name, parameters, ...) \
    void name parameters override { Record(#name __VA_OPT__(, ) __VA_ARGS__); }
#define FORBIDDEN(result, name, parameters) \
    result name parameters override { return Record(#name), ADD_FAILURE() << "Not for the game: " #name, result(); }
    RECORDED(SetCaption, (std::string_view caption), caption)
    RECORDED(SetSize, (std::int32_t width, std::int32_t height), width, height)
    RECORDED(SetUseShaders, (bool useShaders), useShaders)
    RECORDED(StartFrameTimer, ())
    RECORDED(Clear, ())
    RECORDED(SetView, (std::int32_t width, std::int32_t height), width, height)
    RECORDED(LoadFont, (std::string_view name), name)
    RECORDED(SetFont, (std::string_view name), name)
    RECORDED(DrawText, (std::string_view text, std::int32_t x, std::int32_t y), text, x, y)
    RECORDED(DrawImage, (const CTexture& texture, std::int32_t x, std::int32_t y, std::int32_t width,
                         std::int32_t height, float anchorX, float anchorY),
             texture, x, y, width, height, anchorX, anchorY)
    bool Present() override { return Record("Present"), true; }
    bool IsKeyPressed(Key key) override
    {
        if (!Quiet)
            KeyQueries.push_back(key);
        return Pressed.contains(key);
    }
    void LoadImage(std::string_view name, bool useColourKeys) override
    {
        Record("LoadImage", name, useColourKeys);
        const auto id = static_cast<std::uint32_t>(Textures.size() + 1);
        Textures.emplace_back(name, std::make_shared<CTexture>(800, 600, 0.78125f, 0.5859375f, id));
    }
    // The latest load under the name, as a later load replaces the engine's entry.
    std::shared_ptr<CTexture> GetTexture(std::string_view name) override
    {
        Record("GetTexture", name);
        for (auto texture = Textures.rbegin(); texture != Textures.rend(); ++texture)
            if (texture->first == name)
                return texture->second;
        // The engine does not guard this lookup; here it fails instead of crashing.
        ADD_FAILURE() << "GetTexture of an image never loaded: " << name;
        return std::make_shared<CTexture>();
    }

    FORBIDDEN(void, SetLabel, (std::string_view))
    FORBIDDEN(void, Quit, ())
    FORBIDDEN(std::int32_t, GetTextWidth, (std::string_view))
    FORBIDDEN(void, StopFrameTimer, ())
    FORBIDDEN(std::uint32_t, GetTicks, ())
    FORBIDDEN(std::uint32_t, TicksSince, (std::uint32_t))
    FORBIDDEN(bool, IsMouseDown, (bool))
    FORBIDDEN(bool, IsMousePressed, (bool))
    FORBIDDEN(bool, IsMouseReleased, (bool))
    FORBIDDEN(bool, GetMousePosition, (std::int32_t&, std::int32_t&))
    FORBIDDEN(bool, IsKeyDown, (Key))
    FORBIDDEN(std::shared_ptr<CTexture>, CreateTexture,
              (std::string_view, std::span<const std::uint32_t>, std::int32_t, std::int32_t))
    FORBIDDEN(void, LoadShader, (std::string_view))
    FORBIDDEN(void, SetSmoothing, (bool))
    FORBIDDEN(void, SetPixelSnap, (bool))
    FORBIDDEN(void, SetClearColour, (float, float, float))
    FORBIDDEN(void, SetAlpha, (float))
    FORBIDDEN(void, DrawFlatTriangle, (const CVector&, const CVector&, const CVector&, const CColour&))
    FORBIDDEN(void, DrawTriangle,
              (const CVector&, const CColour&, const CVector&, const CColour&, const CVector&, const CColour&))
    FORBIDDEN(void, DrawTexturedTriangle,
              (const CVector&, float, float, const CVector&, float, float, const CVector&, float, float,
               const CTexture&))
    FORBIDDEN(void, DrawShaderQuad,
              (const CVector&, float, float, const CVector&, float, float, const CVector&, float, float,
               const CVector&, float, float, std::string_view))
    FORBIDDEN(void, LoadSound, (std::string_view))
    FORBIDDEN(void, PlaySound, (std::string_view))
#undef RECORDED
#undef FORBIDDEN

    // Calls in order, such as DrawText("Lumber: 20", 20, 65); the fake OpenGL library writes here too.
    std::vector<std::string> Log;
    // The key queries, apart from the log so that the drawing order reads plainly.
    std::vector<Key> KeyQueries;
    // Keys pressed since the previous frame.
    std::set<Key> Pressed;
    // Nothing is written down: writing allocates, and a test counts the game's own allocations.
    bool Quiet = false;

private:
    // The one recorder: "Name(argument, argument, ...)", text quoted and textures by name.
    template <typename... TArguments> void Record(const char* name, const TArguments&... arguments)
    {
        if (Quiet)
            return;
        std::string entry = std::string(name) + "(";
        [[maybe_unused]] const char* separator = "";
        ((entry += separator + Written(arguments), separator = ", "), ...);
        Log.push_back(entry + ")");
    }
    std::string Written(std::string_view text) const { return '"' + std::string(text) + '"'; }
    std::string Written(bool value) const { return value ? "true" : "false"; }
    std::string Written(std::int32_t value) const { return std::to_string(value); }
    std::string Written(float value) const { return (std::ostringstream() << value).str(); }
    std::string Written(const CTexture& texture) const
    {
        const std::uint32_t id = texture.GetTextureId();
        if (id >= 1 && id <= Textures.size() && Textures[id - 1].second.get() == &texture)
            return Written(Textures[id - 1].first);
        ADD_FAILURE() << "DrawImage of a texture that GetTexture did not hand out";
        return "?";
    }

    // Every texture loaded, numbered by its place here.
    std::vector<std::pair<std::string, std::shared_ptr<CTexture>>> Textures;
};
