// The backend's own: the window as the system sees it, the whole-file read on the system's own
// file calls, and the names the engine reads.
#include "tests/gl/GLTestSupport.h"
#include "tests/support/BmpWriter.h"
#include "tests/support/TemporaryPath.h"

#ifdef _WIN32
#include "Windows/CWin32Platform.h"
#elif !defined(__EMSCRIPTEN__)
#include "Sdl/CSdlPlatform.h"
#endif

#include <gtest/gtest.h>

#ifdef _WIN32
// The frame, which the display server under Wine does not show (the client area and the caption,
// which it does, are the e2e layer's): fixed, and centred by the rule that uses the adjusted bottom
// edge (client height plus the lower frame).
TEST(Window, FixedFrameCentredRoundTheClientArea)
{
    const HWND window = FindWindowW(L"VantorMainWindow", nullptr);
    RECT outer{};
    POINT origin{0, 0};
    ASSERT_TRUE(GetWindowRect(window, &outer) && ClientToScreen(window, &origin));
    // The system adds WS_CLIPSIBLINGS to every top-level window; the frame must not be sizeable.
    EXPECT_EQ(GetWindowLongW(window, GWL_STYLE) & 0x90CF0000l, 0x90CB0000l);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_GT(outer.right - outer.left, 800);
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - origin.y)) / 2);
}
#endif

// Not in a page, whose Data folder lies in memory, where a file of 4 GiB cannot be made.
#ifndef __EMSCRIPTEN__
TEST(DataFiles, WholeFilesAreReadWithTheZerosAskedForAndFailuresLeaveTheBytesAsTheyWere)
{
#ifdef _WIN32
    CWin32Platform platform{GetModuleHandleW(nullptr)};
    const EFileRead folderRead = EFileRead::NotFound; // Windows opens no folder as a file
#else
    CSdlPlatform platform;
    const EFileRead folderRead = EFileRead::ReadFailed;
#endif
    std::vector<std::uint8_t> file;
    for (int value = 0; value < 256 * 300; ++value)
        file.push_back(static_cast<std::uint8_t>(value ^ value >> 8));
    WriteDataFile("Bytes.bin", file);
    WriteDataFile("Empty.bin", std::vector<std::uint8_t>{});
    const CTemporaryPath huge(DataFilePath("Huge.bin")), folder(DataFilePath("Folder.bin"));
    WriteHugeDataFile("Huge.bin");
    std::filesystem::create_directory(folder.Get());
    auto padded = file;
    padded.resize(file.size() + 3, 0);
    const std::vector<std::uint8_t> before{9, 9};
    for (const auto& [name, zeros, outcome, expected] :
         {std::tuple{"Bytes.bin", 0, EFileRead::Ok, file}, {"Bytes.bin", 3, EFileRead::Ok, padded},
          {"Empty.bin", 1, EFileRead::Ok, {0}}, {"Empty.bin", 0, EFileRead::Ok, {}},
          {"Missing.bin", 1, EFileRead::NotFound, before}, {"Huge.bin", 1, EFileRead::TooLarge, before},
          {"Folder.bin", 0, folderRead, before}})
    {
        std::vector<std::uint8_t> bytes = before;
        EXPECT_EQ(platform.ReadDataFile(name, bytes, zeros), outcome) << name;
        // What a failed read leaves behind is not defined.
        EXPECT_TRUE(outcome == EFileRead::ReadFailed || bytes == expected)
            << name << ", " << zeros << " zeros: " << bytes.size() << " bytes";
    }
}
#endif

// A name that would leave the data folder finds nothing, even where a file lies at that place;
// folders inside it still work.
TEST(DataNames, OnlyNamesInsideTheDataFolderAreRead)
{
    const std::filesystem::path data = std::filesystem::path(DataFilePath("x")).parent_path();
    // Beside the data folder, which is no test's own.
    const CTemporaryPath outsideFile(data.parent_path() / "Outside.bmp");
    const std::filesystem::path& outside = outsideFile.Get();
    std::filesystem::create_directories(data / "Sub");
    WriteDataFile("Sub/Inside.bmp", MakeBmp({2, 2, 24}));
    std::filesystem::copy_file(data / "Sub/Inside.bmp", outside);
    Engine().LoadImage("Sub/Inside.bmp", false);
    EXPECT_EQ(Engine().GetTexture("Sub/Inside.bmp")->GetWidth(), 2);

    const std::string absolute = outside.string();
    const std::string drive =
        absolute.size() > 2 && absolute[1] == ':' ? absolute.substr(0, 2) + "Outside.bmp" : "C:Outside.bmp";
    for (const std::string& name : {std::string("../Outside.bmp"), std::string("..\\Outside.bmp"),
                                     std::string("Sub/../../Outside.bmp"), std::string(".."), absolute, drive})
    {
        EXPECT_EQ(ErrorOf([&] { Engine().LoadImage(name, false); }), "Image file not found: " + name);
        EXPECT_EQ(ErrorOf([&] { Engine().LoadFont(name); }), "Image file not found: " + name);
        EXPECT_EQ(ErrorOf([&] { Engine().LoadSound(name); }), "Sound file not found: " + name);
        EXPECT_EQ(ErrorOf([&] { Engine().LoadShader(name); }), "Shader file not found: " + name);
    }
}
