#include "tests/game/CRecordingVantor.h"

#include <algorithm>

void CRecordingVantor::LoadImage(std::string_view name, bool useColourKeys)
{
    Record("LoadImage", name, useColourKeys);
    const auto id = static_cast<std::uint32_t>(Textures.size() + 1);
    Textures.emplace_back(name, std::make_shared<CTexture>(800, 600, 0.78125f, 0.5859375f, id));
}

std::shared_ptr<CTexture> CRecordingVantor::GetTexture(std::string_view name)
{
    Record("GetTexture", name);
    // The latest load under the name, as a later load replaces the engine's entry.
    const auto found = std::find_if(Textures.rbegin(), Textures.rend(), [&](const auto& t) { return t.first == name; });
    if (found != Textures.rend())
        return found->second;
    // The engine does not guard this lookup; here it fails instead of crashing.
    ADD_FAILURE() << "GetTexture of an image never loaded: " << name;
    return std::make_shared<CTexture>();
}

std::string CRecordingVantor::Written(const CTexture& texture) const
{
    const std::uint32_t id = texture.GetTextureId();
    if (id >= 1 && id <= Textures.size() && Textures[id - 1].second.get() == &texture)
        return Written(Textures[id - 1].first);
    ADD_FAILURE() << "DrawImage of a texture that GetTexture did not hand out";
    return "?";
}
