// Fix-ups of Emscripten's emulation of the fixed-function calls, linked into every web program.
mergeInto(LibraryManager.library, {
    // WebGL always interpolates with perspective and knows no such hint; desktop OpenGL accepts it.
    glHint: function(target, mode) {
        if (target != 0x0C50 /* GL_PERSPECTIVE_CORRECTION_HINT */) GLctx.hint(target, mode);
    },

    // WebGL 1 takes unsized formats only; eight bits a channel is what it gives RGBA anyway.
    glTexImage2D__deps: ['$emscriptenWebGLGetTexPixelData'],
    glTexImage2D: function(target, level, internalFormat, width, height, border, format, type, pixels) {
        if (internalFormat == 0x8058 /* GL_RGBA8 */) internalFormat = 0x1908 /* GL_RGBA */;
        GLctx.texImage2D(target, level, internalFormat, width, height, border, format, type,
                         pixels ? emscriptenWebGLGetTexPixelData(type, format, width, height, pixels, internalFormat) : null);
    },
});
