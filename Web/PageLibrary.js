// The page's side of the web backend (Web/CWebPlatform.cpp declares these functions): the page's
// title and notices, the canvas's place, Web Audio, the count of frames, and the page once the
// program has ended.
mergeInto(LibraryManager.library, {
    // ---- Window and context ----

    VantorPageStartUp__deps: ['$vantorAudioStartUp'],
    VantorPageStartUp: function(caption) {
        document.title = UTF8ToString(caption);
        var loading = document.getElementById('loading');
        if (loading) loading.hidden = true;
        // The emulation of the fixed-function calls sets itself up for contexts it made itself only.
        Module.useWebGL = true;
        GLImmediate.init();
        vantorAudioStartUp();
    },

    // The hint that the game needs a click for the keyboard; never over an error.
    VantorPageShowHint: function(show) {
        var hint = document.getElementById('hint');
        var overlay = document.getElementById('error');
        if (hint) hint.hidden = !show || (overlay && !overlay.hidden);
    },

    // ---- Loop and frame timer ----

    // The count of frames run, for the page and its tests: one number, and a hook only when one is set.
    VantorPageFrameStarts: function() {
        Module.vantorFrames = (Module.vantorFrames || 0) + 1;
        if (Module.vantorOnFrame) Module.vantorOnFrame(performance.now());
    },

    // Runs a turn of the loop for an event handler. A program that calls exit() in it stops there,
    // as it does in a timer's callback, instead of throwing out of the browser's handler.
    VantorPageRunTurn__deps: ['$callUserCallback'],
    VantorPageRunTurn: function(turn) {
        callUserCallback(function() {
            {{{ makeDynCall('v', 'turn') }}}();
        });
    },

    // exit() tells the page before the program stops where it is: a page keeps the program's runtime
    // alive for the browser's calls, and Emscripten then runs neither atexit functions nor onExit.
    $vantorExit: {ended: 0},
    VantorPageOnExit__deps: ['$vantorExit'],
    VantorPageOnExit: function(ended) {
        vantorExit.ended = ended;
    },
    exit__deps: ['$vantorExit'],
    exit: function(status) {
        if (vantorExit.ended) {{{ makeDynCall('v', 'vantorExit.ended') }}}();
        exit(status);
    },

    // The program has ended: the last frame stays dimmed under the notice, and the button starts the
    // game again by loading the page anew.
    VantorPageShowEnded: function() {
        var ended = document.getElementById('ended');
        if (!ended) return;
        // A game may end before its first frame.
        for (var id of ['hint', 'loading']) {
            var notice = document.getElementById(id);
            if (notice) notice.hidden = true;
        }
        document.getElementById('canvas').style.cursor = '';
        ended.hidden = false;
        var restart = document.getElementById('restart');
        if (restart) {
            restart.onclick = function() { location.reload(); };
            restart.focus();
        }
    },

    // ---- Input ----

    // The canvas's top-left corner in the page's client coordinates, and its pixels per CSS pixel across
    // and down: the page shows the canvas at any size, 4:3 only to within a pixel.
    VantorPageCanvasPosition: function(place) {
        var canvas = document.getElementById('canvas');
        var box = canvas.getBoundingClientRect();
        HEAPF64[place >> 3] = box.left;
        HEAPF64[(place >> 3) + 1] = box.top;
        HEAPF64[(place >> 3) + 2] = box.width > 0 ? canvas.width / box.width : 1;
        HEAPF64[(place >> 3) + 3] = box.height > 0 ? canvas.height / box.height : 1;
    },

    // ---- Sound ----

    $vantorAudio: {context: null, output: null, source: null, generation: 0, unlocked: false},

    $vantorAudioStartUp__deps: ['$vantorAudio'],
    $vantorAudioStartUp: function() {
        var audio = vantorAudio;
        Module.vantorAudio = audio;
        try {
            audio.context = new AudioContext();
            // One node every clip goes through, where the page (or a test) can listen in.
            audio.output = audio.context.createGain();
            audio.output.connect(audio.context.destination);
        } catch (e) {
            audio.context = null;
        }
        // Browsers keep audio suspended until the player's first gesture.
        var unlock = function() {
            if (audio.unlocked || !audio.context) return;
            audio.unlocked = true;
            audio.context.resume();
        };
        window.addEventListener('keydown', unlock, true);
        window.addEventListener('mousedown', unlock, true);
        // Leaving the page silences it; coming back from the browser's history picks up again.
        window.addEventListener('pagehide', function() {
            audio.generation++;
            if (audio.source) audio.source.stop();
            audio.source = null;
            if (audio.context) audio.context.suspend();
        });
        window.addEventListener('pageshow', function(event) {
            if (event.persisted && audio.unlocked && audio.context) audio.context.resume();
        });
    },

    VantorPagePlaySound__deps: ['$vantorAudio', 'VantorPageStopSound'],
    VantorPagePlaySound: function(image, size) {
        var audio = vantorAudio;
        _VantorPageStopSound();
        // Before the first gesture the clip is dropped: it must not burst out later.
        if (!audio.context || !audio.unlocked) return;
        var generation = audio.generation;
        var bytes = HEAPU8.slice(image, image + size);
        audio.context.decodeAudioData(bytes.buffer).then(function(buffer) {
            // Cut off or stopped while it was being decoded.
            if (generation !== audio.generation) return;
            var source = audio.context.createBufferSource();
            source.buffer = buffer;
            source.connect(audio.output);
            source.start();
            audio.source = source;
        }, function() {});
    },

    // Also whatever is still being decoded: it will not start.
    VantorPageStopSound__deps: ['$vantorAudio'],
    VantorPageStopSound: function() {
        var audio = vantorAudio;
        audio.generation++;
        if (audio.source) audio.source.stop();
        audio.source = null;
    },

    // ---- Errors ----

    // The fatal-error text over the canvas and on the console, in place of the hint.
    VantorPageShowError: function(text, size) {
        var message = UTF8ToString(text, size);
        console.error(message);
        var loading = document.getElementById('loading');
        if (loading) loading.hidden = true;
        var overlay = document.getElementById('error');
        if (overlay) {
            overlay.textContent = message;
            overlay.hidden = false;
        }
        var hint = document.getElementById('hint');
        if (hint) hint.hidden = true;
    },
});
