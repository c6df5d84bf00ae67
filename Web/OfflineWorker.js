// The service worker of a released page (pack_page.py writes it as sw.js, with the release's files
// and their checksums): it keeps exactly those files in a cache named after the release, and serves
// them from there, so that the game plays again without a network.
// A new release's worker fills a cache of its own while the old one keeps serving its own, whole;
// it takes over when no page uses the old one any more, or when the only page left has all its files
// already and asks it to. Then the old release's cache goes.
var PROGRAM = $PROGRAM;
var FILES = $FILES;
var SCOPE = new URL(self.registration.scope);
// Two copies of the game in two folders of one host keep a cache each.
var SUFFIX = ' @ ' + SCOPE.href;
var CACHE = $CACHE + SUFFIX;

// A file asked for, by its name in the release; the folder itself is its index.html.
function nameOf(request) {
    var url = new URL(request.url);
    if (request.method !== 'GET' || url.origin !== SCOPE.origin || !url.pathname.startsWith(SCOPE.pathname)) {
        return null;
    }
    var name = decodeURIComponent(url.pathname.substring(SCOPE.pathname.length)) || 'index.html';
    return Object.prototype.hasOwnProperty.call(FILES, name) ? name : null;
}

self.addEventListener('install', function(event) {
    event.waitUntil(caches.open(CACHE).then(function(cache) {
        return Promise.all(Object.keys(FILES).map(function(name) {
            // What the browser holds is taken when it is still this release's; otherwise, or when
            // the host said "not modified" for a file that did change, it comes again in full.
            var fetchAs = function(mode) {
                return fetch(new Request(name, {cache: mode, integrity: FILES[name]})).then(function(response) {
                    if (!response.ok) throw new Error(name + ': ' + response.status);
                    return response;
                });
            };
            return fetchAs('no-cache').catch(function() { return fetchAs('reload'); }).then(function(response) {
                return cache.put(name, response);
            });
        }));
    }).catch(function(error) {
        // No half-filled cache: the next visit tries again.
        return caches.delete(CACHE).then(function() { throw error; });
    }));
});

self.addEventListener('message', function(event) {
    if (event.data !== 'take over') return;
    // Only when the asking page is the only one: another could still be fetching the old files.
    event.waitUntil(self.clients.matchAll({type: 'window', includeUncontrolled: true}).then(function(pages) {
        if (pages.length === 1 && pages[0].id === event.source.id) return self.skipWaiting();
    }));
});

self.addEventListener('activate', function(event) {
    event.waitUntil(caches.keys().then(function(names) {
        return Promise.all(names.filter(function(name) {
            return name !== CACHE && name.startsWith(PROGRAM + ' ') && name.endsWith(SUFFIX);
        }).map(function(name) { return caches.delete(name); }));
    }));
});

self.addEventListener('fetch', function(event) {
    var name = nameOf(event.request);
    if (name === null) return;
    event.respondWith(caches.open(CACHE).then(function(cache) {
        return cache.match(name);
    }).then(function(response) {
        return response || fetch(event.request);
    }));
});
