// Fragment-shader programs on the fake OpenGL library: the calls, their order and what the tables keep.
#include "tests/host/HostTest.h"

#include "Host/GLShaderFunctions.h"
#include "Shared/CVantorException.h"

#include <string>

namespace
{
std::vector<std::uint8_t> Bytes(const std::string& text)
{
    return {text.begin(), text.end()};
}

const CVector A(10, 20, 0.5f);
const CVector B(10, 60, 0.5f);
const CVector C(70, 60, 0.5f);
const CVector D(70, 20, 0.5f);

class Shaders : public HostTest
{
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        FakeGL::ResetShaderObjects();
        // As on a thread that has never started an engine.
        GL20::glAttachShader = nullptr;
        GL20::glCompileShader = nullptr;
        GL20::glCreateProgram = nullptr;
        GL20::glCreateShader = nullptr;
        GL20::glDeleteProgram = nullptr;
        GL20::glDeleteShader = nullptr;
        GL20::glGetProgramInfoLog = nullptr;
        GL20::glGetProgramiv = nullptr;
        GL20::glGetShaderInfoLog = nullptr;
        GL20::glGetShaderiv = nullptr;
        GL20::glGetUniformLocation = nullptr;
        GL20::glLinkProgram = nullptr;
        GL20::glShaderSource = nullptr;
        GL20::glUniform1f = nullptr;
        GL20::glUniform2f = nullptr;
        GL20::glUseProgram = nullptr;
        Configure = [](IVantor& engine) {
            engine.SetCaption("Shader game");
            engine.SetSize(800, 600);
            engine.SetUseShaders(true);
        };
    }

    // Runs the game with this as its Start, then closes the window.
    void RunGame(const std::function<void(IVantor&)>& start)
    {
        OnStart = [start](CScriptedController& game) { start(game.Engine); };
        Platform->ThenMessage(CFakePlatform::Close());
        Application->Run();
    }

    void WriteFile(const std::string& name, const std::string& text,
                   EFileRead outcome = EFileRead::Ok)
    {
        Platform->DataFiles[name] = {Bytes(text), outcome};
    }

    // The log from the entry to the first one after it that begins with the prefix, both included.
    std::vector<std::string> From(const std::string& first, const std::string& lastPrefix) const
    {
        auto begin = std::find(Log.begin(), Log.end(), first);
        auto end = std::find_if(begin, Log.end(), [&](const std::string& entry) {
            return &entry != &*begin && entry.rfind(lastPrefix, 0) == 0;
        });
        return {begin, end == Log.end() ? end : end + 1};
    }

    static void Draw(IVantor& engine, std::string_view name)
    {
        engine.DrawShaderQuad(A, 0.0f, 0.0f, B, 0.0f, 1.0f, C, 1.0f, 1.0f, D, 1.0f, 0.0f, name);
    }
};
} // namespace

TEST_F(Shaders, LoadingTakesItsStepsInOrderAndShutdownDeletesProgramsThenShaders)
{
    WriteFile("Glow.frag", "void main() { gl_FragColor = vec4(1.0); }");
    WriteFile("Dim.frag", "void main() { gl_FragColor = vec4(0.5); }");
    RunGame([](IVantor& engine) {
        engine.LoadShader("Glow.frag");
        engine.LoadShader("Dim.frag");
    });
    EXPECT_EQ(Only({"ReadDataFile", "glCreate", "glShaderSource", "glCompileShader", "glGet", "glAttachShader",
                    "glLinkProgram"}),
              (std::vector<std::string>{
                  "glGetString(0x1F02)",
                  "ReadDataFile Glow.frag +1", "glCreateShader(0x8B30) = 1", "glShaderSource(1, 1, no lengths)",
                  "glCompileShader(1)", "glGetShaderiv(1, 0x8B81)", "glCreateProgram() = 101",
                  "glAttachShader(101, 1)", "glLinkProgram(101)", "glGetProgramiv(101, 0x8B82)",
                  "ReadDataFile Dim.frag +1", "glCreateShader(0x8B30) = 2", "glShaderSource(2, 1, no lengths)",
                  "glCompileShader(2)", "glGetShaderiv(2, 0x8B81)", "glCreateProgram() = 102",
                  "glAttachShader(102, 2)", "glLinkProgram(102)", "glGetProgramiv(102, 0x8B82)"}));
    EXPECT_EQ(FakeGL::ShaderSources[1], "void main() { gl_FragColor = vec4(1.0); }");

    // Every program before any shader, all while the context is still there.
    const auto shutdown = Only({"glDeleteProgram", "glDeleteShader", "DeleteContexts"});
    ASSERT_EQ(shutdown.size(), 5u);
    EXPECT_EQ(shutdown[0].rfind("glDeleteProgram(10", 0), 0u);
    EXPECT_EQ(shutdown[1].rfind("glDeleteProgram(10", 0), 0u);
    EXPECT_NE(shutdown[0], shutdown[1]);
    EXPECT_EQ(shutdown[2].rfind("glDeleteShader(", 0), 0u);
    EXPECT_EQ(shutdown[3].rfind("glDeleteShader(", 0), 0u);
    EXPECT_NE(shutdown[2], shutdown[3]);
    EXPECT_EQ(shutdown[4], "DeleteContexts");
}

