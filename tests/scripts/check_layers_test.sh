#!/usr/bin/env bash
# The layering check against small made-up trees: it must name an include
# that points up and <windows.h> outside a win32/ folder, and pass a tree
# whose includes all point down.
set -uo pipefail
check="$(dirname "$0")/../../scripts/check-layers.sh"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0

make_tree() {  # make_tree "<path>|<line>" ...: one file each, holding that line
  rm -rf "${tree:?}"/*
  for entry in "$@"; do
    mkdir -p "$tree/$(dirname "${entry%%|*}")"
    printf '%s\n' "${entry#*|}" >>"$tree/${entry%%|*}"
  done
}
expect() {  # expect <what> <exit code> <text the output must hold>
  local output code
  output=$(bash "$check" "$tree" 2>&1)
  code=$?
  if [ "$code" != "$2" ] || [[ $output != *"$3"* ]]; then
    printf 'FAIL %s\n  expected exit %s with: %s\n  got exit %s:\n%s\n' "$1" "$2" "$3" "$code" "$output"
    failures=$((failures + 1))
  fi
}

make_tree 'app/a.cpp|#include "stages/s.h"' 'stages/s.h|#include "job/j.h"' \
  'job/j.h|#include "automation/w.h"' 'automation/w.h|#include "platform/p.h"' \
  'platform/p.h|#include <string>' 'platform/win32/x.cpp|#include <windows.h>' \
  'app/win32/v.cpp|#include "app/a.h"'
expect "includes that point down" 0 "every include points down"

make_tree 'stages/s.cpp|#include "platform/p.h"' 'stages/s.cpp|#include "app/frm_main.h"'
expect "an include that points up" 1 'stages/s.cpp:2: includes "app/frm_main.h" from the floor app/ above its own stages/'

make_tree 'platform/win32/x.cpp|#include "automation/w.h"'
expect "the Win32 side of a floor is on that floor" 1 'platform/win32/x.cpp:1: includes "automation/w.h"'

make_tree 'job/j.cpp|  #  include <Windows.h>'
expect "<windows.h> outside a win32/ folder" 1 "job/j.cpp:1: includes <windows.h> outside a win32/ folder"

make_tree 'tools/t.cpp|#include "job/j.h"'
expect "a file on no floor" 1 "tools/t.cpp: on no floor"

[ "$failures" -eq 0 ] && echo "check-layers: all cases passed"
exit $((failures > 0))
