// Sound clips.
#include "Host/CApplication.h"

#include "Host/DataName.h"
#include "Host/Wave.h"
#include "Vantor/CVantorException.h"

#include <string>

void CApplication::LoadSound(std::string_view name)
{
    std::vector<std::uint8_t> image;
    switch (IsDataFileName(name) ? Platform->ReadDataFile(name, image, 0) : EFileRead::NotFound)
    {
    case EFileRead::NotFound:
        throw CVantorException("Sound file not found: ", name);
    case EFileRead::TooLarge:
        throw CVantorException("Sound file too large (> 4GiB): ", name);
    case EFileRead::ReadFailed:
        throw CVantorException("Sound file could not be read: ", name);
    case EFileRead::Ok:
        break;
    }
    const auto found = Sounds.find(name);
    if (found == Sounds.end())
    {
        Sounds.emplace(std::string(name), std::move(image));
        return;
    }
    // The player may still be reading the image about to be freed.
    if (PlayingSound.Is(found->second))
        PlayingSound.Stop();
    found->second = std::move(image);
}

void CApplication::PlaySound(std::string_view name)
{
    const auto found = Sounds.find(name);
    if (found == Sounds.end())
        throw CVantorException("Sound not loaded: ", name);
    // An image whose sizes point past its end would be read out of bounds: it plays nothing, and
    // like any unplayable clip it still cuts off the one playing.
    if (!CheckWaveImage(found->second))
    {
        PlayingSound.Stop();
        return;
    }
    Platform->PlaySoundImage(found->second);
    PlayingSound.Started(found->second);
}
