#!/usr/bin/env bash
# Set-up, build, start and test in one place.
#   ./build.sh run        install what is missing, build kalorix alone, start it
#   ./build.sh diffundo   the same for diffundo
#   ./build.sh test       install what is missing, build everything, run all tests
#   ./build.sh build      install what is missing and build everything
#   ./build.sh package    the same, then the Debian package in build/, checked
# Arguments after run or diffundo go to the program (e.g. --help).
set -euo pipefail
cd "$(dirname "$0")"

# What building and running the programs needs.
packages=(cmake g++ make qt6-base-dev qt6-multimedia-dev qt6-translations-l10n libgtest-dev
          fonts-liberation libgl-dev)
# What the tests and the package need besides: the validators of launcher
# entries and AppStream metadata, dpkg-shlibdeps and file for the package's
# computed dependencies, lintian for the package.
check_packages=(desktop-file-utils appstream dpkg-dev file lintian)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

# Builds the given targets, or everything; a program's target brings its
# picture, sound and icons with it.
build() {
    cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    cmake --build build -j"$(nproc)" "$@"
}

package() {
    rm -f build/*.deb
    (cd build && cpack -G DEB)
    packaging/check_package.sh build/*.deb
}

action=${1:-run}
[ $# -gt 0 ] && shift
case "$action" in
    run)      install_missing "${packages[@]}"; build --target kalorix; exec build/bin/kalorix "$@" ;;
    diffundo) install_missing "${packages[@]}"; build --target diffundo; exec build/bin/diffundo "$@" ;;
    build)    install_missing "${packages[@]}"; build ;;
    test)     install_missing "${packages[@]}" "${check_packages[@]}"; build
              cd build && ctest --output-on-failure -j"$(nproc)" ;;
    package)  install_missing "${packages[@]}" "${check_packages[@]}"; build; package ;;
    *)        echo "usage: $0 [run|diffundo|build|test|package] [program arguments]" >&2; exit 2 ;;
esac
