#include "tests/host/HostTest.h"

#include "Shared/CVantorException.h"

#include <stdexcept>

using StartUp = HostTest;

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

TEST_F(StartUp, InitialOpenGLStateAndViewInOrder)
{
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    const std::vector<std::string> expected{
        "PlatformStartUp Test game 800x600",
        "glMatrixMode(0x1701)", "glLoadIdentity()", "glMatrixMode(0x1700)", "glLoadIdentity()",
        "glClearColor(0, 0, 0, 1)", "glClearDepth(1)",
        "glEnable(0xBE2)", "glBlendFunc(0x302, 0x303)",
        "glEnable(0xB71)", "glDepthFunc(0x203)",
        "glEnable(0xBC0)", "glAlphaFunc(0x205, 0)",
        "glShadeModel(0x1D01)", "glHint(0xC50, 0x1102)",
        // The view: one unit per client pixel, y down, model-view mode restored.
        "glMatrixMode(0x1701)", "glTranslatef(-1, 1, 0)", "glScalef(0.0025, -0.00333333, 1)", "glMatrixMode(0x1700)",
        "Start"};
    ASSERT_GE(Log.size(), expected.size());
    EXPECT_EQ(std::vector<std::string>(Log.begin(), Log.begin() + static_cast<long>(expected.size())), expected);
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
    Configure = [](IVantor& engine) {
        engine.SetCaption("Test");
        engine.SetSize(800, 600);
        engine.SetUseShaders(true);
    };
    FakeGL::Version = "1.4 Mesa";
    ExpectRunFails<CVantorException>(*Application, "OpenGL 2.0 or higher is required.");

    for (const char* version : {"2.1 Mesa 22.3.6", "10.0"})
    {
        SetUp();
        Configure = [](IVantor& engine) {
            engine.SetCaption("Test");
            engine.SetSize(800, 600);
            engine.SetUseShaders(true);
        };
        FakeGL::Version = version;
        Platform->ThenMessage(CFakePlatform::Close());
        EXPECT_NO_THROW(Application->Run()) << version;
        EXPECT_EQ(Only({"GetGLProcAddress"}).size(), 16u) << version;
    }

    SetUp();
    Configure = [](IVantor& engine) {
        engine.SetCaption("Test");
        engine.SetSize(800, 600);
        engine.SetUseShaders(true);
    };
    FakeGL::Version = "OpenGL ES 3.2";
    EXPECT_THROW(Application->Run(), std::invalid_argument);
}

TEST_F(StartUp, EntryPointsLoadInOrderAndTheFirstMissingIsNamed)
{
    Configure = [](IVantor& engine) {
        engine.SetCaption("Test");
        engine.SetSize(800, 600);
        engine.SetUseShaders(true);
    };
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
