#include "tests/host/HostTest.h"

#include "Shared/CVantorException.h"

#include <stdexcept>

using StartUp = HostTest;

namespace
{
void WithShaders(IVantor& engine)
{
    engine.SetCaption("Test");
    engine.SetSize(800, 600);
    engine.SetUseShaders(true);
}
} // namespace

TEST_F(StartUp, CaptionIsCheckedBeforeSizeAndBeforeAnyWindow)
{
    Configure = [](IVantor&) {};
    ExpectRunFails<CVantorException>(*Application, "Program forgot to call SetCaption()");
    EXPECT_TRUE(Only({"PlatformStartUp", "Start"}).empty());
}

TEST_F(StartUp, MissingSizeIsRefusedAndMinusOneWidthCountsAsMissing)
{
    Configure = [](IVantor& engine) { engine.SetCaption("Test"); };
    ExpectRunFails<CVantorException>(*Application, "Program forgot to call SetSize()");

    SetUp();
    Configure = [](IVantor& engine) {
        engine.SetCaption("Test");
        engine.SetSize(-1, 600);
    };
    ExpectRunFails<CVantorException>(*Application, "Program forgot to call SetSize()");
    EXPECT_TRUE(Only({"PlatformStartUp"}).empty());
}

TEST_F(StartUp, ZeroHeightPassesAndTheWindowGetsCaptionAndSize)
{
    Configure = [](IVantor& engine) {
        engine.SetCaption("Zero high");
        engine.SetSize(800, 0);
    };
    OnStart = [](CScriptedController& game) {
        // Too late to matter: the window was made from the first values.
        game.Engine.SetCaption("Later");
        game.Engine.SetSize(10, 10);
    };
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Only({"PlatformStartUp"}), std::vector<std::string>{"PlatformStartUp Zero high 800x0"});
}

TEST_F(StartUp, WithoutShadersTheVersionIsNeverRead)
{
    FakeGL::Version = "1.1 Ancient";
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_TRUE(Only({"glGetString", "GetGLProcAddress"}).empty());
}

TEST_F(StartUp, ShaderVersionCheckTakesTheLeadingDigits)
{
    Configure = WithShaders;
    FakeGL::Version = "1.4 Mesa";
    ExpectRunFails<CVantorException>(*Application, "OpenGL 2.0 or higher is required.");

    for (const char* version : {"2.1 Mesa 22.3.6", "10.0"})
    {
        SetUp();
        Configure = WithShaders;
        FakeGL::Version = version;
        Platform->ThenMessage(CFakePlatform::Close());
        EXPECT_NO_THROW(Application->Run()) << version;
        EXPECT_EQ(Only({"GetGLProcAddress"}).size(), 16u) << version;
    }

    SetUp();
    Configure = WithShaders;
    FakeGL::Version = "OpenGL ES 3.2";
    EXPECT_THROW(Application->Run(), std::invalid_argument);
}

TEST_F(StartUp, EntryPointsLoadInOrderAndTheFirstMissingIsNamed)
{
    Configure = WithShaders;
    Platform->MissingEntryPoints = {"glUniform2f", "glGetProgramInfoLog"};
    ExpectRunFails<CVantorException>(*Application, "Failed to load OpenGL function: glGetProgramInfoLog");
    const std::vector<std::string> expected{
        "GetGLProcAddress glAttachShader",  "GetGLProcAddress glCompileShader", "GetGLProcAddress glCreateProgram",
        "GetGLProcAddress glCreateShader",  "GetGLProcAddress glDeleteProgram", "GetGLProcAddress glDeleteShader",
        "GetGLProcAddress glGetProgramInfoLog"};
    EXPECT_EQ(Only({"GetGLProcAddress"}), expected);
}

TEST(GLVersion, MajorVersionIsTheLeadingDigitRun)
{
    EXPECT_EQ(ParseGLMajorVersion("1.4"), 1);
    EXPECT_EQ(ParseGLMajorVersion("2.1 Mesa 22.3.6"), 2);
    EXPECT_EQ(ParseGLMajorVersion("10.0"), 10);
    EXPECT_EQ(ParseGLMajorVersion("4"), 4);
    EXPECT_THROW(ParseGLMajorVersion("Mesa 2.1"), std::invalid_argument);
    EXPECT_THROW(ParseGLMajorVersion(""), std::invalid_argument);
    EXPECT_THROW(ParseGLMajorVersion(nullptr), std::invalid_argument);
    EXPECT_THROW(ParseGLMajorVersion("99999999999999999999.0"), std::out_of_range);
}
