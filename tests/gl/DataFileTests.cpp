// The backend's whole-file read, on the system's own file calls, and the names the engine reads.
#include "Shared/CVantorException.h"
#include "tests/gl/GLTestMain.h"
#include "tests/gl/TestDataFiles.h"
#include "tests/support/BmpWriter.h"

#ifdef _WIN32
#include "Windows/CWin32Platform.h"
#else
#include "Sdl/CSdlPlatform.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace
{
class DataFiles : public ::testing::Test
{
protected:
#ifdef _WIN32
    CWin32Platform Platform{GetModuleHandleW(nullptr)};
#else
    CSdlPlatform Platform;
#endif
};
} // namespace

TEST_F(DataFiles, WholeFileIsReadWithTheZerosAskedFor)
{
    std::vector<std::uint8_t> file;
    for (int round = 0; round < 300; ++round)
        for (int value = 0; value < 256; ++value)
            file.push_back(static_cast<std::uint8_t>(value ^ round));
    WriteDataFile("Bytes.bin", file);

    std::vector<std::uint8_t> bytes{9, 9};
    EXPECT_EQ(Platform.ReadDataFile("Bytes.bin", bytes, 0), EFileRead::Ok);
    EXPECT_EQ(bytes, file);
    EXPECT_EQ(Platform.ReadDataFile("Bytes.bin", bytes, 3), EFileRead::Ok);
    ASSERT_EQ(bytes.size(), file.size() + 3);
    EXPECT_TRUE(std::equal(file.begin(), file.end(), bytes.begin()));
    EXPECT_EQ(bytes[file.size()], 0);
    EXPECT_EQ(bytes[file.size() + 2], 0);

    WriteDataFile("Empty.bin", std::vector<std::uint8_t>{});
    EXPECT_EQ(Platform.ReadDataFile("Empty.bin", bytes, 1), EFileRead::Ok);
    EXPECT_EQ(bytes, std::vector<std::uint8_t>{0});
    EXPECT_EQ(Platform.ReadDataFile("Empty.bin", bytes, 0), EFileRead::Ok);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(DataFiles, FailuresLeaveTheBytesAsTheyWere)
{
    std::vector<std::uint8_t> bytes{1, 2, 3};
    EXPECT_EQ(Platform.ReadDataFile("Missing.bin", bytes, 1), EFileRead::NotFound);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));

    WriteHugeDataFile("Huge.bin");
    EXPECT_EQ(Platform.ReadDataFile("Huge.bin", bytes, 1), EFileRead::TooLarge);
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{1, 2, 3}));
    RemoveDataFile("Huge.bin");

    RemoveDataFile("Folder.bin");
    std::filesystem::create_directory(DataFilePath("Folder.bin"));
#ifdef _WIN32
    // Windows opens no folder as a file.
    EXPECT_EQ(Platform.ReadDataFile("Folder.bin", bytes, 0), EFileRead::NotFound);
#else
    EXPECT_EQ(Platform.ReadDataFile("Folder.bin", bytes, 0), EFileRead::ReadFailed);
#endif
    RemoveDataFile("Folder.bin");
}

// A name that would leave the data folder finds nothing, even where a file lies at that place;
// folders inside it still work.
TEST(DataNames, OnlyNamesInsideTheDataFolderAreRead)
{
    const std::vector<std::uint8_t> picture = MakeBmp({2, 2, 24});
    const std::filesystem::path data = std::filesystem::path(DataFilePath("x")).parent_path();
    const std::filesystem::path outside = data.parent_path() / "Outside.bmp";
    std::ofstream(outside, std::ios::binary)
        .write(reinterpret_cast<const char*>(picture.data()), static_cast<std::streamsize>(picture.size()));
    std::filesystem::create_directories(data / "Sub");
    WriteDataFile("Sub/Inside.bmp", picture);
    Engine().LoadImage("Sub/Inside.bmp", false);
    EXPECT_EQ(Engine().GetTexture("Sub/Inside.bmp")->GetWidth(), 2);

    const std::string absolute = outside.string();
    const std::string drive =
        absolute.size() > 2 && absolute[1] == ':' ? absolute.substr(0, 2) + "Outside.bmp" : "C:Outside.bmp";
    for (const std::string& name : {std::string("../Outside.bmp"), std::string("..\\Outside.bmp"),
                                     std::string("Sub/../../Outside.bmp"), std::string(".."), absolute, drive})
    {
        const auto refused = [&](auto load, const char* message) {
            try
            {
                load();
                ADD_FAILURE() << name << " was read";
            }
            catch (const CVantorException& error)
            {
                EXPECT_EQ(error.what(), message + name);
            }
        };
        refused([&] { Engine().LoadImage(name, false); }, "Image file not found: ");
        refused([&] { Engine().LoadFont(name); }, "Image file not found: ");
        refused([&] { Engine().LoadSound(name); }, "Sound file not found: ");
        refused([&] { Engine().LoadShader(name); }, "Shader file not found: ");
    }
    std::filesystem::remove(outside);
}
