// Arborath: the rules, the playing screen and the winner screen.
#include "CMainController.h"

#include "Vantor/GL.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <chrono>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <utility>

#ifdef _WIN32
#include <process.h>
#define VANTOR_PROCESS_ID _getpid
#else
#include <unistd.h>
#define VANTOR_PROCESS_ID getpid
#endif

namespace
{
constexpr std::int32_t ActionPrice = 5;
constexpr double SacrificePull = 2.0;
constexpr std::int32_t TradeGain = 4;
constexpr std::int32_t ProgressPerLumber = 2500;
constexpr std::int32_t FavourPeriod = 30;
constexpr double FavourGrowth = 1.02;
constexpr double WinThreshold = 100.0;
constexpr std::int32_t MysteryInterval = 450;
constexpr std::int32_t HaltLength = 300;
constexpr double CalmFactor = 0.75;

constexpr std::int32_t ViewWidth = 800;
constexpr std::int32_t ViewHeight = 600;
constexpr std::string_view FontName = "Lucida Console_14.bmp";

// Folds thread, process and clock into one seed, so that every game sees a sequence of its own.
std::uint32_t MakeSeed()
{
    const std::uint64_t parts[] = {
        static_cast<std::uint64_t>(std::hash<std::thread::id>{}(std::this_thread::get_id())),
        static_cast<std::uint64_t>(VANTOR_PROCESS_ID()),
        static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count()),
    };
    std::uint64_t mixed = 0;
    for (const std::uint64_t part : parts)
        mixed ^= part + 0x9E3779B97F4A7C15u + (mixed << 6) + (mixed >> 2);
    return static_cast<std::uint32_t>(mixed ^ (mixed >> 32));
}

// Prefix, decimal number and suffix in a fixed buffer: the HUD is rebuilt every frame without allocating.
class CNumberText
{
public:
    CNumberText(std::string_view prefix, std::int32_t value, std::string_view suffix = {})
    {
        char* end = Buffer.data() + Buffer.size();
        char* at = Append(Buffer.data(), prefix);
        at = std::to_chars(at, end, value).ptr;
        Length = static_cast<std::size_t>(Append(at, suffix) - Buffer.data());
    }

    std::string_view View() const { return {Buffer.data(), Length}; }

private:
    static char* Append(char* at, std::string_view text) { return std::copy(text.begin(), text.end(), at); }

    // The longest text, "Efficiency: -2147483648%", takes 24 characters.
    std::array<char, 32> Buffer{};
    std::size_t Length = 0;
};

// One player's production for a frame; a halt leaves the accumulator where it stood.
void Produce(bool& halted, std::int32_t& haltFrames, std::int32_t& progress, std::int32_t efficiency,
             std::int32_t& lumber)
{
    if (halted)
    {
        if (--haltFrames == 0)
            halted = false;
    }
    else
        progress += efficiency;
    while (progress > ProgressPerLumber)
    {
        ++lumber;
        progress -= ProgressPerLumber;
    }
}

// SetView multiplies onto the current projection, so each frame starts again from identity.
void ResetProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
} // namespace

std::int32_t RandomIntFrom(std::mt19937& generator, std::int32_t low, std::int32_t high)
{
    if (low >= high)
        throw std::invalid_argument("RandomInt needs low below high");
    // Unsigned, so that the widest ranges do not overflow.
    const std::uint32_t n = static_cast<std::uint32_t>(high) - static_cast<std::uint32_t>(low);
    if (n == 1)
        return low;
    // (2^32 - n) / n + 1: n buckets of this size fit in 2^32; draws beyond the last one are redrawn.
    const std::uint32_t bucket = (0u - n) / n + 1;
    std::uint32_t q = 0;
    do
        q = static_cast<std::uint32_t>(generator()) / bucket;
    while (q >= n);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(low) + q);
}

std::int32_t RandomInt(std::int32_t low, std::int32_t high)
{
    thread_local std::mt19937 generator(MakeSeed());
    return RandomIntFrom(generator, low, high);
}

CMainController::CMainController(IVantor& engine, RandomSource random) : Engine(engine), Random(std::move(random))
{
    // The host builds the window from these as soon as the factory returns.
    Engine.SetCaption("Arborath");
    Engine.SetSize(ViewWidth, ViewHeight);
    Engine.SetUseShaders(false);
}

void CMainController::Start()
{
    Engine.LoadImage("Background.bmp", false);
    Engine.LoadImage("RedWins.bmp", false);
    Engine.LoadImage("BlueWins.bmp", false);
    Engine.LoadFont(FontName);
    // Only now: no frame may come before the pictures and the font exist.
    Engine.StartFrameTimer();
}

