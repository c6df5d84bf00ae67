#pragma once

#include "Vantor/IVantor.h"

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

// An engine that writes down every call the game makes, arguments included, and answers the key
// queries from the keys a test presses for the coming frame. Operations the game must never use
// fail the test.
class CRecordingVantor final : public IVantor
{
public:
    void SetCaption(std::string_view caption) override;
    void SetSize(std::int32_t width, std::int32_t height) override;
    void SetUseShaders(bool useShaders) override;
    void StartFrameTimer() override;
    bool IsKeyPressed(Key key) override;
    void LoadImage(std::string_view name, bool useColourKeys) override;
    std::shared_ptr<CTexture> GetTexture(std::string_view name) override;
    void Clear() override;
    bool Present() override;
    void SetView(std::int32_t width, std::int32_t height) override;
    void DrawImage(const CTexture& texture, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   float anchorX, float anchorY) override;
    void LoadFont(std::string_view name) override;
    void SetFont(std::string_view name) override;
    void DrawText(std::string_view text, std::int32_t x, std::int32_t y) override;

    void SetLabel(std::string_view) override { Forbidden("SetLabel"); }
    void StopFrameTimer() override { Forbidden("StopFrameTimer"); }
    std::uint32_t GetTicks() override { Forbidden("GetTicks"); return 0; }
    std::uint32_t TicksSince(std::uint32_t) override { Forbidden("TicksSince"); return 0; }
    bool IsMouseDown(bool) override { Forbidden("IsMouseDown"); return false; }
    bool IsMousePressed(bool) override { Forbidden("IsMousePressed"); return false; }
    bool IsMouseReleased(bool) override { Forbidden("IsMouseReleased"); return false; }
    bool GetMousePosition(std::int32_t&, std::int32_t&) override { Forbidden("GetMousePosition"); return false; }
    bool IsKeyDown(Key) override { Forbidden("IsKeyDown"); return false; }
    std::shared_ptr<CTexture> CreateTexture(std::string_view, std::span<const std::uint32_t>, std::int32_t,
                                            std::int32_t) override
    {
        Forbidden("CreateTexture");
        return nullptr;
    }
    void LoadShader(std::string_view) override { Forbidden("LoadShader"); }
    void SetSmoothing(bool) override { Forbidden("SetSmoothing"); }
    void SetPixelSnap(bool) override { Forbidden("SetPixelSnap"); }
    void SetClearColour(float, float, float) override { Forbidden("SetClearColour"); }
    void SetAlpha(float) override { Forbidden("SetAlpha"); }
    void DrawFlatTriangle(const CVector&, const CVector&, const CVector&, const CColour&) override
    {
        Forbidden("DrawFlatTriangle");
    }
    void DrawTriangle(const CVector&, const CColour&, const CVector&, const CColour&, const CVector&,
                      const CColour&) override
    {
        Forbidden("DrawTriangle");
    }
    void DrawTexturedTriangle(const CVector&, float, float, const CVector&, float, float, const CVector&, float, float,
                              const CTexture&) override
    {
        Forbidden("DrawTexturedTriangle");
    }
    void DrawShaderQuad(const CVector&, float, float, const CVector&, float, float, const CVector&, float, float,
                        const CVector&, float, float, std::string_view) override
    {
        Forbidden("DrawShaderQuad");
    }
    void LoadSound(std::string_view) override { Forbidden("LoadSound"); }
    void PlaySound(std::string_view) override { Forbidden("PlaySound"); }

    // Calls in order, such as DrawText("Lumber: 20", 20, 65); the fake OpenGL library writes here too.
    std::vector<std::string> Log;
    // The key queries, apart from the log so that the drawing order reads plainly.
    std::vector<Key> KeyQueries;
    // Keys pressed since the previous frame.
    std::set<Key> Pressed;
    // Nothing is written down: writing allocates, and a test counts the game's own allocations.
    bool Quiet = false;

private:
    template <typename... TArguments> void Call(const char* name, TArguments... arguments);
    void Forbidden(const char* operation);

    std::map<std::string, std::shared_ptr<CTexture>, std::less<>> Textures;
    std::map<const CTexture*, std::string> TextureNames;
};
