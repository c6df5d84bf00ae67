#pragma once

#include "Vantor/GL.h"

// The OpenGL 2.0 entry points, valid on the thread that ran start-up; null until loaded.
namespace GL20
{
extern thread_local PFNGLATTACHSHADERPROC glAttachShader;
extern thread_local PFNGLCOMPILESHADERPROC glCompileShader;
extern thread_local PFNGLCREATEPROGRAMPROC glCreateProgram;
extern thread_local PFNGLCREATESHADERPROC glCreateShader;
extern thread_local PFNGLDELETEPROGRAMPROC glDeleteProgram;
extern thread_local PFNGLDELETESHADERPROC glDeleteShader;
extern thread_local PFNGLGETPROGRAMINFOLOGPROC glGetProgramInfoLog;
extern thread_local PFNGLGETPROGRAMIVPROC glGetProgramiv;
extern thread_local PFNGLGETSHADERINFOLOGPROC glGetShaderInfoLog;
extern thread_local PFNGLGETSHADERIVPROC glGetShaderiv;
extern thread_local PFNGLGETUNIFORMLOCATIONPROC glGetUniformLocation;
extern thread_local PFNGLLINKPROGRAMPROC glLinkProgram;
extern thread_local PFNGLSHADERSOURCEPROC glShaderSource;
extern thread_local PFNGLUNIFORM1FPROC glUniform1f;
extern thread_local PFNGLUNIFORM2FPROC glUniform2f;
extern thread_local PFNGLUSEPROGRAMPROC glUseProgram;
} // namespace GL20
