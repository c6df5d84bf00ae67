// The asset tables on the fake backend: what each load keeps, replaces, deletes and refuses.
#include "tests/host/HostTest.h"

#include "tests/support/BmpWriter.h"
#include "tests/support/WavWriter.h"

using Assets = HostTest;

namespace
{
std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

// Glyphs 5, 3 and 0 wide for ' ', '!' and '"', 4 for the rest; 14 rows, no ink.
std::vector<std::uint8_t> Font()
{
    std::vector<std::int32_t> widths(95, 4);
    widths[0] = 5, widths[1] = 3, widths[2] = 0;
    return MakeFontBmp(widths, 14, false, [](std::uint32_t, std::int32_t) { return 0xFF00FFu; });
}

// A valid clip whose samples tell it apart.
std::vector<std::uint8_t> Clip(std::int16_t mark)
{
    return MakeWav({1, 1, 8000, 16, Samples16({0, 1000, -1000, mark}), {}});
}

void Draw(IVantor& engine, std::string_view shader)
{
    engine.DrawShaderQuad({0, 0, 0}, 0, 0, {0, 9, 0}, 0, 1, {9, 9, 0}, 1, 1, {9, 0, 0}, 1, 0, shader);
}
} // namespace

// Every refusal and its message, with the name as passed; a name under another case is another name.
TEST_F(Assets, EveryRefusalNamesWhatWasAskedFor)
{
    for (const auto& [name, bytes, outcome] :
         {std::tuple{"Picture.bmp", MakeBmp({}), EFileRead::Ok}, {"Font.bmp", Font(), EFileRead::Ok},
          {"Wide.bmp", MakeBmp({257, 1}), EFileRead::Ok}, {"Glow.frag", Bytes("void main() {}"), EFileRead::Ok},
          {"Huge.frag", Bytes(""), EFileRead::TooLarge}, {"Ping.wav", Clip(1), EFileRead::Ok},
          {"Huge.wav", Bytes(""), EFileRead::TooLarge}, {"Cut.wav", Clip(2), EFileRead::ReadFailed}})
        File(name, bytes, outcome);
    UseShaders = true;
    const std::vector<std::uint32_t> pixels(6);
    OnStart = [&](IVantor& engine) {
        engine.LoadImage("Picture.bmp", false);
        engine.LoadFont("Font.bmp");
        engine.LoadShader("Glow.frag");
        engine.LoadSound("Ping.wav");
        FakeGL::MaxTextureSize = 256;
        const std::pair<std::function<void()>, const char*> rows[] = {
            // Loading a font does not select it.
            {[&] { engine.DrawText("A", 0, 0); }, "No font selected"},
            {[&] { engine.GetTextWidth("A"); }, "No font selected"},
            {[&] { engine.LoadImage("Missing.bmp", true); }, "Image file not found: Missing.bmp"},
            {[&] { engine.LoadShader("Missing.frag"); }, "Shader file not found: Missing.frag"},
            {[&] { engine.LoadSound("Missing.wav"); }, "Sound file not found: Missing.wav"},
            {[&] { engine.GetTexture("picture.bmp"); }, "Texture not loaded: picture.bmp"},
            {[&] { engine.GetTexture("Font.bmp"); }, "Texture not loaded: Font.bmp"},
            {[&] { engine.SetFont("FONT.BMP"); }, "Font not loaded: FONT.BMP"},
            {[&] { engine.SetFont("Picture.bmp"); }, "Font not loaded: Picture.bmp"},
            {[&] { Draw(engine, "glow.frag"); }, "Shader not loaded: glow.frag"},
            {[&] { engine.PlaySound("ping.wav"); }, "Sound not loaded: ping.wav"},
            {[&] { engine.LoadFont("Wide.bmp"); }, "Image too large: Wide.bmp"},
            {[&] { engine.CreateTexture("Short", pixels, 4, 2); }, "Too few pixels for texture: Short"},
            {[&] { engine.CreateTexture("Narrow", pixels, -1, 2); }, "Invalid texture size: Narrow"},
            {[&] { engine.CreateTexture("Low", pixels, 2, -1); }, "Invalid texture size: Low"},
            // A zero side is a valid size.
            {[&] { engine.CreateTexture("Flat", pixels, 257, 0); }, "Image too large: Flat"},
            {[&] { engine.CreateTexture("Tall", pixels, 0, 257); }, "Image too large: Tall"},
            {[&] { engine.LoadShader("Huge.frag"); }, "Shader file too large (> 4GiB): Huge.frag"},
            {[&] { engine.LoadSound("Huge.wav"); }, "Sound file too large (> 4GiB): Huge.wav"},
            {[&] { engine.LoadSound("Cut.wav"); }, "Sound file could not be read: Cut.wav"},
            {[&] { engine.SetUseShaders(false), engine.LoadShader("Glow.frag"); },
             "Can't load shaders when UseShaders is false"},
        };
        for (const auto& [call, message] : rows)
            EXPECT_EQ(ErrorOf(call), message);
        FakeGL::MaxTextureSize = 4096;
        // The names as loaded still work.
        EXPECT_EQ(engine.GetTexture("Picture.bmp")->GetWidth(), 1);
        engine.SetFont("Font.bmp");
        Draw(engine, "Glow.frag");
        engine.PlaySound("Ping.wav");
        EXPECT_EQ(Only({"glDelete", "glUseProgram(0x1"}), Lines{"glUseProgram(0x101)"});
        EXPECT_EQ(Only({"ReadDataFile Glow.frag"}), Lines{"ReadDataFile Glow.frag +1"});
    };
    Run();
    // Switched on after start-up: the entry points were never loaded.
    SetUp();
    UseShaders = false;
    OnStart = [](IVantor& engine) {
        engine.SetUseShaders(true);
        EXPECT_EQ(ErrorOf([&] { engine.LoadShader("Glow.frag"); }), "Shaders were not enabled at start-up");
    };
    Run();
}

