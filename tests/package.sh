#!/usr/bin/env bash
# The Debian package as scripts/package makes it, made again into a temporary folder: its version is the
# program's; it holds exactly the files of tests/data/package.tsv and depends on the packages named there and on
# the package of every QML module the screens import (a package without one installs cleanly, then shows an
# empty window); its desktop entry and metainfo pass desktop-file-validate and appstreamcli without the network.
# Usage: tests/package.sh BUILD_DIR QMAKE
set -uo pipefail
build=$1 qml=$("$2" -query QT_INSTALL_QML)
cases="$(dirname "$0")/data/package.tsv" screens="$(dirname "$0")/../qml"
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }
depends_on() { [[ ", $depends," == *", $1"[\ ,]* ]]; }

made=$(cd "$build" && cpack -G DEB -B "$out" 2>&1) || { echo "$made"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$out"/quillmere_*.deb)
depends=$(dpkg-deb -f "$deb" Depends)
[ "$(dpkg-deb -f "$deb" Version)" = "$("$build/app/quillmere" --version | cut -d' ' -f2)" ] || fail "version"

diff <(grep -v '^#' "$cases" | awk -F'\t' '$1 == "file" { print $2 }' | sort) \
     <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort) || fail "file list"
for package in $(grep -v '^#' "$cases" | awk -F'\t' '$1 == "depends" { print $2 }'); do
    depends_on "$package" || fail "$package not in Depends"
done

# Each import as Qt finds it: the major version on the last part of the name, then on one further up, then none.
for import in $(sed -n 's/^import \([A-Za-z][A-Za-z0-9.]*\) \([0-9]*\)\..*/\1@\2/p' "$screens"/*.qml | sort -u); do
    module=${import%@*} major=${import#*@} qmldir=""
    [ "$module" = backend ] && continue # the program's own type
    IFS=. read -ra parts <<<"$module"
    for ((i = ${#parts[@]} - 1; i >= -1; i--)); do
        named=("${parts[@]}")
        [ $i -ge 0 ] && named[i]+=".$major"
        qmldir="$qml/$(IFS=/; echo "${named[*]}")/qmldir"
        [ -f "$qmldir" ] && break
        qmldir=""
    done
    [ -n "$qmldir" ] || { fail "$module $major is not installed"; continue; }
    package=$(dpkg -S "$qmldir" | cut -d: -f1)
    depends_on "$package" || fail "$module needs $package, not in Depends"
done

dpkg-deb -x "$deb" "$out/root"
report=$(desktop-file-validate "$out"/root/usr/share/applications/*.desktop 2>&1)
[ -z "$report" ] || fail "desktop entry: $report"
appstreamcli validate --no-net "$out"/root/usr/share/metainfo/*.metainfo.xml || fail "metainfo"
exit $status
