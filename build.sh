#!/usr/bin/env bash
# Set-up, build, start and test in one place.
#   ./build.sh run        install what is missing, build kalorix alone, start it
#   ./build.sh diffundo   the same for diffundo
#   ./build.sh test       install what is missing, build everything (the browser
#                         edition too), run all tests
#   ./build.sh build      install what is missing and build everything
#   ./build.sh package    the same, then the Debian package in build/, checked
#   ./build.sh web        install what is missing, build the browser edition in
#                         build/web/ (zipped for download in
#                         build/kalorix-diffundo-web.zip) and serve it on
#                         127.0.0.1 until Ctrl+C
#                         (--build-only: build, do not serve)
#   ./build.sh test-web   build the browser edition and run its tests alone
# Arguments after run or diffundo go to the program (e.g. --help).
# Sourced (. ./build.sh), it only defines what follows up to the actions, so
# that a test can call install_missing alone.

# What building and running the programs needs.
packages=(cmake g++ make qt6-base-dev qt6-multimedia-dev qt6-translations-l10n libgtest-dev
          fonts-liberation libgl-dev)
# What the tests and the package need besides: the validators of launcher
# entries and AppStream metadata, dpkg-shlibdeps and file for the package's
# computed dependencies, lintian for the package, and DejaVu, which stands in
# for the Liberation fonts in the test of a machine without them.
check_packages=(desktop-file-utils appstream dpkg-dev file lintian fonts-dejavu-core)

# apt-get's output, a few thousand lines of dpkg progress on a first
# installation, goes here and is shown only when the installation fails.
apt_log=build/apt-get.log

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            echo "build.sh: Es fehlen Pakete, die nur root installieren kann, und sudo gibt es hier nicht." \
                 "Mit „su -“ root werden und „apt-get install ${missing[*]}“ eingeben oder sudo einrichten," \
                 "dann build.sh erneut starten." >&2
            return 1
        fi
        sudo=sudo
    fi
    echo "Installiere: ${missing[*]} (Ausgabe von apt-get in $apt_log)"
    mkdir -p "$(dirname "$apt_log")"
    # env after sudo: sudo would drop a variable set before it.
    if ! { $sudo apt-get update && $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"; } \
            >"$apt_log" 2>&1 </dev/null; then
        tail -n 30 "$apt_log" >&2
        echo "build.sh: Die Installation ist gescheitert; die ganze Ausgabe von apt-get steht in $apt_log." >&2
        return 1
    fi
}

# Builds the given targets, or everything; a program's target brings its
# picture, sound and icons with it.
build() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j"$(nproc)" "$@"
}

# The browser edition: Debian's Emscripten, and Chromium for its page tests.
web_packages=(emscripten)
web_check_packages=(chromium)

# Builds the WebAssembly build in build/web-build. Its program files (font
# table, title picture decoded, bell) are made by the desktop build's tools.
web_build() {
    build --target web_program_files
    # Debian's emcc finds Debian's acorn only through NODE_PATH when the node
    # on the PATH is not Debian's own; the build sets it for every emcc call.
    export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
    emcmake cmake -S . -B build/web-build -DCMAKE_BUILD_TYPE=Release \
        -DNATIVE_PROGRAM_DIR="$PWD/build/web-program" >/dev/null
    cmake --build build/web-build -j"$(nproc)"
    web_zip
}

# What build/web holds for a web server or a stick, and the zip of it for
# download, build/kalorix-diffundo-web.zip: one folder, the names sorted, every
# file with the same time and mode, so that the same files give the same bytes.
# The web build lists the edition's files in build/web-build/web_files.txt.
web_zip() {
    local web_files
    mapfile -t web_files < build/web-build/web_files.txt
    python3 - build/web build/kalorix-diffundo-web.zip "${web_files[@]}" <<'PYTHON'
import sys, zipfile
folder, target, names = sys.argv[1], sys.argv[2], sorted(sys.argv[3:])
with zipfile.ZipFile(target + '.part', 'w') as archive:
    for name in names:
        entry = zipfile.ZipInfo('kalorix-diffundo-web/' + name, date_time=(2020, 1, 1, 0, 0, 0))
        entry.external_attr = 0o100644 << 16
        entry.compress_type = zipfile.ZIP_DEFLATED
        with open(folder + '/' + name, 'rb') as data:
            archive.writestr(entry, data.read(), compresslevel=9)
import os
os.replace(target + '.part', target)
PYTHON
    echo "Zum Herunterladen: build/kalorix-diffundo-web.zip"
}

# The package holds the browser edition too: built first, then named.
package() {
    web_build
    cmake -S . -B build -DWEB_EDITION_DIR="$PWD/build/web" >/dev/null
    rm -f build/*.deb
    (cd build && cpack -G DEB)
    packaging/check_package.sh build/*.deb
}

# Sourced, the script ends here.
[ "${BASH_SOURCE[0]}" = "$0" ] || return 0
set -euo pipefail
cd "$(dirname "$0")"

action=${1:-run}
[ $# -gt 0 ] && shift
case "$action" in
    run)      install_missing "${packages[@]}"; build --target kalorix; exec build/bin/kalorix "$@" ;;
    diffundo) install_missing "${packages[@]}"; build --target diffundo; exec build/bin/diffundo "$@" ;;
    build)    install_missing "${packages[@]}"; build ;;
    test)     install_missing "${packages[@]}" "${check_packages[@]}" "${web_packages[@]}" "${web_check_packages[@]}"
              build
              (cd build && ctest --output-on-failure -j"$(nproc)")
              web_build
              cd build/web-build && ctest --output-on-failure -j"$(nproc)" ;;
    package)  install_missing "${packages[@]}" "${check_packages[@]}" "${web_packages[@]}"; build; package ;;
    web)      install_missing "${packages[@]}" "${web_packages[@]}"; web_build
              if [ "${1:-}" != "--build-only" ]; then
                  echo "Die Browser-Ausgabe: http://127.0.0.1:8020/kalorix.html und" \
                       "http://127.0.0.1:8020/diffundo.html (Ende mit Strg+C)"
                  exec python3 -m http.server 8020 --bind 127.0.0.1 --directory build/web
              fi ;;
    test-web) install_missing "${packages[@]}" "${web_packages[@]}" "${web_check_packages[@]}"; web_build
              cd build/web-build && ctest --output-on-failure -j"$(nproc)" ;;
    *)        echo "Aufruf: $0 [run|diffundo|build|test|package|web|test-web] [Argumente des Programms]" >&2; exit 2 ;;
esac
