#!/usr/bin/env bash
# Runs a validator from Debian's packages: validate.sh TOOL ARGUMENTS...
# Reported as skipped (exit 77) where the tool is not installed; build.sh
# installs it for ./build.sh test.
command -v "$1" >/dev/null || { echo "$1 is not installed: skipped"; exit 77; }
exec "$@"
