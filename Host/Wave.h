#pragma once

#include <cstdint>
#include <span>

// Whether a sound image is a RIFF WAVE file whose every size lies inside the image: the RIFF size,
// and each top-level chunk's header, data and (when another chunk follows) pad byte. Players given
// an image from memory trust these sizes without knowing its length, so an image that fails must
// not reach them.
bool CheckWaveImage(std::span<const std::uint8_t> image);
