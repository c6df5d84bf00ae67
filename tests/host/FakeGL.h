#pragma once

#include <cstdint>
#include <map>
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

// Shader objects count from 1 and programs from 101, so that logs tell them apart. Compiling fails
// for a source that contains "compile error", linking for one that contains "link error"; with
// WriteStatus false the status queries write nothing at all.
extern std::map<std::uint32_t, std::string> ShaderSources;
extern bool WriteStatus;
// Starts object numbering and the sources afresh.
void ResetShaderObjects();
} // namespace FakeGL