void CMainController::Frame()
{
    if (State.Winner != 0)
    {
        // The game is over and frozen: no rules, no keys.
        DrawWinner();
        return;
    }
    Update();
    Engine.Clear();
    Draw();
    Engine.Present();
}

void CMainController::Update()
{
    SState& s = State;

    if (!s.MysteryReady && --s.MysteryCountdown == 0)
        s.MysteryReady = true;

    if (s.MysteryReady && Engine.IsKeyPressed(Key::Space))
    {
        switch (RandomInt(0, 4))
        {
        case 0:
            s.Favour *= CalmFactor;
            break;
        case 1:
            // A running halt starts again.
            s.RedHalted = true;
            s.RedHaltFrames = HaltLength;
            break;
        case 2:
            s.BlueHalted = true;
            s.BlueHaltFrames = HaltLength;
            break;
        default:
            break;
        }
        s.MysteryReady = false;
        s.MysteryCountdown = MysteryInterval;
    }

    // One action per player and frame; the sacrifice wins over the trade, and red goes first.
    if (s.RedLumber >= ActionPrice && Engine.IsKeyPressed(Key::A))
    {
        s.RedLumber -= ActionPrice;
        s.Favour -= SacrificePull;
    }
    else if (s.RedLumber >= ActionPrice && Engine.IsKeyPressed(Key::S))
    {
        s.RedLumber -= ActionPrice;
        s.RedEfficiency += TradeGain;
    }

    if (s.BlueLumber >= ActionPrice && Engine.IsKeyPressed(Key::K))
    {
        s.BlueLumber -= ActionPrice;
        s.Favour += SacrificePull;
    }
    else if (s.BlueLumber >= ActionPrice && Engine.IsKeyPressed(Key::L))
    {
        s.BlueLumber -= ActionPrice;
        s.BlueEfficiency += TradeGain;
    }

    // The win is judged only after growth, so the favour may stand beyond the threshold in between.
    if (++s.FavourTick == FavourPeriod)
    {
        s.FavourTick = 0;
        s.Favour *= FavourGrowth;
        if (s.Favour < -WinThreshold)
            s.Winner = 1;
        else if (s.Favour > WinThreshold)
            s.Winner = 2;
    }

    // Production still runs in the frame of the win; that frame is drawn as a playing screen.
    Produce(s.RedHalted, s.RedHaltFrames, s.RedProgress, s.RedEfficiency, s.RedLumber);
    Produce(s.BlueHalted, s.BlueHaltFrames, s.BlueProgress, s.BlueEfficiency, s.BlueLumber);
}

void CMainController::Draw()
{
    const SState& s = State;

    ResetProjection();
    Engine.SetView(ViewWidth, ViewHeight);
    Engine.DrawImage(*Engine.GetTexture("Background.bmp"), 0, 0, -1, -1, 0.0f, 0.0f);
    Engine.SetFont(FontName);

    Engine.DrawText(CNumberText("Favour: ", static_cast<std::int32_t>(s.Favour), "%").View(), 320, 20);

    Engine.DrawText(CNumberText("Lumber: ", s.RedLumber).View(), 20, 65);
    Engine.DrawText("Sacrifice it (a)", 20, 95);
    Engine.DrawText("Trade it (s)", 20, 125);
    Engine.DrawText(CNumberText("Efficiency: ", s.RedHalted ? 0 : s.RedEfficiency, "%").View(), 20, 155);

    Engine.DrawText(CNumberText("Lumber: ", s.BlueLumber).View(), 550, 65);
    Engine.DrawText("Sacrifice it (k)", 550, 95);
    Engine.DrawText("Trade it (l)", 550, 125);
    Engine.DrawText(CNumberText("Efficiency: ", s.BlueHalted ? 0 : s.BlueEfficiency, "%").View(), 550, 155);

    if (s.MysteryReady)
    {
        Engine.DrawText("???", 360, 240);
        Engine.DrawText("(space)", 330, 270);
    }
}

void CMainController::DrawWinner()
{
    ResetProjection();
    Engine.SetView(ViewWidth, ViewHeight);
    Engine.Clear();
    Engine.DrawImage(*Engine.GetTexture(State.Winner == 1 ? "RedWins.bmp" : "BlueWins.bmp"), 0, 0, -1, -1, 0.0f,
                     0.0f);
    Engine.Present();
}

extern "C" IMainController* CreateMainController(IVantor* engine)
{
    return new CMainController(*engine);
}
