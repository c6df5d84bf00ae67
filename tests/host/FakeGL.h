#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A stand-in for the OpenGL library, linked into the host tests instead of the real one: each call
// the host makes is written to the log, and glGetString answers with the version text set here.
namespace FakeGL
{
extern std::vector<std::string>* Log;
extern const char* Version;
extern int MaxTextureSize;
// The texels of the last texture uploaded, and its size.
extern std::vector<std::uint32_t> LastTexels;
extern int LastTextureWidth;
extern int LastTextureHeight;
// Addresses for the OpenGL 2.0 entry points, or null for a name the test leaves out.
void* EntryPoint(const char* name);
} // namespace FakeGL
