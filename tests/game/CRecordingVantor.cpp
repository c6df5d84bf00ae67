#include "tests/game/CRecordingVantor.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace
{
std::string Quoted(std::string_view text)
{
    // Appended rather than added up: GCC 12 sees a false overlap in "\"" + std::string(text).
    std::string quoted(1, '"');
    quoted.append(text).push_back('"');
    return quoted;
}

std::string Number(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    return text;
}
} // namespace

void CRecordingVantor::SetCaption(std::string_view caption)
{
    if (!Quiet)
        Record("SetCaption(" + Quoted(caption) + ")");
}

void CRecordingVantor::SetSize(std::int32_t width, std::int32_t height)
{
    if (!Quiet)
        Record("SetSize(" + std::to_string(width) + ", " + std::to_string(height) + ")");
}

void CRecordingVantor::SetUseShaders(bool useShaders)
{
    if (!Quiet)
        Record(std::string("SetUseShaders(") + (useShaders ? "true" : "false") + ")");
}

void CRecordingVantor::StartFrameTimer()
{
    if (!Quiet)
        Record("StartFrameTimer()");
}

bool CRecordingVantor::IsKeyPressed(Key key)
{
    if (!Quiet)
        KeyQueries.push_back(key);
    return Pressed.contains(key);
}

void CRecordingVantor::LoadImage(std::string_view name, bool useColourKeys)
{
    if (!Quiet)
        Record("LoadImage(" + Quoted(name) + ", " + (useColourKeys ? "true" : "false") + ")");
    // A fresh texture per load, as a later load under the same name replaces the engine's entry.
    auto texture = std::make_shared<CTexture>(800, 600, 0.78125f, 0.5859375f,
                                              static_cast<std::uint32_t>(TextureNames.size() + 1));
    TextureNames[texture.get()] = std::string(name);
    Textures[std::string(name)] = std::move(texture);
}

std::shared_ptr<CTexture> CRecordingVantor::GetTexture(std::string_view name)
{
    if (!Quiet)
        Record("GetTexture(" + Quoted(name) + ")");
    const auto found = Textures.find(name);
    if (found != Textures.end())
        return found->second;
    // The engine does not guard this lookup; here it fails instead of crashing.
    ADD_FAILURE() << "GetTexture of an image never loaded: " << name;
    static const auto Missing = std::make_shared<CTexture>();
    return Missing;
}

void CRecordingVantor::Clear()
{
    if (!Quiet)
        Record("Clear()");
}

bool CRecordingVantor::Present()
{
    if (!Quiet)
        Record("Present()");
    return true;
}

void CRecordingVantor::SetView(std::int32_t width, std::int32_t height)
{
    if (!Quiet)
        Record("SetView(" + std::to_string(width) + ", " + std::to_string(height) + ")");
}

void CRecordingVantor::DrawImage(const CTexture& texture, std::int32_t x, std::int32_t y, std::int32_t width,
                                 std::int32_t height, float anchorX, float anchorY)
{
    const auto found = TextureNames.find(&texture);
    if (found == TextureNames.end())
        ADD_FAILURE() << "DrawImage of a texture that GetTexture did not hand out";
    if (Quiet)
        return;
    const std::string name = found == TextureNames.end() ? "?" : Quoted(found->second);
    Record("DrawImage(" + name + ", " + std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(width) +
           ", " + std::to_string(height) + ", " + Number(anchorX) + ", " + Number(anchorY) + ")");
}

void CRecordingVantor::LoadFont(std::string_view name)
{
    if (!Quiet)
        Record("LoadFont(" + Quoted(name) + ")");
}

void CRecordingVantor::SetFont(std::string_view name)
{
    if (!Quiet)
        Record("SetFont(" + Quoted(name) + ")");
}

void CRecordingVantor::DrawText(std::string_view text, std::int32_t x, std::int32_t y)
{
    if (!Quiet)
        Record("DrawText(" + Quoted(text) + ", " + std::to_string(x) + ", " + std::to_string(y) + ")");
}

void CRecordingVantor::Record(std::string entry)
{
    Log.push_back(std::move(entry));
}

void CRecordingVantor::Forbidden(const char* operation)
{
    if (!Quiet)
        Record(std::string(operation) + "(...)");
    ADD_FAILURE() << "The game must not call " << operation;
}
