// The page as the player's screen, run before the program: the canvas keeps the program's own size
// and only its CSS size changes, to the largest box of its shape that the viewport (or the frame,
// or the whole screen) holds; a fullscreen control; on touch screens, the buttons the program
// names in its build, each pressing its key as the keyboard does.
(function() {
    var stage = document.getElementById('stage');
    var game = document.getElementById('game');
    var canvas = document.getElementById('canvas');
    var title = document.getElementById('title');
    var controls = document.getElementById('controls');
    var fullscreen = document.getElementById('fullscreen');
    var touch = document.getElementById('touch');

    // A line around the picture is shown only while it costs the picture less than this share of
    // its size: on a big screen it is hardly missed, in a laptop's frame the game matters more.
    var LineCost = 0.03;

    function outerHeight(element) {
        var style = getComputedStyle(element);
        return element.getBoundingClientRect().height + parseFloat(style.marginTop) + parseFloat(style.marginBottom);
    }

    function fit() {
        var width = canvas.width, height = canvas.height;
        var room = stage.getBoundingClientRect();
        if (!width || !height || !room.width || !room.height) return;
        var alone = document.fullscreenElement === stage;
        // The lines give way in this order: the title first, then the controls.
        var choices = alone ? [[]] : [[title, controls], [controls], []];
        var lines = [title, controls];
        lines.forEach(function(line) { line.hidden = false; });
        // The title above and the controls below take the same room on both sides.
        var spent = choices.map(function(shown) {
            return 2 * shown.reduce(function(most, line) { return Math.max(most, outerHeight(line)); }, 0);
        });
        var scaleFor = function(taken) { return Math.min(room.width / width, (room.height - taken) / height); };
        var best = scaleFor(0), chosen = choices.length - 1;
        for (var i = 0; i < choices.length; ++i)
            if (scaleFor(spent[i]) >= best * (1 - LineCost)) {
                chosen = i;
                break;
            }
        lines.forEach(function(line) { line.hidden = choices[chosen].indexOf(line) < 0; });
        // Whole device pixels, both sides from the one scale, so that the box keeps the shape within a pixel.
        var ratio = window.devicePixelRatio || 1;
        var scale = Math.max(scaleFor(spent[chosen]), 0);
        var deviceWidth = Math.floor(width * scale * ratio + 1e-6);
        var deviceHeight = Math.floor(height * scale * ratio + 1e-6);
        game.style.setProperty('--fit-width', deviceWidth / ratio + 'px');
        game.style.setProperty('--fit-height', deviceHeight / ratio + 'px');
        // Centred, the picture may start between two device pixels, and every pixel of it would be
        // blended with its neighbour: it is moved onto whole ones.
        game.style.transform = '';
        var place = game.getBoundingClientRect();
        var snap = function(at) { return Math.round(at * ratio) / ratio - at; };
        game.style.transform = 'translate(' + snap(place.left) + 'px, ' + snap(place.top) + 'px)';
        // Shrunk, nearest-pixel sampling drops whole rows and columns of the letters; smoothing keeps
        // every stroke at part strength. At whole multiples every pixel becomes an even square, which
        // smoothing would only blur; between 1 and 2 nearest sampling makes uneven strokes, blurring less so.
        var multiple = deviceWidth / width;
        var whole = Math.abs(multiple - Math.round(multiple)) < 0.01;
        canvas.style.imageRendering = multiple >= 2 || (whole && multiple >= 1) ? 'pixelated' : 'auto';
    }

    // The program sets the canvas's size when it starts, the page's size changes when the window,
    // the frame or the device's orientation does, or the page enters or leaves fullscreen.
    new MutationObserver(fit).observe(canvas, {attributes: true, attributeFilter: ['width', 'height']});
    if (window.ResizeObserver) new ResizeObserver(fit).observe(stage);
    window.addEventListener('resize', fit);
    document.addEventListener('fullscreenchange', fit);

    // Fullscreen: the game and its buttons alone on the screen; Escape or the browser leaves it.
    if (document.fullscreenEnabled && stage.requestFullscreen) {
        fullscreen.hidden = false;
        // The control never takes the focus: the program would count its loss as the page's, and
        // Space would press it again.
        fullscreen.tabIndex = -1;
        fullscreen.addEventListener('mousedown', function(event) { event.preventDefault(); });
        fullscreen.addEventListener('click', function() {
            if (document.fullscreenElement) document.exitFullscreen();
            else stage.requestFullscreen().catch(function() {});
        });
        document.addEventListener('fullscreenchange', function() {
            var alone = document.fullscreenElement === stage;
            fullscreen.setAttribute('aria-label', alone ? 'Leave fullscreen' : 'Fullscreen');
            fullscreen.title = fullscreen.getAttribute('aria-label');
        });
        // Over the picture (no bar beside it), the control goes after a while of no pointer, as a
        // video's do, and comes back at the next move or touch; in a bar it stays.
        var idle = 0;
        var wake = function() {
            fullscreen.classList.remove('idle');
            clearTimeout(idle);
            var control = fullscreen.getBoundingClientRect(), picture = canvas.getBoundingClientRect();
            if (control.left < picture.right && control.bottom > picture.top)
                idle = setTimeout(function() { fullscreen.classList.add('idle'); }, 3000);
        };
        ['pointermove', 'pointerdown'].forEach(function(type) { stage.addEventListener(type, wake, true); });
        document.addEventListener('fullscreenchange', wake);
        window.addEventListener('resize', wake);
        wake();
    }

    // On-screen buttons: "<key> <side> <label>" entries, separated by semicolons, keys by the
    // engine's names.
    var Codes = {Left: 'ArrowLeft', Right: 'ArrowRight', Up: 'ArrowUp', Down: 'ArrowDown', LeftShift: 'ShiftLeft',
                 RightShift: 'ShiftRight', LeftControl: 'ControlLeft', RightControl: 'ControlRight',
                 LeftAlt: 'AltLeft', RightAlt: 'AltRight'};
    var entries = (touch.getAttribute('data-buttons') || '').split(';').filter(function(entry) {
        return entry.trim() !== '';
    });
    entries.forEach(function(entry) {
        var words = entry.trim().split(/\s+/);
        var key = words[0];
        var button = document.createElement('button');
        button.type = 'button';
        button.tabIndex = -1;
        button.textContent = words.slice(2).join(' ');
        button.setAttribute('data-code', Codes[key] || (/^[A-Z]$/.test(key) ? 'Key' + key : key));
        button.vantorTouches = 0;
        document.getElementById('touch-' + words[1]).appendChild(button);
    });

    // The program listens for keys on the window; a button's key goes the same way.
    function send(type, button) {
        window.dispatchEvent(new KeyboardEvent(type, {code: button.getAttribute('data-code'), bubbles: true,
                                                      cancelable: true}));
    }
    // Two fingers on one button are one key held until both have left.
    function press(button) {
        if (button.vantorTouches++ === 0) {
            button.classList.add('held');
            send('keydown', button);
        }
    }
    function release(button) {
        if (--button.vantorTouches === 0) {
            button.classList.remove('held');
            send('keyup', button);
        }
    }
    var fingers = {};
    touch.addEventListener('touchstart', function(event) {
        // No mouse events, no zoom, no selection follow a touch on a button.
        event.preventDefault();
        if (!document.hasFocus()) window.focus();
        Array.prototype.forEach.call(event.changedTouches, function(finger) {
            var button = finger.target.closest && finger.target.closest('button[data-code]');
            if (button && !fingers[finger.identifier]) {
                fingers[finger.identifier] = button;
                press(button);
            }
        });
    }, {passive: false});
    // A finger that slides off its button lets go of it.
    touch.addEventListener('touchmove', function(event) {
        event.preventDefault();
        Array.prototype.forEach.call(event.changedTouches, function(finger) {
            var button = fingers[finger.identifier];
            if (button && !button.contains(document.elementFromPoint(finger.clientX, finger.clientY))) {
                delete fingers[finger.identifier];
                release(button);
            }
        });
    }, {passive: false});
    function lift(event) {
        Array.prototype.forEach.call(event.changedTouches, function(finger) {
            var button = fingers[finger.identifier];
            delete fingers[finger.identifier];
            if (button) release(button);
        });
        // The end of a touch is a gesture that lets the page's sound start, which its start is not.
        var audio = window.Module && Module.vantorAudio;
        if (audio && audio.unlocked && audio.context && audio.context.state === 'suspended') audio.context.resume();
    }
    touch.addEventListener('touchend', lift);
    touch.addEventListener('touchcancel', lift);
    // The program lets go of every key when the page loses the keyboard; the fingers' keys with it.
    window.addEventListener('blur', function() {
        fingers = {};
        touch.querySelectorAll('button[data-code]').forEach(function(button) {
            button.vantorTouches = 0;
            button.classList.remove('held');
        });
    });

    // A touch screen, where the device has one (a tablet, a phone, a laptop with one), or as soon as
    // a finger proves it; a mouse and keyboard alone never see the buttons.
    function showButtons() {
        touch.hidden = entries.length === 0;
    }
    var coarse = window.matchMedia && matchMedia('(any-pointer: coarse)');
    if ((coarse && coarse.matches) || navigator.maxTouchPoints > 0) showButtons();
    if (coarse && coarse.addEventListener) coarse.addEventListener('change', function() {
        if (coarse.matches) showButtons();
    });
    window.addEventListener('touchstart', showButtons, {passive: true, once: true});

    // Long presses open no menu anywhere on the game's screen.
    stage.addEventListener('contextmenu', function(event) { event.preventDefault(); });
    fit();
})();
