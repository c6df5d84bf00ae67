#pragma once

#include "Vantor/IMainController.h"
#include "Vantor/IVantor.h"

#include <cstdint>
#include <functional>
#include <random>

// A uniform draw from [low, high) on this thread's own generator, seeded once on first use.
std::int32_t RandomInt(std::int32_t low, std::int32_t high);
// The same draw from a given generator: bounds of equal-sized buckets, so no value is favoured.
std::int32_t RandomIntFrom(std::mt19937& generator, std::int32_t low, std::int32_t high);

// Arborath: two players at one keyboard pull the shared favour towards their side with lumber.
class CMainController final : public IMainController
{
public:
    // Where the mystery offering's outcome comes from; tests put a script here.
    using RandomSource = std::function<std::int32_t(std::int32_t low, std::int32_t high)>;

    // Everything the rules change, open so that tests can set up a position without playing it.
    struct SState
    {
        std::int32_t Winner = 0; // 1 red, 2 blue
        std::int32_t RedLumber = 20;
        std::int32_t RedProgress = 0;
        std::int32_t BlueLumber = 20;
        std::int32_t BlueProgress = 0;
        std::int32_t RedEfficiency = 100;
        bool RedHalted = false;
        std::int32_t RedHaltFrames = 0;
        std::int32_t BlueEfficiency = 100;
        bool BlueHalted = false;
        std::int32_t BlueHaltFrames = 0;
        double Favour = 0.0; // negative favours red
        std::int32_t FavourTick = 0;
        bool MysteryReady = false;
        std::int32_t MysteryCountdown = 450;

        bool operator==(const SState&) const = default;
    };

    explicit CMainController(IVantor& engine, RandomSource random = &::RandomInt);

    void Start() override;
    void Reserved1(std::int32_t, std::int32_t) override {}
    void Frame() override;
    void FocusLost() override {}
    void FocusGained() override {}
    void KeyDown(Key) override {}
    void KeyUp(Key) override {}
    void Reserved7(std::int32_t) override {}

    SState& GetState() { return State; }

private:
    void Update();
    void Draw();
    void DrawWinner();
    std::int32_t RandomInt(std::int32_t low, std::int32_t high) { return Random(low, high); }

    IVantor& Engine;
    SState State;
    RandomSource Random;
};
