#pragma once

#include "CMainController.h"
#include "tests/game/CRecordingVantor.h"
#include "tests/host/FakeGL.h"

#include <algorithm>
#include <deque>
#include <ostream>
#include <string>

using SState = CMainController::SState;

inline void PrintTo(const SState& s, std::ostream* out)
{
    *out << "{Winner " << s.Winner << ", red " << s.RedLumber << "/" << s.RedProgress << "/" << s.RedEfficiency
         << (s.RedHalted ? " halted " : " ") << s.RedHaltFrames << ", blue " << s.BlueLumber << "/" << s.BlueProgress
         << "/" << s.BlueEfficiency << (s.BlueHalted ? " halted " : " ") << s.BlueHaltFrames << ", Favour "
         << s.Favour << " tick " << s.FavourTick << ", mystery " << s.MysteryReady << " " << s.MysteryCountdown << "}";
}

// A started game on the recording engine, with the offering's outcomes scripted by the test. After
// each Play the log holds that frame alone, the fake OpenGL calls included.
class GameTest : public ::testing::Test
{
protected:
    GameTest()
    {
        FakeGL::Log = &Engine.Log;
        Game.Start();
    }
    ~GameTest() override { FakeGL::Log = nullptr; }

    // One frame, with these keys pressed since the previous one.
    void Play(std::set<Key> keys = {})
    {
        Engine.Log.clear();
        Engine.KeyQueries.clear();
        Engine.Pressed = std::move(keys);
        Game.Frame();
    }

    // The text the last frame drew at this position, or "" if none.
    std::string TextAt(int x, int y) const
    {
        const std::string head = "DrawText(\"";
        const std::string tail = "\", " + std::to_string(x) + ", " + std::to_string(y) + ")";
        for (const std::string& entry : Engine.Log)
            if (entry.starts_with(head) && entry.ends_with(tail))
                return entry.substr(head.size(), entry.size() - head.size() - tail.size());
        return "";
    }

    long Count(const std::string& prefix) const
    {
        return std::ranges::count_if(Engine.Log, [&](const auto& entry) { return entry.starts_with(prefix); });
    }

    CRecordingVantor Engine;
    std::deque<std::int32_t> Outcomes;
    CMainController Game{Engine, [this](std::int32_t low, std::int32_t high) {
                             EXPECT_TRUE(low == 0 && high == 4 && !Outcomes.empty()) << "an unexpected draw";
                             const std::int32_t outcome = Outcomes.empty() ? 3 : Outcomes.front();
                             Outcomes.erase(Outcomes.begin(), Outcomes.begin() + (Outcomes.empty() ? 0 : 1));
                             return outcome;
                         }};
    SState& State = Game.GetState();
};
