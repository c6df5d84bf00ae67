// Runs in the page before the program: puts the program's Data files, fetched from the Data folder
// beside the page, where the program reads them, and shows a start that fails over the canvas.
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
Module.preRun = (Module.preRun || []).concat(function() {
    FS.mkdir('/Data');
    VantorDataFiles.forEach(function(name) {
        var dependency = 'Data/' + name;
        addRunDependency(dependency);
        var url = 'Data/' + name.split('/').map(encodeURIComponent).join('/');
        fetch(url).then(function(response) {
            return response.ok ? response.arrayBuffer() : null;
        }).then(function(bytes) {
            // A file that is missing stays missing: the program says which one it wanted.
            if (bytes) {
                var slash = name.lastIndexOf('/');
                if (slash > 0) FS.mkdirTree('/Data/' + name.substring(0, slash));
                FS.writeFile('/Data/' + name, new Uint8Array(bytes));
            }
        }, function() {}).then(function() {
            removeRunDependency(dependency);
        });
    });
});
Module.onAbort = function(what) {
    document.getElementById('loading').hidden = true;
    var overlay = document.getElementById('error');
    if (overlay && overlay.hidden) {
        overlay.textContent = 'The game could not be started: ' + what;
        overlay.hidden = false;
    }
};
