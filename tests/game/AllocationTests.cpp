// Counts the heap allocations made while the game runs a frame: the game must make none.
#include "CMainController.h"
#include "tests/game/CRecordingVantor.h"

#include <cstdlib>
#include <new>

namespace
{
bool Counting = false;
long Allocations = 0;
} // namespace

void* operator new(std::size_t size)
{
    Allocations += Counting ? 1 : 0;
    void* memory = std::malloc(size == 0 ? 1 : size);
    return memory != nullptr ? memory : throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

TEST(GameAllocations, FramesAllocateNothing)
{
    // The game's own random source, so that taking the offering is measured too.
    CRecordingVantor engine;
    CMainController game(engine);
    game.Start();
    // Numbers long enough that no text fits in a string's own small buffer.
    game.GetState() = {.RedLumber = 1000000000, .BlueLumber = 1000000000, .Favour = -1e9, .MysteryReady = true};
    engine.Pressed = {Key::Space, Key::A, Key::L};
    engine.Quiet = true;

    Counting = true;
    game.Frame();
    game.GetState().Winner = 1;
    game.Frame();
    Counting = false;

    EXPECT_EQ(Allocations, 0);
    EXPECT_FALSE(game.GetState().MysteryReady);
}
