// The backend's whole-file read, on the system's own file calls.
#include "tests/gl/TestDataFiles.h"

#ifdef _WIN32
#include "Windows/CWin32Platform.h"
#else
#include "Sdl/CSdlPlatform.h"
#endif

#include <gtest/gtest.h>

#include <filesystem>

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
