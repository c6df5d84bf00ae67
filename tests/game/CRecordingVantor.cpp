#include "tests/game/CRecordingVantor.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
// One argument as the log writes it: text quoted, numbers plainly, truth values as words.
std::string Written(std::string_view text)
{
    // Appended rather than added up: GCC 12 sees a false overlap in "\"" + std::string(text).
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}
std::string Written(const char* text)
{
    return Written(std::string_view(text));
}
std::string Written(bool value)
{
    return value ? "true" : "false";
}
std::string Written(std::int32_t value)
{
    return std::to_string(value);
}
std::string Written(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}
} // namespace

// The one recorder: "Name(argument, argument, ...)", unless quiet.
template <typename... TArguments> void CRecordingVantor::Call(const char* name, TArguments... arguments)
{
    if (Quiet)
        return;
    std::string entry = std::string(name) + "(";
    [[maybe_unused]] const char* separator = ""; // unused when there are no arguments
    ((entry += separator + Written(arguments), separator = ", "), ...);
    Log.push_back(entry + ")");
}

void CRecordingVantor::SetCaption(std::string_view caption) { Call("SetCaption", caption); }
void CRecordingVantor::SetSize(std::int32_t width, std::int32_t height) { Call("SetSize", width, height); }
void CRecordingVantor::SetUseShaders(bool useShaders) { Call("SetUseShaders", useShaders); }
void CRecordingVantor::StartFrameTimer() { Call("StartFrameTimer"); }
void CRecordingVantor::Clear() { Call("Clear"); }
void CRecordingVantor::SetView(std::int32_t width, std::int32_t height) { Call("SetView", width, height); }
void CRecordingVantor::LoadFont(std::string_view name) { Call("LoadFont", name); }
void CRecordingVantor::SetFont(std::string_view name) { Call("SetFont", name); }
void CRecordingVantor::DrawText(std::string_view text, std::int32_t x, std::int32_t y) { Call("DrawText", text, x, y); }

bool CRecordingVantor::Present()
{
    Call("Present");
    return true;
}

bool CRecordingVantor::IsKeyPressed(Key key)
{
    if (!Quiet)
        KeyQueries.push_back(key);
    return Pressed.contains(key);
}

void CRecordingVantor::LoadImage(std::string_view name, bool useColourKeys)
{
    Call("LoadImage", name, useColourKeys);
    // A fresh texture per load, as a later load under the same name replaces the engine's entry.
    auto texture = std::make_shared<CTexture>(800, 600, 0.78125f, 0.5859375f,
                                              static_cast<std::uint32_t>(TextureNames.size() + 1));
    TextureNames[texture.get()] = std::string(name);
    Textures[std::string(name)] = std::move(texture);
}

std::shared_ptr<CTexture> CRecordingVantor::GetTexture(std::string_view name)
{
    Call("GetTexture", name);
    const auto found = Textures.find(name);
    if (found != Textures.end())
        return found->second;
    // The engine does not guard this lookup; here it fails instead of crashing.
    ADD_FAILURE() << "GetTexture of an image never loaded: " << name;
    static const auto Missing = std::make_shared<CTexture>();
    return Missing;
}

void CRecordingVantor::DrawImage(const CTexture& texture, std::int32_t x, std::int32_t y, std::int32_t width,
                                 std::int32_t height, float anchorX, float anchorY)
{
    const auto found = TextureNames.find(&texture);
    if (found == TextureNames.end())
        ADD_FAILURE() << "DrawImage of a texture that GetTexture did not hand out";
    Call("DrawImage", found == TextureNames.end() ? std::string_view("?") : std::string_view(found->second), x, y,
         width, height, anchorX, anchorY);
}

void CRecordingVantor::Forbidden(const char* operation)
{
    Call(operation, "...");
    ADD_FAILURE() << "The game must not call " << operation;
}
