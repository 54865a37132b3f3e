#!/usr/bin/env bash
# build.sh's installer as a newcomer without root meets it: sourced from a
# copy of build.sh and run as an ordinary user (nobody, when the tests run as
# root) on a PATH of its own, where apt-get and sudo are stand-ins and sudo
# is present only where a row says so. Without sudo: one German line on
# stderr that says what to do and names the missing packages, exit 1, apt-get
# not called. With sudo: one line naming what is installed, apt-get's output
# in the log, which is shown only when the installation fails.
# Usage: installer.sh BUILD_SH
set -uo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/build.sh"

mkdir "$work/bin" "$work/sudo"
for tool in bash dpkg-query grep id dirname mkdir tail env; do
    ln -s "$(command -v "$tool")" "$work/bin/$tool"
done
# apt-get prints as much as a first installation does, notes each call, and
# fails on install when the row asks it to.
cat >"$work/bin/apt-get" <<'STAND_IN'
#!/bin/bash
echo "${DEBIAN_FRONTEND:-} $*" >>"$HOME/apt-calls"
for i in $(seq 2400); do echo "Unpacking package-$i ..."; done
if [ "$1" = install ] && [ -e "$HOME/apt-fails" ]; then echo "E: broken package"; exit 100; fi
STAND_IN
ln -s "$(command -v seq)" "$work/bin/seq"
printf '#!/bin/bash\nexec "$@"\n' >"$work/sudo/sudo"
chmod +x "$work/bin/apt-get" "$work/sudo/sudo"

as_user=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$work"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

# name | sudo on the PATH | apt-get install fails | exit code | lines on stdout | lines on stderr
rows=(
    "without sudo|no|no|1|0|1"
    "with sudo|yes|no|0|1|0"
    "with sudo, apt-get fails|yes|yes|1|1|31"
)
missing=(kalorix-fehlt-1 diffundo-fehlt-2)

status=0
for row in "${rows[@]}"; do
    IFS='|' read -r name with_sudo apt_fails code out_lines err_lines <<<"$row"
    rm -rf "$work/build" "$work/apt-calls" "$work/apt-fails"
    [ "$apt_fails" = yes ] && touch "$work/apt-fails"
    path=$work/bin
    [ "$with_sudo" = yes ] && path+=:$work/sudo
    (cd "$work" && "${as_user[@]}" env -i PATH="$path" HOME="$work" bash -c \
        '. ./build.sh && install_missing bash "$@"' installer "${missing[@]}" >"$work/out" 2>"$work/err")
    got=$?
    problem=""
    [ "$got" -eq "$code" ] || problem="exit code $got, expected $code"
    [ "$(wc -l <"$work/out")" -eq "$out_lines" ] || problem+="; $(wc -l <"$work/out") lines on stdout"
    [ "$(wc -l <"$work/err")" -eq "$err_lines" ] || problem+="; $(wc -l <"$work/err") lines on stderr"
    # What the user reads names every missing package and no installed one.
    for package in "${missing[@]}"; do grep -qw -- "$package" "$work/out" "$work/err" || problem+="; $package not named"; done
    grep -qw bash "$work/out" "$work/err" && problem+="; the installed bash named"
    if [ "$with_sudo" = no ]; then
        grep -qF "„su -“" "$work/err" && grep -qF "sudo einrichten" "$work/err" || problem+="; no way out named"
        [ -e "$work/apt-calls" ] && problem+="; apt-get called"
    else
        calls=$(cat "$work/apt-calls" 2>/dev/null)
        [ "$calls" = " update"$'\n'"noninteractive install -y ${missing[*]}" ] || problem+="; apt-get calls: $calls"
        [ "$(grep -c Unpacking "$work/build/apt-get.log" 2>/dev/null)" = 4800 ] || problem+="; apt-get's output not all in the log"
        grep -q Unpacking "$work/out" && problem+="; apt-get's output on stdout"
        if [ "$apt_fails" = yes ]; then
            grep -qF "E: broken package" "$work/err" && grep -qF build/apt-get.log "$work/err" || problem+="; the log not shown"
        fi
    fi
    if [ -n "$problem" ]; then
        echo "FAIL: $name: ${problem#; }"
        sed 's/^/  out: /' "$work/out"
        head -n 5 "$work/err" | sed 's/^/  err: /'
        status=1
    else
        echo "ok:   $name -> $code"
    fi
done
exit $status
