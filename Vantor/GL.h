#pragma once

// OpenGL 1.1 and the 2.0 types, for the engine and for a game's own matrix calls, without pulling
// <windows.h> (and its LoadImage, DrawText and PlaySound macros) in with them.
#if defined(_WIN32) && !defined(APIENTRY)
#define APIENTRY __stdcall
#define WINGDIAPI __declspec(dllimport)
#define VANTOR_GL_DEFINED_APIENTRY
#endif

#include <GL/gl.h>
#include <GL/glext.h>

#ifdef VANTOR_GL_DEFINED_APIENTRY
#undef APIENTRY
#undef WINGDIAPI
#undef VANTOR_GL_DEFINED_APIENTRY
#endif
