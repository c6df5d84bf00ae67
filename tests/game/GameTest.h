#pragma once

#include "CMainController.h"
#include "tests/game/CRecordingVantor.h"
#include "tests/host/FakeGL.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <initializer_list>
#include <string>

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
    void Play(std::initializer_list<Key> keys = {})
    {
        Engine.Log.clear();
        Engine.KeyQueries.clear();
        Engine.Pressed = keys;
        Game.Frame();
        Engine.Pressed.clear();
    }

    void PlayFrames(int count)
    {
        for (int frame = 0; frame < count; ++frame)
            Play();
    }

    // The text the last frame drew at this position, or "" if none.
    std::string TextAt(int x, int y) const
    {
        const std::string tail = "\", " + std::to_string(x) + ", " + std::to_string(y) + ")";
        const std::string head = "DrawText(\"";
        for (const std::string& entry : Engine.Log)
            if (entry.starts_with(head) && entry.ends_with(tail))
                return entry.substr(head.size(), entry.size() - head.size() - tail.size());
        return "";
    }

    long Count(const std::string& prefix) const
    {
        return std::count_if(Engine.Log.begin(), Engine.Log.end(),
                             [&](const std::string& entry) { return entry.starts_with(prefix); });
    }

    std::int32_t NextOutcome(std::int32_t low, std::int32_t high)
    {
        EXPECT_EQ(low, 0);
        EXPECT_EQ(high, 4);
        if (Outcomes.empty())
        {
            ADD_FAILURE() << "The offering was taken when the test did not expect it";
            return 3;
        }
        const std::int32_t outcome = Outcomes.front();
        Outcomes.pop_front();
        return outcome;
    }

    CRecordingVantor Engine;
    std::deque<std::int32_t> Outcomes;
    CMainController Game{Engine, [this](std::int32_t low, std::int32_t high) { return NextOutcome(low, high); }};
    CMainController::SState& State = Game.GetState();
};
