#pragma once

#include "Vantor/CColour.h"
#include "Vantor/CTexture.h"
#include "Vantor/CVector.h"
#include "Vantor/Key.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

// The engine's services to a game. Strings are UTF-8. Failures a user or game author causes
// throw CVantorException; internal faults throw a general error with its source location.
class IVantor
{
public:
    // Configuration: only effective from the game's constructor, before start-up.
    virtual void SetLabel(std::string_view label) = 0;
    virtual void SetCaption(std::string_view caption) = 0;
    virtual void SetSize(std::int32_t width, std::int32_t height) = 0;
    virtual void SetUseShaders(bool useShaders) = 0;

    // Frames and time.
    virtual void StartFrameTimer() = 0;
    virtual void StopFrameTimer() = 0;
    virtual std::uint32_t GetTicks() = 0;
    virtual std::uint32_t TicksSince(std::uint32_t earlier) = 0;

    // Input. "right" false means the left mouse button.
    virtual bool IsMouseDown(bool right) = 0;
    virtual bool IsMousePressed(bool right) = 0;
    virtual bool IsMouseReleased(bool right) = 0;
    virtual bool GetMousePosition(std::int32_t& x, std::int32_t& y) = 0;
    virtual bool IsKeyPressed(Key key) = 0;
    virtual bool IsKeyDown(Key key) = 0;

    // Pictures and textures, registered by the exact, case-sensitive name given.
    virtual void LoadImage(std::string_view name, bool useColourKeys) = 0;
    virtual std::shared_ptr<CTexture> CreateTexture(std::string_view name, std::span<const std::uint32_t> pixels,
                                                    std::int32_t width, std::int32_t height) = 0;
    virtual std::shared_ptr<CTexture> GetTexture(std::string_view name) = 0;
    virtual void LoadShader(std::string_view name) = 0;

    // Drawing a frame: Clear, draws, Present.
    virtual void SetSmoothing(bool on) = 0;
    virtual void SetPixelSnap(bool on) = 0;
    virtual void Clear() = 0;
    virtual bool Present() = 0;
    virtual void SetClearColour(float red, float green, float blue) = 0;
    virtual void SetAlpha(float alpha) = 0;
    virtual void SetView(std::int32_t width, std::int32_t height) = 0;
    // A width or height of -1 means the texture's own size.
    virtual void DrawImage(const CTexture& texture, std::int32_t x, std::int32_t y, std::int32_t width,
                           std::int32_t height, float anchorX, float anchorY) = 0;
    virtual void DrawFlatTriangle(const CVector& a, const CVector& b, const CVector& c, const CColour& colour) = 0;
    virtual void DrawTriangle(const CVector& a, const CColour& colourA, const CVector& b, const CColour& colourB,
                              const CVector& c, const CColour& colourC) = 0;
    virtual void DrawTexturedTriangle(const CVector& a, float ua, float va, const CVector& b, float ub, float vb,
                                      const CVector& c, float uc, float vc, const CTexture& texture) = 0;
    virtual void DrawShaderQuad(const CVector& a, float ua, float va, const CVector& b, float ub, float vb,
                                const CVector& c, float uc, float vc, const CVector& d, float ud, float vd,
                                std::string_view shader) = 0;

    // Bitmap-font text.
    virtual void LoadFont(std::string_view name) = 0;
    virtual void SetFont(std::string_view name) = 0;
    virtual void DrawText(std::string_view text, std::int32_t x, std::int32_t y) = 0;

    // Sound clips, one playing at a time.
    virtual void LoadSound(std::string_view name) = 0;
    virtual void PlaySound(std::string_view name) = 0;

    // Ends the program as closing the window does, once the current call returns: the game gets no
    // further calls but its destructor. From the constructor, the program ends without a window.
    virtual void Quit() = 0;
    // The width in pixels that DrawText would take for the text in the selected font.
    virtual std::int32_t GetTextWidth(std::string_view text) = 0;

protected:
    ~IVantor() = default;
};
