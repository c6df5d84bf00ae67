#include "Host/GLShaderFunctions.h"

namespace GL20
{
thread_local PFNGLATTACHSHADERPROC glAttachShader = nullptr;
thread_local PFNGLCOMPILESHADERPROC glCompileShader = nullptr;
thread_local PFNGLCREATEPROGRAMPROC glCreateProgram = nullptr;
thread_local PFNGLCREATESHADERPROC glCreateShader = nullptr;
thread_local PFNGLDELETEPROGRAMPROC glDeleteProgram = nullptr;
thread_local PFNGLDELETESHADERPROC glDeleteShader = nullptr;
thread_local PFNGLGETPROGRAMINFOLOGPROC glGetProgramInfoLog = nullptr;
thread_local PFNGLGETPROGRAMIVPROC glGetProgramiv = nullptr;
thread_local PFNGLGETSHADERINFOLOGPROC glGetShaderInfoLog = nullptr;
thread_local PFNGLGETSHADERIVPROC glGetShaderiv = nullptr;
thread_local PFNGLGETUNIFORMLOCATIONPROC glGetUniformLocation = nullptr;
thread_local PFNGLLINKPROGRAMPROC glLinkProgram = nullptr;
thread_local PFNGLSHADERSOURCEPROC glShaderSource = nullptr;
thread_local PFNGLUNIFORM1FPROC glUniform1f = nullptr;
thread_local PFNGLUNIFORM2FPROC glUniform2f = nullptr;
thread_local PFNGLUSEPROGRAMPROC glUseProgram = nullptr;
} // namespace GL20