TEST_F(Assets, TexturesArePowerOfTwoAndALaterLoadReplaces)
{
    File("A.bmp", MakeBmp({800, 600}));
    Run(); // loaders need the start-up
    Application->LoadImage("A.bmp", false);
    const auto first = Application->GetTexture("A.bmp");
    // The bitmap is given back before the texture is made.
    EXPECT_EQ(Only({"BitmapReleased", "glTexImage2D"}), (Lines{"BitmapReleased A.bmp", "glTexImage2D(0x400, 0x400)"}));
    const auto made = Application->CreateTexture("A.bmp", std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7}, 3, 2);
    EXPECT_EQ(made, Application->GetTexture("A.bmp"));
    EXPECT_EQ(first->GetWidth(), 800); // a replaced texture stays valid for whoever holds it
    EXPECT_EQ(FakeGL::LastTexels, (std::vector<std::uint32_t>{1, 2, 3, 0, 4, 5, 6, 0}));
}

TEST_F(Assets, TextSkipsWhatTheFontLacksAndImagesSetTheirFilters)
{
    File("Font.bmp", Font());
    Run();
    Application->LoadFont("Font.bmp");
    Application->SetFont("Font.bmp");
    Log.clear();
    // Neither a line feed nor an accented letter has a glyph; '"' takes no room.
    Application->DrawText("\n\xC3\xA9!\"!", 20, 65);
    const Lines corners = Only({"glVertex2f"});
    ASSERT_EQ(corners.size(), 12u);
    EXPECT_EQ(corners[9], "glVertex2f(26, 65)");
    // The width is where a glyph drawn after the text would begin.
    EXPECT_EQ(Application->GetTextWidth("\n\xC3\xA9!\"!"), 6);
    EXPECT_EQ(ErrorOf([&] { Application->DrawText("!!\xFF!", 0, 0); }), "Invalid UTF-8 in text");
    EXPECT_EQ(Only({"glBegin(0x7)"}).size(), 5u);

    // Filters are the one drawing state that no picture on a real context is read back for.
    Log.clear();
    Application->DrawText("!", 0, 0);
    Application->SetSmoothing(true);
    const auto texture = Application->CreateTexture("T", std::vector<std::uint32_t>{1}, 1, 1);
    Application->DrawTexturedTriangle({0, 0, 0}, 0, 0, {0, 4, 0}, 0, 1, {4, 0, 0}, 1, 0, *texture);
    EXPECT_EQ(Only({"glTexParameteri"}),
              (Lines{"glTexParameteri(0xDE1, 0x2801, 0x2600)", "glTexParameteri(0xDE1, 0x2800, 0x2600)",
                     "glTexParameteri(0xDE1, 0x2801, 0x2601)", "glTexParameteri(0xDE1, 0x2800, 0x2601)"}));
}

