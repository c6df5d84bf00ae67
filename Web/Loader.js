// Runs in the page before the program: fetches the program's pack (its WebAssembly and its Data
// files, compressed: pack_page.py), shows how much of it has arrived, hands the program to the
// runtime as soon as its bytes are in, and puts the Data files where the program reads them.
// Once the game runs, a released page (one with a manifest) registers its service worker.
(function() {
    var progress = document.querySelector('#loading progress');
    var label = document.querySelector('#loading span');
    var packed = null;  // the pack's bytes, once the index says how many there are
    var received = 0, total = 0, before = 0;
    var entries = [];   // {name, method, size, start, end}, from the index
    var program = {};   // settles when the program's bytes are unpacked
    program.promise = new Promise(function(resolve, reject) { program.resolve = resolve; program.reject = reject; });
    var dataDone = {};
    dataDone.promise = new Promise(function(resolve) { dataDone.resolve = resolve; });

    function fail(what) {
        program.reject(what);
        if (Module.onAbort) Module.onAbort(what);
    }

    function show(arrived, whole) {
        if (!progress || !whole) return;
        progress.max = whole;
        progress.value = arrived;
        label.textContent = 'Loading\u2026 ' + Math.floor(arrived * 100 / whole) + ' %';
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

    // The index, once its bytes are in: entries, and the pack's whole size for the progress.
    function readIndex(head) {
        var view = new DataView(head.buffer, head.byteOffset, head.byteLength);
        if (head.length < 8 || String.fromCharCode(head[0], head[1], head[2], head[3]) !== 'VPK1') return -1;
        var length = view.getUint32(4, true);
        if (head.length < 8 + length) return 0;
        before = view.getUint32(8, true);
        var count = view.getUint32(12, true), at = 16, start = 8 + length;
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

    var unpacked = [];
    // Starts unpacking every entry whose bytes have all arrived, in the pack's order.
    function unpackArrived() {
        while (unpacked.length < entries.length && entries[unpacked.length].end <= received) {
            var entry = entries[unpacked.length];
            unpacked.push(unpack(entry));
            if (entry.name === '') unpacked[0].then(program.resolve, fail);
        }
    }

    function load() {
        if (typeof DecompressionStream !== 'function') {
            return fail('This browser cannot unpack the game\'s files: it is too old.');
        }
        fetch(VantorPack).then(function(response) {
            if (!response.ok) throw 'the file ' + VantorPack + ' could not be loaded (' + response.status + ')';
            var reader = response.body.getReader(), head = new Uint8Array(0);
            function next() {
                return reader.read().then(function(chunk) {
                    if (chunk.done) {
                        if (!packed || received < total) throw 'the file ' + VantorPack + ' arrived incomplete';
                        return;
                    }
                    var bytes = chunk.value;
                    if (!packed) {
                        var joined = new Uint8Array(head.length + bytes.length);
                        joined.set(head);
                        joined.set(bytes, head.length);
                        head = joined;
                        var size = readIndex(head);
                        if (size < 0) throw 'the file ' + VantorPack + ' is not a pack';
                        if (size === 0) return next();
                        packed = new Uint8Array(total);
                        bytes = head.subarray(0, Math.min(head.length, total));
                    } else {
                        bytes = bytes.subarray(0, Math.max(0, Math.min(bytes.length, total - received)));
                    }
                    packed.set(bytes, received);
                    received += bytes.length;
                    show(before + received, before + total);
                    unpackArrived();
                    return next();
                });
            }
            return next();
        }).then(function() {
            return Promise.all(unpacked.slice(1));
        }).then(function(files) {
            dataDone.resolve(files);
        }).catch(function(error) {
            fail(String(error && error.message ? error.message : error));
        });
    }

    if (location.protocol !== 'file:') load();

    // The program, from the pack rather than from a file of its own.
    Module.instantiateWasm = function(imports, receive) {
        program.promise.then(function(bytes) {
            return WebAssembly.instantiate(bytes, imports);
        }).then(function(result) {
            receive(result.instance, result.module);
        }, function(error) {
            fail('the program could not be started: ' + error);
        });
        return {};
    };

    Module.preRun = (Module.preRun || []).concat(function() {
        addRunDependency('Data');
        dataDone.promise.then(function(files) {
            FS.mkdir('/Data');
            entries.slice(1).forEach(function(entry, n) {
                var slash = entry.name.lastIndexOf('/');
                if (slash > 0) FS.mkdirTree('/Data/' + entry.name.substring(0, slash));
                FS.writeFile('/Data/' + entry.name, files[n]);
            });
            removeRunDependency('Data');
        });
    });

    // Registered only once the game runs, so that filling its cache takes nothing from the
    // download the player waits for. A new release's worker, installed while an older one served
    // this page, takes over now: this page needs no more files, and the next visit gets the new
    // release whole. Where service workers are not allowed (plain http from another host), or
    // registering fails, the page simply stays without one.
    Module.postRun = (Module.postRun || []).concat(function() {
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
    });
})();
