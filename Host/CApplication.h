#pragma once

#include "Host/IPlatform.h"
#include "Host/TextLayout.h"
#include "Vantor/IMainController.h"
#include "Vantor/IVantor.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Tables keyed by the exact name a loader was given, looked up by string_view without allocating.
struct SNameHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const noexcept { return std::hash<std::string_view>{}(name); }
};
template <typename T> using TNameTable = std::unordered_map<std::string, T, SNameHash, std::equal_to<>>;

// The engine's host: owns the game, the window (through its platform), the frame timer, the input
// state and every asset table, and serves the game through IVantor.
class CApplication : public IVantor, private IPlatformEvents
{
public:
    explicit CApplication(std::unique_ptr<IPlatform> platform);
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;
    virtual ~CApplication() = default;

    // Cancels another thread's blocking I/O, for a worker-thread wrapper; false where the system cannot.
    virtual bool CancelThreadIo(void* thread);
    // Creates the game, starts up, and runs the loop until the window is closed or the game quits.
    virtual void Run();
    // Run in parts, for a system that calls the program back for each turn of the loop (a web
    // page): Begin creates the game and starts up; each Step waits as the platform does, runs a due
    // frame and then the pending input, and is false once the window is gone; End gives the timer
    // and the scheduling back, also after an error; EndGame runs the game's destructor after the
    // close, as Run does.
    void Begin();
    bool Step();
    void End();
    void EndGame();
    virtual bool HideCursorIfInside();

    // IVantor
    void SetLabel(std::string_view label) override;
    void SetCaption(std::string_view caption) override;
    void SetSize(std::int32_t width, std::int32_t height) override;
    void SetUseShaders(bool useShaders) override;
    void StartFrameTimer() override;
    void StopFrameTimer() override;
    std::uint32_t GetTicks() override;
    std::uint32_t TicksSince(std::uint32_t earlier) override;
    bool IsMouseDown(bool right) override;
    bool IsMousePressed(bool right) override;
    bool IsMouseReleased(bool right) override;
    bool GetMousePosition(std::int32_t& x, std::int32_t& y) override;
    bool IsKeyPressed(Key key) override;
    bool IsKeyDown(Key key) override;
    void LoadImage(std::string_view name, bool useColourKeys) override;
    std::shared_ptr<CTexture> CreateTexture(std::string_view name, std::span<const std::uint32_t> pixels,
                                            std::int32_t width, std::int32_t height) override;
    std::shared_ptr<CTexture> GetTexture(std::string_view name) override;
    void LoadShader(std::string_view name) override;
    void SetSmoothing(bool on) override;
    void SetPixelSnap(bool on) override;
    void Clear() override;
    bool Present() override;
    void SetClearColour(float red, float green, float blue) override;
    void SetAlpha(float alpha) override;
    void SetView(std::int32_t width, std::int32_t height) override;
    void DrawImage(const CTexture& texture, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   float anchorX, float anchorY) override;
    void DrawFlatTriangle(const CVector& a, const CVector& b, const CVector& c, const CColour& colour) override;
    void DrawTriangle(const CVector& a, const CColour& colourA, const CVector& b, const CColour& colourB,
                      const CVector& c, const CColour& colourC) override;
    void DrawTexturedTriangle(const CVector& a, float ua, float va, const CVector& b, float ub, float vb,
                              const CVector& c, float uc, float vc, const CTexture& texture) override;
    void DrawShaderQuad(const CVector& a, float ua, float va, const CVector& b, float ub, float vb, const CVector& c,
                        float uc, float vc, const CVector& d, float ud, float vd, std::string_view shader) override;
    void LoadFont(std::string_view name) override;
    void SetFont(std::string_view name) override;
    void DrawText(std::string_view text, std::int32_t x, std::int32_t y) override;
    void LoadSound(std::string_view name) override;
    void PlaySound(std::string_view name) override;
    void Quit() override;
    std::int32_t GetTextWidth(std::string_view text) override;

private:
    void StartUp();
    // The picture behind a loader's name, checked: found, 24 or 32 bits, small enough for a texture.
    // Refused before start-up with the early message given.
    std::unique_ptr<IBitmap> LoadPicture(std::string_view early, std::string_view name);
    void LoadShaderEntryPoints();
    template <typename T> void LoadGLFunction(T& entry, const char* name);
    void FrameTick();
    void Shutdown();
    // Loaders and the frame timer need the window and its context, which start-up makes: before it
    // (from the game's constructor) they refuse with a message that says where they belong.
    void RequireStartedUp(std::string_view message, std::string_view name = {}) const;

    // IPlatformEvents: what the window procedure reports.
    void OnFocusGained() override;
    void OnFocusLost() override;
    void OnKeyDown(std::uint32_t code) override;
    void OnKeyUp(std::uint32_t code) override;
    bool OnSetCursor() override;
    void OnDestroy() override;

    std::unique_ptr<IPlatform> Platform;
    std::unique_ptr<IMainController> Controller;
    bool UseShaders = false;
    bool ShaderEntryPointsLoaded = false; // by start-up, when UseShaders was true then
    bool StartedUp = false;
    // Set by Quit: the window's close is on its way, and the game is called no more.
    bool QuitRequested = false;
    bool LabelSet = false;
    std::string Label;
    bool CaptionSet = false;
    std::string Caption;
    std::int32_t Width = -1; // -1: SetSize was never called
    std::int32_t Height = 0;
    bool FrameTimerRunning = false;
    bool MouseLeftDown = false;
    bool MouseLeftWasDown = false;
    bool MouseRightDown = false;
    bool MouseRightWasDown = false;
    std::array<bool, 256> KeyPressed{};
    bool Smoothing = false;
    bool PixelSnap = true;
    float Alpha = 1.0f;
    TNameTable<std::shared_ptr<CTexture>> Textures;
    TNameTable<std::uint32_t> Shaders;
    TNameTable<std::uint32_t> Programs;
    TNameTable<std::shared_ptr<TGlyphTable>> Fonts;
    std::shared_ptr<TGlyphTable> CurrentFont;
    TNameTable<std::vector<std::uint8_t>> Sounds;

    // The sound image the player was last given, while it may still be playing. Declared last so
    // that it goes first: playback from the sound table stops before the table goes.
    class CPlayingSound
    {
    public:
        explicit CPlayingSound(IPlatform& platform) : Platform(platform) {}
        CPlayingSound(const CPlayingSound&) = delete;
        CPlayingSound& operator=(const CPlayingSound&) = delete;
        ~CPlayingSound() { Stop(); }
        void Started(const std::vector<std::uint8_t>& image) { Image = &image; }
        bool Is(const std::vector<std::uint8_t>& image) const { return Image == &image; }
        void Stop()
        {
            if (Image != nullptr)
                Platform.StopSound();
            Image = nullptr;
        }

    private:
        IPlatform& Platform;
        const std::vector<std::uint8_t>* Image = nullptr;
    };
    CPlayingSound PlayingSound{*Platform};
};

// The leading decimal digits of an OpenGL version text as the major version; a text that does not
// begin with a digit (or no text at all) fails with std::invalid_argument.
int ParseGLMajorVersion(const char* version);
