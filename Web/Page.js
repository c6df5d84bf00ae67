// Runs in the page before the program (which Loader.js fetched and started): shows a start that
// fails over the canvas.
Module.canvas = document.getElementById('canvas');
Module.onAbort = function(what) {
    document.getElementById('loading').hidden = true;
    var overlay = document.getElementById('error');
    if (overlay && overlay.hidden) {
        overlay.textContent = 'The game could not be started: ' + what;
        overlay.hidden = false;
    }
};