TEST_F(Shaders, SourceEndsAtItsFirstZeroAndAnEmptyFileIsAnEmptySource)
{
    Platform->DataFiles["Zero.frag"] = {{'v', 'o', 'i', 'd', 0, 'x', 'y'}, EFileRead::Ok};
    WriteFile("Empty.frag", "");
    // A read that fails part way is not looked at: what was read is compiled.
    WriteFile("Short.frag", "void main", EFileRead::ReadFailed);
    RunGame([](IVantor& engine) {
        engine.LoadShader("Zero.frag");
        engine.LoadShader("Empty.frag");
        engine.LoadShader("Short.frag");
    });
    EXPECT_EQ(FakeGL::ShaderSources[1], "void");
    EXPECT_EQ(FakeGL::ShaderSources[2], "");
    EXPECT_EQ(FakeGL::ShaderSources[3], "void main");
    EXPECT_EQ(Count("glCreateProgram() = 103"), 1);
}

TEST_F(Shaders, EachFailureHasItsMessageWithTheNameAsPassed)
{
    WriteFile("Broken.frag", "compile error");
    WriteFile("Lonely.frag", "link error");
    Platform->DataFiles["Huge.frag"] = {{}, EFileRead::TooLarge};
    RunGame([](IVantor& engine) {
        EXPECT_EQ(ErrorOf<CVantorException>([&] { engine.LoadShader("Missing.frag"); }), "Shader file not found: Missing.frag");
        EXPECT_EQ(ErrorOf<CVantorException>([&] { engine.LoadShader("Huge.frag"); }), "Shader file too large (> 4GiB): Huge.frag");
        EXPECT_EQ(ErrorOf<CVantorException>([&] { engine.LoadShader("Broken.frag"); }), "Shader compile failed: Broken.frag");
        EXPECT_EQ(ErrorOf<CVantorException>([&] { engine.LoadShader("Lonely.frag"); }),
                  "Program link failed for shader: Lonely.frag");
        EXPECT_EQ(ErrorOf<CVantorException>([&] { Draw(engine, "Lonely.frag"); }), "Shader not loaded: Lonely.frag");
        EXPECT_EQ(ErrorOf<CVantorException>([&] { Draw(engine, "Missing.frag"); }), "Shader not loaded: Missing.frag");
    });
    // What each failure made is deleted at once, and nothing is left for shutdown.
    EXPECT_EQ(Only({"glDelete"}),
              (std::vector<std::string>{"glDeleteShader(1)", "glDeleteProgram(101)", "glDeleteShader(2)"}));
    EXPECT_EQ(Count("glUseProgram(101)"), 0);
}

TEST_F(Shaders, StatusesThatAreNeverWrittenCountAsFailures)
{
    WriteFile("Glow.frag", "void main() {}");
    FakeGL::WriteStatus = false;
    RunGame([](IVantor& engine) {
        EXPECT_EQ(ErrorOf<CVantorException>([&] { engine.LoadShader("Glow.frag"); }), "Shader compile failed: Glow.frag");
    });
}

TEST_F(Shaders, RefusedWithShadersOffOrNeverLoadedBeforeAnyFileIsRead)
{
    WriteFile("Glow.frag", "void main() {}");
    Configure = [](IVantor& engine) {
        engine.SetCaption("Shader game");
        engine.SetSize(800, 600);
    };
    RunGame([](IVantor& engine) {
        EXPECT_EQ(ErrorOf<CVantorException>([&] { engine.LoadShader("Glow.frag"); }), "Can't load shaders when UseShaders is false");
        // Too late: the entry points are loaded only at start-up.
        engine.SetUseShaders(true);
        EXPECT_EQ(ErrorOf<CVantorException>([&] { engine.LoadShader("Glow.frag"); }), "Shaders were not enabled at start-up");
        EXPECT_EQ(ErrorOf<CVantorException>([&] { Draw(engine, "Glow.frag"); }), "Shader not loaded: Glow.frag");
    });
    EXPECT_TRUE(Only({"ReadDataFile", "GetGLProcAddress", "glCreate", "glUseProgram", "glDelete"}).empty());
}

