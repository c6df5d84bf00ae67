// The page's first script (pack_page.py writes it as <name>.js after each link): fetches the pack
// that holds the program's script, its WebAssembly and its Data files, compressed; shows how much
// of it has arrived; starts the program's script as soon as its bytes are in, hands it the
// WebAssembly, and puts the Data files where the program reads them. Once the game runs, a released
// page (one with a manifest) registers its service worker.
(function() {
    var PACK = $PACK;
    var progress = document.querySelector('#loading progress');
    var label = document.querySelector('#loading span');
    var packed = null;  // the pack's bytes, once the index says how many there are
    var received = 0, total = 0, before = 0;
    var entries = [];   // {name, method, size, start, end}, from the index: the script, the program, the files
    var unpacked = [];  // a promise of each entry's bytes, in the pack's order
    var program = later(), data = later();

    function later() {
        var settle = {};
        settle.promise = new Promise(function(resolve, reject) { settle.resolve = resolve; settle.reject = reject; });
        return settle;
    }

    function show(text) {
        document.getElementById('loading').hidden = true;
        var overlay = document.getElementById('error');
        if (overlay && overlay.hidden) {
            overlay.textContent = text;
            overlay.hidden = false;
        }
    }

    // The program's own script takes this object over: its canvas, and a start that fails shown over it.
    var Module = window.Module = {
        canvas: document.getElementById('canvas'),
        onAbort: function(what) { show('The game could not be started: ' + what); }
    };

    function fail(what) {
        program.reject(what);
        Module.onAbort(what);
    }

    function unpack(entry) {
        var bytes = packed.subarray(entry.start, entry.end);
        var stream = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('deflate-raw'));
        return new Response(stream).arrayBuffer().then(function(buffer) {
            var data = new Uint8Array(buffer);
            if (data.length !== entry.size) throw 'the pack\'s entry "' + entry.name + '" is damaged';
            if (entry.method === 1) undoDifferences(data);
            return data;
        });
    }

    // The pixels of a 24-bit BMP were stored as differences from the pixel before, with blue and
    // red less green: add them up again, giving the file's own bytes.
    function undoDifferences(data) {
        var view = new DataView(data.buffer, data.byteOffset, data.byteLength);
        var offset = view.getUint32(10, true), width = view.getInt32(18, true);
        var rows = Math.abs(view.getInt32(22, true)), length = width * 3, stride = (length + 3) & ~3;
        for (var row = 0; row < rows; ++row) {
            var start = offset + row * stride, end = start + length, i;
            for (i = start + 3; i < end; ++i) data[i] += data[i - 3];
            for (i = start; i < end; i += 3) {
                data[i] += data[i + 1];
                data[i + 2] += data[i + 1];
            }
        }
    }

    // The index, once its bytes are in: the entries, and the pack's whole size for the progress.
    // Gives -1 for a file that is no pack, 0 while the index is incomplete.
    function readIndex(head) {
        var view = new DataView(head.buffer, head.byteOffset, head.byteLength);
        if (head.length >= 4 && String.fromCharCode(head[0], head[1], head[2], head[3]) !== 'VPK1') return -1;
        if (head.length < 8 || head.length < 8 + view.getUint32(4, true)) return 0;
        before = view.getUint32(8, true);
        var count = view.getUint32(12, true), at = 16, start = 8 + view.getUint32(4, true);
        var decoder = new TextDecoder();
        for (var n = 0; n < count; ++n) {
            var stored = view.getUint32(at, true), size = view.getUint32(at + 4, true), method = head[at + 8];
            var nameLength = view.getUint16(at + 9, true);
            var name = decoder.decode(head.subarray(at + 11, at + 11 + nameLength));
            at += 11 + nameLength;
            entries.push({name: name, method: method, size: size, start: start, end: start + stored});
            start += stored;
        }
        total = start;
        return total;
    }

    // The program's script runs as the page's own script would, from its unpacked bytes.
    function run(script) {
        var element = document.createElement('script');
        element.src = URL.createObjectURL(new Blob([script], {type: 'text/javascript'}));
        element.onerror = function() { fail('the program\'s script could not be run'); };
        document.body.appendChild(element);
    }

    // Starts unpacking every entry whose bytes have all arrived, in the pack's order.
    function unpackArrived() {
        while (unpacked.length < entries.length && entries[unpacked.length].end <= received) {
            var entry = unpacked.length, bytes = unpack(entries[entry]);
            unpacked.push(bytes);
            if (entry === 0) bytes.then(run, fail);
            if (entry === 1) bytes.then(program.resolve, fail);
        }
    }

    function read(response) {
        if (!response.ok) throw 'the file ' + PACK + ' could not be loaded (' + response.status + ')';
        var reader = response.body.getReader(), head = new Uint8Array(0);
        function next() {
            return reader.read().then(function(chunk) {
                if (chunk.done) {
                    if (!packed || received < total || entries.length < 2) throw 'the file ' + PACK + ' arrived incomplete';
                    return;
                }
                var bytes = chunk.value;
                if (!packed) {
                    var joined = new Uint8Array(head.length + bytes.length);
                    joined.set(head);
                    joined.set(bytes, head.length);
                    head = joined;
                    var size = readIndex(head);
                    if (size < 0) throw 'the file ' + PACK + ' is not a pack';
                    if (size === 0) return next();
                    packed = new Uint8Array(total);
                    bytes = head;
                }
                bytes = bytes.subarray(0, Math.max(0, Math.min(bytes.length, total - received)));
                packed.set(bytes, received);
                received += bytes.length;
                if (progress) {
                    progress.max = before + total;
                    progress.value = before + received;
                    label.textContent = 'Loading\u2026 ' + Math.floor((before + received) * 100 / (before + total)) + ' %';
                }
                unpackArrived();
                return next();
            });
        }
        return next();
    }

    // Opened from a file, the page cannot fetch its files: say how to open it instead.
    if (location.protocol === 'file:') {
        return show('This page must come from a web server, not from a file. In its folder, run\n' +
                    '    python3 -m http.server\n' +
                    'and open http://localhost:8000/ in the browser.');
    }
    if (typeof DecompressionStream !== 'function') {
        return fail('This browser cannot unpack the game\'s files: it is too old.');
    }
    fetch(PACK).then(read).then(function() {
        return Promise.all(unpacked.slice(2));
    }).then(data.resolve).catch(function(error) {
        fail(String(error && error.message ? error.message : error));
    });

    // The program, from the pack rather than from a file of its own.
    Module.instantiateWasm = function(imports, receive) {
        program.promise.then(function(bytes) {
            return WebAssembly.instantiate(bytes, imports);
        }).then(function(result) {
            receive(result.instance, result.module);
        }, function(error) {
            Module.onAbort('the program could not be started: ' + error);
        });
        return {};
    };

    Module.preRun = [function() {
        addRunDependency('Data');
        data.promise.then(function(files) {
            FS.mkdir('/Data');
            entries.slice(2).forEach(function(entry, n) {
                var slash = entry.name.lastIndexOf('/');
                if (slash > 0) FS.mkdirTree('/Data/' + entry.name.substring(0, slash));
                FS.writeFile('/Data/' + entry.name, files[n]);
            });
            removeRunDependency('Data');
        });
    }];

    // Registered only once the game runs, so that filling its cache takes nothing from the
    // download the player waits for. A new release's worker, installed while an older one served
    // this page, takes over now: this page needs no more files, and the next visit gets the new
    // release whole. Where service workers are not allowed (plain http from another host), or
    // registering fails, the page simply stays without one.
    Module.postRun = [function() {
        if (!('serviceWorker' in navigator) || !document.querySelector('link[rel="manifest"]')) return;
        navigator.serviceWorker.register('sw.js').then(function(registration) {
            function takeOver(worker) {
                if (!worker) return;
                if (worker.state === 'installed') worker.postMessage('take over');
                else if (worker.state === 'installing') worker.addEventListener('statechange', function() {
                    takeOver(worker);
                });
            }
            takeOver(registration.waiting || registration.installing);
            registration.addEventListener('updatefound', function() { takeOver(registration.installing); });
        }).catch(function() {});
    }];
})();
