#!/usr/bin/env bash
# Plants one include at a time into an otherwise empty tree and runs the
# layer check on it: the check must fail exactly on the includes that run
# against the layers.
# Usage: tests/layers/planted_includes.sh CHECK_LAYERS_SCRIPT
set -uo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT

# file | include line | 0: passes, 1: fails
cases=(
    'kalorix/theory.cpp|#include <QPainter>|1'
    'kalorix/core/thermodynamics.h|#include <QtCore/QString>|1'
    'diffundo/dice.cpp|  #  include <QString>|1'
    'common/screens/menu_list.cpp|#include <QStringList>|1'
    'common/numeric/csv_table.cpp|#include <QLocale>|1'
    'common/unicode/utf8.cpp|#include <QString>|1'
    'kalorix/main.cpp|#include <QApplication>|0'
    'common/window/main_window.cpp|#include <QMainWindow>|0'
    'common/desktop_output/picture_output.cpp|#include <QPdfWriter>|0'
    'common/runtime/surface.cpp|#include <QImage>|1'
    'kalorix/theory.cpp|#include <vector>|0'
    'kalorix/theory.cpp|#include "common/window/window_runtime.h"|1'
    'common/runtime/runtime.cpp|#include "common/desktop_output/picture_output.h"|1'
    'common/scripted/scripted_extras.cpp|#include "common/desktop_output/picture_output.h"|1'
    'common/scripted/scripted_runtime.cpp|#include <QImage>|1'
    'common/web/picture_table.cpp|#include <QImage>|1'
    'tools/scenario_run/desktop_scenario.cpp|#include "common/desktop_output/picture_output.h"|0'
    'common/lesson/lesson.cpp|#include <QUrl>|1'
    'common/lesson/lesson.cpp|#include "common/runtime/runtime.h"|1'
    'kalorix/input.cpp|#include "common/lesson/lesson.h"|0'
)

failures=0
for row in "${cases[@]}"; do
    IFS='|' read -r file line expected <<<"$row"
    rm -rf "${tree:?}"/*
    mkdir -p "$tree/$(dirname "$file")"
    printf '%s\n' "$line" >"$tree/$file"
    bash "$check" "$tree" >/dev/null
    got=$?
    if [ "$got" -ne "$expected" ]; then
        echo "FAIL: $file with '$line': exit $got, expected $expected"
        failures=$((failures + 1))
    fi
done
[ $failures -eq 0 ] && echo "planted includes: ${#cases[@]} cases as expected"
[ $failures -eq 0 ]
