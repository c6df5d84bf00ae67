#pragma once

#include <cstdint>
#include <span>
#include <vector>

// Sound on one SDL audio device, opened on first use; a clip is decoded from its WAV image,
// converted to the device's format and queued whole, so the image is not needed afterwards.
// Without a device, or on an image SDL cannot decode, it stays silent.
class CSdlSoundPlayer
{
public:
    CSdlSoundPlayer() = default;
    CSdlSoundPlayer(const CSdlSoundPlayer&) = delete;
    CSdlSoundPlayer& operator=(const CSdlSoundPlayer&) = delete;
    ~CSdlSoundPlayer();

    // Cuts off what plays and plays the image from its beginning; returns at once.
    void Play(std::span<const std::uint8_t> image);
    void Stop();
    // Bytes of the clip still waiting for the device; 0 without a device.
    std::uint32_t QueuedBytes();

private:
    bool OpenDevice();

    enum class EDevice
    {
        NotOpened,
        Open,
        Unavailable, // remembered, so that a machine without sound does not try again on every clip
    };
    EDevice State = EDevice::NotOpened;
    std::uint32_t Device = 0;
    std::uint16_t Format = 0;
    std::uint8_t Channels = 0;
    std::int32_t Frequency = 0;
};

// The samples of a WAV image as SDL's reader decodes them, converted to the given SDL audio format,
// channel count and rate; false when SDL cannot decode or convert them.
bool DecodeWave(std::span<const std::uint8_t> image, std::uint16_t format, std::uint8_t channels,
                std::int32_t frequency, std::vector<std::uint8_t>& samples);
