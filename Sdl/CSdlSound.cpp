#include "Sdl/CSdlSound.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <limits>

bool DecodeWave(std::span<const std::uint8_t> image, std::uint16_t format, std::uint8_t channels,
                std::int32_t frequency, std::vector<std::uint8_t>& samples)
{
    // Longer clips (about 25 minutes at 44.1 kHz stereo 16 bits) are refused rather than let a
    // tiny file with an absurd rate expand into gigabytes.
    constexpr std::uint64_t LargestBuffer = 256u << 20;
    // SDL's resampler sizes its padding from the ratio of the rates, and overflows on an absurd one.
    constexpr int HighestRate = 384000;
    if (image.size() > static_cast<std::size_t>(std::numeric_limits<int>::max()))
        return false;
    SDL_AudioSpec decodedFormat{};
    Uint8* decoded = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(SDL_RWFromConstMem(image.data(), static_cast<int>(image.size())), 1, &decodedFormat, &decoded,
                       &length) == nullptr)
        return false;
    const std::uint32_t sourceFrame = SDL_AUDIO_BITSIZE(decodedFormat.format) / 8u * decodedFormat.channels;
    // The converter takes whole frames only.
    const std::uint64_t whole = sourceFrame == 0 ? 0 : length - length % sourceFrame;
    SDL_AudioCVT converter{};
    // The whole clip in one go: SDL's audio stream, fed like this, drops the last part of it.
    bool converted = whole > 0 && decodedFormat.freq > 0 && decodedFormat.freq <= HighestRate && frequency > 0 &&
                     frequency <= HighestRate &&
                     SDL_BuildAudioCVT(&converter, decodedFormat.format, decodedFormat.channels, decodedFormat.freq,
                                       static_cast<SDL_AudioFormat>(format), channels, frequency) >= 0;
    // The conversion works in place, in a buffer len_mult times the clip.
    const std::uint64_t room = whole * static_cast<std::uint64_t>(std::max(converter.len_mult, 1));
    converted = converted && room <= LargestBuffer;
    if (converted)
    {
        samples.assign(static_cast<std::size_t>(room), 0);
        std::memcpy(samples.data(), decoded, static_cast<std::size_t>(whole));
        converter.buf = samples.data();
        converter.len = static_cast<int>(whole);
        converted = SDL_ConvertAudio(&converter) == 0 && converter.len_cvt >= 0 &&
                    static_cast<std::uint64_t>(converter.len_cvt) <= room;
        samples.resize(converted ? static_cast<std::size_t>(converter.len_cvt) : 0);
    }
    SDL_FreeWAV(decoded);
    return converted;
}

CSdlSoundPlayer::~CSdlSoundPlayer()
{
    if (State != EDevice::Open)
        return;
    SDL_CloseAudioDevice(Device);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

bool CSdlSoundPlayer::OpenDevice()
{
    if (State != EDevice::NotOpened)
        return State == EDevice::Open;
    State = EDevice::Unavailable;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SDL_AudioSpec wanted{};
    wanted.freq = 44100;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = 2;
    wanted.samples = 1024;
    SDL_AudioSpec obtained{};
    // Whatever the device prefers: clips are converted to it anyway.
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, SDL_AUDIO_ALLOW_ANY_CHANGE);
    if (device == 0)
    {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Device = device;
    Format = obtained.format;
    Channels = obtained.channels;
    Frequency = obtained.freq;
    // Running from now on: an empty queue plays silence.
    SDL_PauseAudioDevice(Device, 0);
    State = EDevice::Open;
    return true;
}

void CSdlSoundPlayer::Play(std::span<const std::uint8_t> image)
{
    if (!OpenDevice())
        return;
    std::vector<std::uint8_t> samples;
    const bool decoded = DecodeWave(image, Format, Channels, Frequency, samples);
    // Cut off and start again in one step: the device never sees the queue half filled.
    SDL_LockAudioDevice(Device);
    SDL_ClearQueuedAudio(Device);
    if (decoded && !samples.empty())
        SDL_QueueAudio(Device, samples.data(), static_cast<Uint32>(samples.size()));
    SDL_UnlockAudioDevice(Device);
}

void CSdlSoundPlayer::Stop()
{
    if (State == EDevice::Open)
        SDL_ClearQueuedAudio(Device);
}

std::uint32_t CSdlSoundPlayer::QueuedBytes()
{
    return State == EDevice::Open ? SDL_GetQueuedAudioSize(Device) : 0;
}