TEST_F(Shaders, ReloadingDeletesWhatItReplacesOnlyOnceItSucceeds)
{
    WriteFile("Glow.frag", "void main() {}");
    RunGame([this](IVantor& engine) {
        engine.LoadShader("Glow.frag");
        engine.LoadShader("Glow.frag");
        EXPECT_EQ(Only({"glDelete"}), (std::vector<std::string>{"glDeleteShader(1)", "glDeleteProgram(101)"}));

        // A compile failure changes nothing.
        WriteFile("Glow.frag", "compile error");
        EXPECT_EQ(ErrorOf<CVantorException>([&] { engine.LoadShader("Glow.frag"); }), "Shader compile failed: Glow.frag");
        Draw(engine, "Glow.frag");
        EXPECT_EQ(Count("glUseProgram(102)"), 1);

        // So does a link failure: the shader and the program that drew before still draw.
        WriteFile("Glow.frag", "link error");
        EXPECT_EQ(ErrorOf<CVantorException>([&] { engine.LoadShader("Glow.frag"); }), "Program link failed for shader: Glow.frag");
        Draw(engine, "Glow.frag");
        EXPECT_EQ(Count("glUseProgram(102)"), 2);
    });
    // 1 and 101 replaced; 3, then 103 and 4, deleted by their failures; 102 and 2 at shutdown.
    EXPECT_EQ(Only({"glDelete"}), (std::vector<std::string>{"glDeleteShader(1)", "glDeleteProgram(101)",
                                                            "glDeleteShader(3)", "glDeleteProgram(103)",
                                                            "glDeleteShader(4)", "glDeleteProgram(102)",
                                                            "glDeleteShader(2)"}));
}

TEST_F(Shaders, QuadIsCulledDrawnWithCoordinatesAsGivenAndProgramZeroAfter)
{
    WriteFile("Glow.frag", "void main() {}");
    RunGame([](IVantor& engine) {
        engine.LoadShader("Glow.frag");
        engine.DrawShaderQuad(A, 0.25f, 0.5f, B, 2.0f, -1.0f, C, 0.0f, 0.0f, D, 1.0f, 1.0f, "Glow.frag");
    });
    // No texture, colour or texturing state of its own: those stay as the drawing before left them.
    EXPECT_EQ(From("glUseProgram(101)", "glUseProgram("),
              (std::vector<std::string>{"glUseProgram(101)", "glEnable(0xB44)", "glBegin(0x7)",
                                        "glTexCoord2f(0.25, 0.5)", "glVertex3f(10, 20, 0.5)",
                                        "glTexCoord2f(2, -1)", "glVertex3f(10, 60, 0.5)",
                                        "glTexCoord2f(0, 0)", "glVertex3f(70, 60, 0.5)",
                                        "glTexCoord2f(1, 1)", "glVertex3f(70, 20, 0.5)",
                                        "glEnd()", "glUseProgram(0)"}));
}

TEST_F(Shaders, ShutdownDeletesWhatWasLoadedEvenWithShadersSwitchedOffSince)
{
    WriteFile("Glow.frag", "void main() {}");
    RunGame([](IVantor& engine) {
        engine.LoadShader("Glow.frag");
        engine.SetUseShaders(false);
    });
    EXPECT_EQ(Only({"glDelete", "DeleteContexts"}),
              (std::vector<std::string>{"glDeleteProgram(101)", "glDeleteShader(1)", "DeleteContexts"}));
}

// Names that find nothing, for each kind of asset: a file that is not there, and a name loaded
// under another case, which is another name.
TEST_F(Shaders, MissingAndWrongCaseNamesOfEveryKindAreRefusedByName)
{
    Platform->Pictures["Font.bmp"] = CFakePlatform::Picture24(95 * 2, 2, [](std::int32_t x, std::int32_t y) {
        return x % 2 == 1 && y == 1 ? 0x00FF00u : 0xFFFFFFu;
    });
    Platform->Pictures["Picture.bmp"] = Platform->Pictures["Font.bmp"];
    WriteFile("Glow.frag", "void main() {}");
    Platform->DataFiles["Ping.wav"] = {{'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, EFileRead::Ok};
    RunGame([](IVantor& engine) {
        engine.LoadImage("Picture.bmp", false);
        engine.LoadFont("Font.bmp");
        engine.LoadShader("Glow.frag");
        engine.LoadSound("Ping.wav");
        const std::pair<std::function<void()>, const char*> rows[] = {
            {[&] { engine.LoadImage("Missing.bmp", true); }, "Image file not found: Missing.bmp"},
            {[&] { engine.LoadFont("Missing.bmp"); }, "Image file not found: Missing.bmp"},
            {[&] { engine.LoadShader("Missing.frag"); }, "Shader file not found: Missing.frag"},
            {[&] { engine.LoadSound("Missing.wav"); }, "Sound file not found: Missing.wav"},
            {[&] { engine.GetTexture("picture.bmp"); }, "Texture not loaded: picture.bmp"},
            {[&] { engine.GetTexture("Font.bmp"); }, "Texture not loaded: Font.bmp"},
            {[&] { engine.SetFont("FONT.BMP"); }, "Font not loaded: FONT.BMP"},
            {[&] { engine.SetFont("Picture.bmp"); }, "Font not loaded: Picture.bmp"},
            {[&] { Draw(engine, "glow.frag"); }, "Shader not loaded: glow.frag"},
            {[&] { engine.PlaySound("ping.wav"); }, "Sound not loaded: ping.wav"},
        };
        for (const auto& [call, message] : rows)
            EXPECT_EQ(ErrorOf<CVantorException>(call), message);
        // The names as loaded still work.
        engine.GetTexture("Picture.bmp");
        engine.SetFont("Font.bmp");
        Draw(engine, "Glow.frag");
        engine.PlaySound("Ping.wav");
    });
    EXPECT_EQ(Count("glUseProgram(101)"), 1);
}
