#!/usr/bin/env bash
# Runs a command on an i686 Windows build with 32-bit Wine inside the emulated machine
# (tools/emulated-machine.sh), for hosts whose kernel runs no 32-bit programs. The work tree's
# tracked files, BUILD-DIR (without object files, static libraries and Wine prefixes) and each
# further PATH are unpacked in the machine at their absolute paths here, since CMake's build
# folders refer to them so; programs then run from the machine's own disk, never from the shared
# folder. Wine prefixes are made there on first use, from the machine's template. COMMAND runs in
# the work tree's root with SHARE naming SHARE-DIR as the machine sees it, for what it brings back.
# Ends with COMMAND's exit status.
#   in-emulated-machine.sh SHARE-DIR BUILD-DIR [--with PATH]... -- COMMAND [ARGUMENTS...]
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
mkdir -p "$1"
share=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
shift 2
extra=()
while [ $# -ge 2 ] && [ "$1" = --with ]; do
  extra+=("$(realpath "$2")")
  shift 2
done
[ "${1:-}" = -- ] && [ $# -ge 2 ] || { echo "usage: $0 SHARE-DIR BUILD-DIR [--with PATH]... -- COMMAND..." >&2; exit 2; }
shift
[ -f "$build/CTestTestfile.cmake" ] || { echo "in-emulated-machine: $build is not a configured build folder" >&2; exit 1; }
rm -rf "${share:?}"/*

# Tracked files as they are now, the build folder and the further paths, at absolute paths.
list=$share/files
git ls-files -z | while IFS= read -r -d '' file; do
  [ -e "$file" ] && printf '%s\0' "$repo/$file"
done >"$list"
# Wine prefixes stay behind: the machine makes its own from its template.
prune=(-name '*.o' -o -name '*.obj' -o -name '*.a' -o -path "$share")
while read -r prefix; do prune+=(-o -path "$prefix"); done < <(find "$build" "${extra[@]}" -name system.reg -printf '%h\n')
find "$build" "${extra[@]}" \( "${prune[@]}" \) -prune -o -print0 >>"$list"
tar -cPf "$share/tree.tar" --no-recursion --null -T "$list"
rm "$list"
echo "emulated machine: staged $(du -sm "$share/tree.tar" | cut -f1) MB"

{
  printf 'repo=%q\n' "$repo"
  printf 'command=(%s)\n' "$(printf '%q ' "$@")"
  cat <<'JOB'
set -uo pipefail
tar -xPf /mnt/share/tree.tar
rm /mnt/share/tree.tar
cd "$repo"
SHARE=/mnt/share "${command[@]}"
JOB
} >"$share/job.sh"

status=0
tools/emulated-machine.sh run "$share" bash job.sh || status=$?
rm -f "$share/tree.tar"
exit $status
