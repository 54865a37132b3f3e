#!/usr/bin/env bash
# Builds the Debian package twice from this source tree, the second build
# after the first in the same directory, and compares the two packages: the
# same control files and the same installed files, with the same bytes,
# modes and owners. Anything a build takes from its clock (a file's
# modification time inside the programs, and the build ID computed over
# them) shows here. Not compared: the times of the files in the archive.
# Two builds of the programs without the tests take several minutes, so
# CI runs it after the package (.ci/run), not CTest.
# Usage: packaging/check_reproducible.sh
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for round in 1 2; do
    rm -rf "$work/build"
    # The browser edition's pages and the files beside them, as build.sh package makes them.
    if ! { cmake -S . -B "$work/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF &&
           cmake --build "$work/build" -j"$(nproc)" && cmake --build "$work/build" --target web_program_files &&
           NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} emcmake cmake -S . -B "$work/build/web-build" \
               -DCMAKE_BUILD_TYPE=Release -DNATIVE_PROGRAM_DIR="$work/build/web-program" &&
           NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} cmake --build "$work/build/web-build" -j"$(nproc)" \
               --target web_hosted_files &&
           cmake -S . -B "$work/build" -DWEB_EDITION_DIR="$work/build/web" &&
           (cd "$work/build" && cpack -G DEB); } >"$work/log" 2>&1; then
        cat "$work/log"
        echo "FAIL: build $round of the package"
        exit 1
    fi
    mv "$work"/build/*.deb "$work/$round.deb"
    dpkg-deb -R "$work/$round.deb" "$work/$round"
    # Modes, owners, sizes and names; the times of the files are left out.
    dpkg-deb -c "$work/$round.deb" | awk '{$4 = $5 = ""; print}' >"$work/$round.list"
done

if ! diff "$work/1.list" "$work/2.list" || ! diff -r "$work/1" "$work/2"; then
    echo "FAIL: two builds of the same source give different packages"
    exit 1
fi
echo "reproducible: two builds give the same $(wc -l <"$work/1.list") entries with the same bytes"
