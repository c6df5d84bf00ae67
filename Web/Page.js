// Runs in the page before the program (after Loader.js, which fetches its files): shows a start
// that fails over the canvas.
Module.canvas = document.getElementById('canvas');
// Opened from a file, the page's program cannot fetch its files: say how to open it instead.
if (location.protocol === 'file:') {
    var overlay = document.getElementById('error');
    overlay.textContent = 'This page must come from a web server, not from a file. In its folder, run\n' +
                          '    python3 -m http.server\n' +
                          'and open http://localhost:8000/ in the browser.';
    overlay.hidden = false;
    document.getElementById('loading').hidden = true;
}
Module.onAbort = function(what) {
    document.getElementById('loading').hidden = true;
    var overlay = document.getElementById('error');
    if (overlay && overlay.hidden) {
        overlay.textContent = 'The game could not be started: ' + what;
        overlay.hidden = false;
    }
};
