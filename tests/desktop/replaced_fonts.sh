#!/usr/bin/env bash
# The font table tool on a machine without the Liberation fonts, where
# fontconfig would hand Qt DejaVu in their place: it refuses to write the
# table and says once which fonts are missing, what stands in for them and
# what to install.
# Usage: replaced_fonts.sh MAKE_FONT_TABLE
set -uo pipefail
dejavu=/usr/share/fonts/truetype/dejavu
[ -d "$dejavu" ] || { echo "no DejaVu fonts to stand in"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>$dejavu</dir><cachedir>$work/cache</cachedir></fontconfig>
CONF
FONTCONFIG_FILE="$work/fonts.conf" XDG_RUNTIME_DIR="$work" "$1" "$work/fonts.bin" >"$work/out" 2>"$work/err"
code=$?
status=0
fail() { echo "FAIL: $1"; status=1; }
[ "$code" -eq 1 ] || fail "exit code $code, expected 1"
[ -e "$work/fonts.bin" ] && fail "a table was written"
for text in "Liberation Serif (Qt would take DejaVu" "Liberation Mono (Qt would take DejaVu" fonts-liberation; do
    grep -qF -- "$text" "$work/err" || fail "no \"$text\" on stderr"
done
[ "$(grep -c "^make_font_table:" "$work/err")" -eq 1 ] || fail "not told exactly once"
[ $status -eq 0 ] || sed 's/^/  err: /' "$work/err"
exit $status
