#!/usr/bin/env bash
# Checks a built Debian package: it holds the programs, the title picture and
# the bell, the font table, the launcher entries, icons, AppStream metadata, manual pages,
# copyright and the browser edition, and nothing of the developers' tools; its dependencies name Qt's
# libraries (computed) and the fonts; lintian reports no error.
# Usage: packaging/check_package.sh PACKAGE.deb
set -euo pipefail
deb=$1
fail() { echo "FAIL: $*"; exit 1; }

listing=$(dpkg-deb -c "$deb" | awk '{print $NF}')
required=(./usr/bin/kalorix ./usr/bin/diffundo
          ./usr/share/kalorix-diffundo/titelbild1.jpg ./usr/share/kalorix-diffundo/ding.wav
          ./usr/share/kalorix-diffundo/fonts.bin
          ./usr/share/man/man1/kalorix.1.gz ./usr/share/man/man1/diffundo.1.gz
          ./usr/share/doc/kalorix-diffundo/copyright ./usr/share/doc/kalorix-diffundo/changelog.gz
          ./usr/share/kalorix-diffundo/web/index.html ./usr/share/kalorix-diffundo/web/service-worker.js)
for program in kalorix diffundo; do
    for size in 16 32 48 64 128 256; do required+=("./usr/share/icons/hicolor/${size}x$size/apps/$program.png"); done
    required+=("./usr/share/kalorix-diffundo/web/$program.html" "./usr/share/kalorix-diffundo/web/$program.webmanifest"
               "./usr/share/kalorix-diffundo/web/icons/$program-192.png" "./usr/share/kalorix-diffundo/web/icons/$program-512.png")
done
for path in "${required[@]}"; do grep -qxF "$path" <<<"$listing" || fail "$deb lacks $path"; done
for pattern in '^\./usr/share/applications/.*\.kalorix\.desktop$' '^\./usr/share/applications/.*\.diffundo\.desktop$' \
               '^\./usr/share/metainfo/.*\.kalorix\.metainfo\.xml$' '^\./usr/share/metainfo/.*\.diffundo\.metainfo\.xml$'; do
    grep -qE "$pattern" <<<"$listing" || fail "$deb has no file matching $pattern"
done
programs=$(grep -E '^\./usr/bin/.' <<<"$listing" | tr '\n' ' ')
[ "$programs" = "./usr/bin/diffundo ./usr/bin/kalorix " ] || fail "$deb installs $programs into /usr/bin"
echo "contents: ${#required[@]} required files, launcher entries and metadata present; /usr/bin holds the two programs"

depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libqt6widgets6 libqt6gui6 libqt6multimedia6 libqt6printsupport6 fonts-liberation; do
    grep -qw "$dependency" <<<"$depends" || fail "Depends lacks $dependency: $depends"
done
echo "Depends: $depends"

lintian --fail-on error --info "$deb" || fail "lintian reports errors"
echo "lintian: no errors"
