#!/usr/bin/env bash
# Answers (exit status 0) whether this machine's kernel runs 32-bit x86 programs itself, which is
# what 32-bit Wine needs. It runs a tiny 32-bit program made on the spot. Once a user-mode
# emulator is registered for i386 programs, that program would run under the emulator and prove
# nothing, so a registered, enabled i386 entry counts as no native support.
#   runs-32bit-code.sh             the answer; RUNS_32BIT_CODE (yes or no) gives one found earlier
#                                  in the same command instead of probing again
#   runs-32bit-code.sh --why       probes and says in one line what was found
#   runs-32bit-code.sh --emulator  prints the enabled binfmt_misc entry that runs i386 programs
#                                  through an emulator (status 1 when there is none)
set -uo pipefail
mode=${1:-}
say() { if [ "$mode" = --why ]; then echo "$1"; fi; }

if [ -z "$mode" ]; then
  case "${RUNS_32BIT_CODE:-}" in
    yes) exit 0 ;;
    no) exit 1 ;;
  esac
fi

# An entry is for 32-bit x86 programs when its magic is that of a 32-bit ELF file (class byte 1)
# whose machine field (bytes 18 and 19) is 3.
for entry in /proc/sys/fs/binfmt_misc/*; do
  case "$(basename "$entry")" in register | status) continue ;; esac
  [ -f "$entry" ] || continue
  magic=$(sed -n 's/^magic //p' "$entry")
  if grep -qx enabled "$entry" && [ "${magic:0:10}" = 7f454c4601 ] && [ "${magic:36:4}" = 0300 ]; then
    if [ "$mode" = --emulator ]; then echo "$entry"; exit 0; fi
    say "an emulator is registered for 32-bit programs ($entry): counted as no native 32-bit support"
    exit 1
  fi
done
[ "$mode" != --emulator ] || exit 1

# The probe needs no assembler, so it can run before anything is installed.
probe=$(mktemp)
trap 'rm -f "$probe"' EXIT
# A 32-bit ELF program of one loaded segment whose code is exit(42):
#   ELF header: 32-bit, little-endian, executable, i386, entry 0x08048054, one program header at 52
#   program header: load the file's 96 bytes at 0x08048000, readable and executable
#   code: mov eax, 1; mov ebx, 42; int 0x80
printf '%b' \
  '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
  '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
  '\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
  '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00' \
  '\x05\x00\x00\x00\x00\x10\x00\x00' \
  '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"
"$probe" 2>/dev/null
status=$?
if [ $status -eq 42 ]; then
  say "the kernel runs 32-bit programs"
  exit 0
fi
say "the kernel does not run 32-bit programs (the probe ended with status $status)"
exit 1
