#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A stand-in for the OpenGL library, linked into the host and game tests instead of the real one:
// each call is written to the log as "glName(arguments)", whole numbers in hexadecimal.
namespace FakeGL
{
extern std::vector<std::string>* Log;
extern const char* Version;
extern int MaxTextureSize;
// The texels of the last texture uploaded, row by row of its power-of-two width.
extern std::vector<std::uint32_t> LastTexels;
// The OpenGL 2.0 entry points by name.
void* EntryPoint(const char* name);
// Shaders count from 0x1 and programs from 0x101, so that logs tell them apart. A source with
// "compile error" in it fails to compile, one with "link error" to link; with WriteStatus false the
// status queries write nothing.
extern bool WriteStatus;
void ResetShaderObjects();
} // namespace FakeGL
