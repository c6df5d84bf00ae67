// Sound clips on the fake backend: the table, the messages, and when the player is stopped.
#include "tests/host/HostTest.h"

#include "Shared/CVantorException.h"
#include "tests/support/WavWriter.h"

#include <numeric>
#include <string>

namespace
{
// A valid clip whose bytes tell it apart: an odd-sized chunk of every byte value, then samples.
std::vector<std::uint8_t> Clip(std::uint8_t mark)
{
    std::vector<std::uint8_t> everyByte(257);
    std::iota(everyByte.begin(), everyByte.end(), mark);
    SWavSpec layout;
    layout.ExtraChunks = {{"junk", everyByte}};
    layout.Samples = Samples16({0, 1000, -1000, static_cast<std::int16_t>(mark)});
    return MakeWav(layout);
}

class Sounds : public HostTest
{
protected:
    void File(const std::string& name, std::vector<std::uint8_t> bytes, EFileRead outcome = EFileRead::Ok)
    {
        Platform->DataFiles[name] = {std::move(bytes), outcome};
    }
};
} // namespace

TEST_F(Sounds, TableKeepsTheFileBytesExactlyAndWorksBeforeStartUp)
{
    const auto clip = Clip(7);
    File("Ping.wav", clip);
    Application->LoadSound("Ping.wav");
    Application->PlaySound("Ping.wav");
    EXPECT_EQ(Only({"ReadDataFile", "PlaySoundImage"}),
              (std::vector<std::string>{"ReadDataFile Ping.wav +0", "PlaySoundImage " + std::to_string(clip.size())}));
    EXPECT_EQ(Platform->PlayedBytes, clip);
    // The player is handed the table's own bytes, not a copy made for the call.
    const auto* played = Platform->PlayingImage.data();
    Application->PlaySound("Ping.wav");
    EXPECT_EQ(Platform->PlayingImage.data(), played);
    EXPECT_EQ(Count("PlaySoundImage " + std::to_string(clip.size())), 2);
}

TEST_F(Sounds, EachFailureHasItsMessageAndLeavesTheTableAsItWas)
{
    const auto clip = Clip(1);
    File("Ping.wav", clip);
    Application->LoadSound("Ping.wav");

    File("Ping.wav", Clip(2), EFileRead::ReadFailed);
    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->LoadSound("Ping.wav"); }), "Sound file could not be read: Ping.wav");
    File("Ping.wav", {}, EFileRead::TooLarge);
    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->LoadSound("Ping.wav"); }), "Sound file too large (> 4GiB): Ping.wav");
    Platform->DataFiles.erase("Ping.wav");
    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->LoadSound("Ping.wav"); }), "Sound file not found: Ping.wav");

    Application->PlaySound("Ping.wav");
    EXPECT_EQ(Platform->PlayedBytes, clip);
    EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->PlaySound("Pong.wav"); }), "Sound not loaded: Pong.wav");
    EXPECT_EQ(Count("StopSound"), 0);
}

TEST_F(Sounds, ReloadingThePlayingNameStopsItBeforeItsImageIsReplaced)
{
    File("Ping.wav", Clip(1));
    File("Pong.wav", Clip(2));
    Application->LoadSound("Ping.wav");
    Application->LoadSound("Pong.wav");
    Application->PlaySound("Ping.wav");

    // Another name, or a failed load, leaves the clip playing.
    Application->LoadSound("Pong.wav");
    File("Ping.wav", Clip(3), EFileRead::ReadFailed);
    EXPECT_THROW(Application->LoadSound("Ping.wav"), CVantorException);
    EXPECT_EQ(Count("StopSound"), 0);

    File("Ping.wav", Clip(3));
    Application->LoadSound("Ping.wav");
    EXPECT_EQ(Only({"ReadDataFile Ping", "StopSound"}).back(), "StopSound");
    EXPECT_TRUE(Platform->ImageStayedIntact);
    Application->PlaySound("Ping.wav");
    EXPECT_EQ(Platform->PlayedBytes, Clip(3));

    // Once another clip has cut it off, reloading it stops nothing.
    Application->PlaySound("Pong.wav");
    Application->LoadSound("Ping.wav");
    EXPECT_EQ(Count("StopSound"), 1);
    EXPECT_TRUE(Platform->ImageStayedIntact);
}

TEST_F(Sounds, ImagesWhoseSizesPointPastTheirEndNeverReachThePlayer)
{
    File("Ping.wav", Clip(1));
    auto beyond = Clip(2);
    beyond[beyond.size() - 10] = 0xFF; // the data chunk's size, now far past the end
    File("Beyond.wav", beyond);
    File("Empty.wav", {});
    File("Noise.wav", {'R', 'I', 'F', 'F', 0x10, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't'});
    for (const char* name : {"Ping.wav", "Beyond.wav", "Empty.wav", "Noise.wav"})
        Application->LoadSound(name);

    Application->PlaySound("Ping.wav");
    for (const char* name : {"Beyond.wav", "Empty.wav", "Noise.wav"})
        EXPECT_EQ(ErrorOf<CVantorException>([&] { Application->PlaySound(name); }), "no error") << name;
    // Like any clip the player cannot play, the first still cuts off the one playing.
    EXPECT_EQ(Only({"PlaySoundImage", "StopSound"}),
              (std::vector<std::string>{"PlaySoundImage " + std::to_string(Clip(1).size()), "StopSound"}));
}

TEST_F(Sounds, ShutdownAndTheApplicationGoingStopThePlayerFirst)
{
    File("Ping.wav", Clip(1));
    OnStart = [](CScriptedController& game) {
        game.Engine.LoadSound("Ping.wav");
        game.Engine.PlaySound("Ping.wav");
    };
    Platform->ThenMessage(CFakePlatform::Close());
    Application->Run();
    EXPECT_EQ(Only({"PlaySoundImage", "DeleteContexts", "StopSound", "PostQuit"}),
              (std::vector<std::string>{"PlaySoundImage " + std::to_string(Clip(1).size()), "DeleteContexts",
                                        "StopSound", "PostQuit"}));

    // Without a shutdown (an error on the way out), the clip is stopped before the table goes.
    SetUp();
    File("Ping.wav", Clip(1));
    Application->LoadSound("Ping.wav");
    Application->PlaySound("Ping.wav");
    Application.reset();
    EXPECT_EQ(Count("StopSound"), 1);
    EXPECT_EQ(Count("StillPlaying"), 0);
}
