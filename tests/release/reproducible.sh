#!/usr/bin/env bash
# The same sources give the same bytes: builds the release a second time, later, from a copy of
# the tree's files in a folder of another name (build/again/Arborath-copy), with another time zone
# and umask, and compares every artefact in dist/ with the copy's. A difference names the file and
# the first member that differs (inside a .deb, down to the file in its tar); diffoscope on the two
# files shows the rest. The copy is left for that when they differ.
#   reproducible.sh     after scripts/release.sh
set -euo pipefail
cd "$(dirname "$0")/../.."
copy=build/again/Arborath-copy work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rm -rf build/again && mkdir -p "$copy"
# The files git knows, as they are now: what a clone of the commit holds.
git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$copy"
# As on another machine: another time zone, another umask.
(umask 077 && SOURCE_DATE_EPOCH=$(git log -1 --format=%ct) TZ=Asia/Kolkata "$copy/scripts/release.sh" >"$work/log" 2>&1) ||
    { cat "$work/log" >&2; echo "the second release build failed" >&2; exit 1; }

members() { case $1 in *.zip) unzip -Z1 "$1" ;; *.deb) ar t "$1" ;; *) tar -tf "$1" ;; esac; }
member() { case $1 in *.zip) unzip -p "$1" "$2" ;; *.deb) ar p "$1" "$2" ;; *) tar -xOf "$1" "$2" ;; esac; }
# The first member that differs between the archives $1 and $2, named after $3.
first_difference() {
    case $1 in *.zip | *.deb | *.tar*) ;; *) echo "$3, $(cmp "$1" "$2" | sed 's/.* differ: //')"; return ;; esac
    [ "$(members "$1")" = "$(members "$2")" ] || { echo "$3: the list of members"; return; }
    local name
    while IFS= read -r name; do
        cmp -s <(member "$1" "$name") <(member "$2" "$name") && continue
        if [[ $name == *.tar* ]]; then
            member "$1" "$name" >"$work/1-$name" && member "$2" "$name" >"$work/2-$name"
            first_difference "$work/1-$name" "$work/2-$name" "$3: $name"
        else
            echo "$3: $name"
        fi
        return
    done < <(members "$1")
    echo "$3: the same members, but their times, order or attributes differ"
}

[ "$(ls dist)" = "$(ls "$copy/dist")" ] || { echo "the second build made $(ls "$copy/dist")" >&2; exit 1; }
differ=0
for file in dist/*; do
    cmp -s "$file" "$copy/$file" && continue
    echo "not reproducible: $(first_difference "$file" "$copy/$file" "${file#dist/}")" >&2
    differ=1
done
[ "$differ" -eq 0 ] || { echo "compare with: diffoscope dist/<file> $copy/dist/<file>" >&2; exit 1; }
rm -rf build/again
echo "reproducible: $(cd dist && sha256sum -- * | sed 's/  / /' | tr '\n' ';')"