TEST_F(Assets, ShaderReloadsDeleteWhatTheyReplaceOnlyOnceTheySucceed)
{
    File("Glow.frag", Bytes("void"));
    UseShaders = true;
    OnStart = [this](IVantor& engine) {
        engine.LoadShader("Glow.frag");
        // A read that fails part way is not looked at: what was read is compiled.
        File("Glow.frag", Bytes("void main"), EFileRead::ReadFailed);
        engine.LoadShader("Glow.frag");
        // Failures change nothing; statuses that are never written count as failures.
        for (const auto& [source, message] : {std::pair{"compile error", "Shader compile failed: Glow.frag"},
                                              {"link error", "Program link failed for shader: Glow.frag"},
                                              {"void main() {}", "Shader compile failed: Glow.frag"}})
        {
            File("Glow.frag", Bytes(source));
            FakeGL::WriteStatus = source[0] != 'v';
            EXPECT_EQ(ErrorOf([&] { engine.LoadShader("Glow.frag"); }), message);
        }
        Draw(engine, "Glow.frag");
    };
    Run();
    // The compiler's log goes where the author looks; a driver that writes none has nothing to add.
    // The message itself is the error's, so it is not written here too.
    EXPECT_EQ(Only({"Diagnostic"}), (Lines{"Diagnostic 0:1(1): compile error"}));
    EXPECT_EQ(Only({"glDelete", "glUseProgram"}),
              (Lines{"glDeleteShader(0x1)", "glDeleteProgram(0x101)", "glDeleteShader(0x3)", "glDeleteProgram(0x103)",
                     "glDeleteShader(0x4)", "glDeleteShader(0x5)", "glUseProgram(0x102)", "glUseProgram(0x0)",
                     "glDeleteProgram(0x102)", "glDeleteShader(0x2)"}));
}

TEST_F(Assets, SoundsKeepTheirBytesAndThePlayingOneIsStoppedBeforeItIsReplaced)
{
    File("Ping.wav", Clip(1));
    File("Pong.wav", Clip(2));
    Application->LoadSound("Ping.wav");
    Application->LoadSound("Pong.wav");
    Application->PlaySound("Ping.wav");
    // The player is handed the table's own bytes, not a copy made for the call.
    const auto* played = Platform->PlayingImage.data();
    Application->PlaySound("Ping.wav");
    EXPECT_EQ(Platform->PlayingImage.data(), played);
    // Another name, or a failed load, leaves the clip playing and the table as it was.
    Application->LoadSound("Pong.wav");
    File("Ping.wav", Clip(3), EFileRead::ReadFailed);
    EXPECT_THROW(Application->LoadSound("Ping.wav"), CVantorException);
    EXPECT_EQ(Only({"StopSound"}).size(), 0u);
    File("Ping.wav", Clip(3));
    Application->LoadSound("Ping.wav");
    EXPECT_EQ(Only({"ReadDataFile Ping", "StopSound"}).back(), "StopSound");
    Application->PlaySound("Ping.wav");
    EXPECT_EQ(Platform->PlayedBytes, Clip(3));
    // Once another clip has cut it off, reloading it stops nothing.
    Application->PlaySound("Pong.wav");
    Application->LoadSound("Ping.wav");
    EXPECT_EQ(Only({"StopSound"}).size(), 1u);
    // An image whose sizes point past its end never reaches the player.
    auto beyond = Clip(4);
    beyond[beyond.size() - 10] = 0xFF; // the data chunk's size
    File("Beyond.wav", beyond);
    Application->LoadSound("Beyond.wav");
    Application->PlaySound("Beyond.wav");
    EXPECT_EQ(Only({"PlaySoundImage"}).size(), 4u);
    EXPECT_TRUE(Platform->ImageStayedIntact);
}
