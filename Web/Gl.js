// Fix-ups of Emscripten's emulation of the fixed-function calls, linked into every web program:
// what desktop OpenGL 1.1 accepts and answers that the emulation on WebGL does not.
mergeInto(LibraryManager.library, {
    $vantorGL: {shadeModel: 0x1D01 /* GL_SMOOTH */, perspectiveHint: 0x1100 /* GL_DONT_CARE */},

    // The state of the fixed-function stage that WebGL has no query for, answered as OpenGL does;
    // undefined for everything else.
    $vantorLegacyState__deps: ['$vantorGL', '$GLEmulation', '$GLImmediate'],
    $vantorLegacyState: function(name) {
        switch (name) {
        case 0x0C32: return 1; // GL_DOUBLEBUFFER: the page shows a frame once it is complete
        case 0x0BE1: return GLctx.getParameter(0x80C9 /* GL_BLEND_SRC_RGB */); // GL_BLEND_SRC
        case 0x0BE0: return GLctx.getParameter(0x80C8 /* GL_BLEND_DST_RGB */); // GL_BLEND_DST
        case 0x0BC1: return GLEmulation.alphaTestFunc; // GL_ALPHA_TEST_FUNC
        case 0x0B54: return vantorGL.shadeModel; // GL_SHADE_MODEL
        case 0x0BA0: return GLImmediate.currentMatrix < 2 ? 0x1700 + GLImmediate.currentMatrix : 0x1702; // GL_MATRIX_MODE
        case 0x0C50: return vantorGL.perspectiveHint; // GL_PERSPECTIVE_CORRECTION_HINT
        }
        return undefined;
    },

    glGetIntegerv__deps: ['$emscriptenWebGLGet', '$vantorLegacyState'],
    glGetIntegerv: function(name, p) {
        var value = vantorLegacyState(name);
        if (value === undefined) emscriptenWebGLGet(name, p, 0 /* EM_FUNC_SIG_PARAM_I */);
        else HEAP32[p >> 2] = value;
    },

    glGetFloatv__deps: ['$emscriptenWebGLGet', '$vantorLegacyState'],
    glGetFloatv: function(name, p) {
        var value = vantorLegacyState(name);
        if (value === undefined) emscriptenWebGLGet(name, p, 2 /* EM_FUNC_SIG_PARAM_F */);
        else HEAPF32[p >> 2] = value;
    },

    // WebGL always interpolates with perspective and knows no such hint; desktop OpenGL accepts it.
    glHint__deps: ['$vantorGL'],
    glHint: function(target, mode) {
        if (target == 0x0C50 /* GL_PERSPECTIVE_CORRECTION_HINT */) vantorGL.perspectiveHint = mode;
        else GLctx.hint(target, mode);
    },

    // Colours are always interpolated (the engine asks for nothing else); the setting is kept.
    glShadeModel__deps: ['$vantorGL'],
    glShadeModel: function(mode) {
        vantorGL.shadeModel = mode;
    },

    // WebGL 1 takes unsized formats only; eight bits a channel is what it gives RGBA anyway.
    glTexImage2D__deps: ['$emscriptenWebGLGetTexPixelData'],
    glTexImage2D: function(target, level, internalFormat, width, height, border, format, type, pixels) {
        if (internalFormat == 0x8058 /* GL_RGBA8 */) internalFormat = 0x1908 /* GL_RGBA */;
        GLctx.texImage2D(target, level, internalFormat, width, height, border, format, type,
                         pixels ? emscriptenWebGLGetTexPixelData(type, format, width, height, pixels, internalFormat) : null);
    },
});
