#!/usr/bin/env bash
# Fails, naming the file and the include, when a file of the program includes
# one from a floor above its own. The floors, from the top: the window and
# its job driver (app), the stages, the job, the window automation, the
# platform. A floor's win32/ folder belongs to that floor. Also fails when
# <windows.h> is included outside a win32/ folder.
#   bash scripts/check-layers.sh [source folder, default src]
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
floors=(app stages job automation platform)

rank=""
rank_of() {  # sets rank to the floor's place, 0 at the top; "" when on no floor
  rank=""
  local i
  for i in "${!floors[@]}"; do
    if [[ $1 == "${floors[$i]}"/* ]]; then rank=$i; return 0; fi
  done
  return 0
}

faults=0
fault() { echo "$1"; faults=$((faults + 1)); }
include_re='^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]([^">]+)[">]'
while IFS= read -r -d '' file; do
  rel=${file#"$src"/}
  rank_of "$rel"
  own=$rank
  if [ -z "$own" ]; then
    fault "$rel: on no floor (${floors[*]})"
    continue
  fi
  number=0
  while IFS= read -r line || [ -n "$line" ]; do
    number=$((number + 1))
    [[ $line =~ $include_re ]] || continue
    included=${BASH_REMATCH[1]}
    if [[ ${included,,} == windows.h && $rel != */win32/* ]]; then
      fault "$rel:$number: includes <windows.h> outside a win32/ folder"
      continue
    fi
    rank_of "$included"
    if [ -n "$rank" ] && [ "$rank" -lt "$own" ]; then
      fault "$rel:$number: includes \"$included\" from the floor ${floors[$rank]}/ above its own ${floors[$own]}/"
    fi
  done <"$file"
done < <(find "$src" \( -name '*.h' -o -name '*.cpp' -o -name '*.rc' -o -name '*.in' \) -print0 | sort -z)

if [ "$faults" -gt 0 ]; then
  echo "layering: $faults fault(s); the floors from the top: ${floors[*]}" >&2
  exit 1
fi
echo "layering: every include points down (${floors[*]})"
