#!/usr/bin/env bash
# Runs a command on an i686 Windows build with 32-bit Wine inside the emulated machine
# (tools/emulated-machine.sh), for hosts whose kernel runs no 32-bit programs. The work tree's
# tracked files, BUILD-DIR (without object files, static libraries and Wine prefixes) and each
# further PATH are unpacked in the machine at their absolute paths here, since CMake's build
# folders refer to them so; programs then run from the machine's own disk, never from the shared
# folder. The Wine prefixes that BUILD-DIR's tests and the tools use are copied from the machine's
# template instead of made anew. COMMAND runs in the work tree's root with SHARE naming SHARE-DIR
# as the machine sees it, for what it brings back. Ends with COMMAND's exit status.
#   in-emulated-machine.sh SHARE-DIR BUILD-DIR [--with PATH]... [--prefix PREFIX]... -- COMMAND [ARGUMENTS...]
# --prefix makes one more prefix from the template, for a command that starts its session itself.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
mkdir -p "$1"
share=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
shift 2
extra=() own_prefixes=()
while [ $# -ge 2 ]; do
  case "$1" in
    --with) extra+=("$(realpath "$2")") ;;
    --prefix) own_prefixes+=("$(realpath -m "$2")") ;;
    *) break ;;
  esac
  shift 2
done
[ "${1:-}" = -- ] && [ $# -ge 2 ] || { echo "usage: $0 SHARE-DIR BUILD-DIR [--with PATH]... [--prefix PREFIX]... -- COMMAND..." >&2; exit 2; }
shift
[ -f "$build/CTestTestfile.cmake" ] || { echo "in-emulated-machine: $build is not a configured build folder" >&2; exit 1; }
rm -rf "${share:?}"/*

# The Wine prefixes, each copied from the machine's template (made with the settings of
# tools/wine-prefix.sh): tools/wine-env.sh's own and WINEPREFIX in test environments, which get a
# persistent session; and a prefix that follows an X display (":N PREFIX") in a test's command,
# whose session the tests start and stop themselves.
{
  env -u WINEPREFIX -u WINEARCH bash -c 'source tools/wine-env.sh && echo "$WINEPREFIX"'
  find "$build" -name CTestTestfile.cmake -exec cat {} + \
    | grep -oE 'WINEPREFIX=[^;"]+' | sed 's/^WINEPREFIX=//' || true
  find "$build" -name CTestTestfile.cmake -exec cat {} + \
    | grep -oE '":[0-9]+" "/[^"]+"' | sed -E 's/^"(:[0-9]+)" "([^"]+)"$/\2 \1/' || true
  for prefix in "${own_prefixes[@]}"; do echo "$prefix own-session"; done
} | awk '!($1 in display) || $2 != "" { display[$1] = $2 } END { for (p in display) print p, display[p] }' \
  >"$share/prefixes"

# Tracked files as they are now, the build folder and the further paths, at absolute paths.
list=$share/files
git ls-files -z | while IFS= read -r -d '' file; do
  [ -e "$file" ] && printf '%s\0' "$repo/$file"
done >"$list"
# Wine prefixes stay behind: those the tests use come from the template, any other is not needed.
prune=(-name '*.o' -o -name '*.obj' -o -name '*.a' -o -path "$share")
while read -r prefix; do prune+=(-o -path "$prefix"); done < <(
  cut -d' ' -f1 "$share/prefixes"
  find "$build" "${extra[@]}" -name system.reg -printf '%h\n')
find "$build" "${extra[@]}" \( "${prune[@]}" \) -prune -o -print0 >>"$list"
tar -cPf "$share/tree.tar" --no-recursion --null -T "$list"
rm "$list"
echo "emulated machine: staged $(du -sm "$share/tree.tar" | cut -f1) MB; Wine prefixes: $(cut -d' ' -f1 "$share/prefixes" | tr '\n' ' ')"

{
  printf 'repo=%q\n' "$repo"
  printf 'command=(%s)\n' "$(printf '%q ' "$@")"
  cat <<'JOB'
set -uo pipefail
tar -xPf /mnt/share/tree.tar
rm /mnt/share/tree.tar
cd "$repo"
# A copied template counts as made by tools/wine-prefix.sh once marked so.
while read -r prefix display; do
  wine-session --prefix-only "$prefix" && touch "$prefix/.prefix-ready"
  [ -n "$display" ] || wine-session "$prefix" || echo "emulated machine: the Wine session for $prefix did not start"
done </mnt/share/prefixes
SHARE=/mnt/share "${command[@]}"
JOB
} >"$share/job.sh"

status=0
tools/emulated-machine.sh run "$share" bash job.sh || status=$?
rm -f "$share/tree.tar"
exit $status
