#!/usr/bin/env bash
# Answers (exit status 0) whether this machine's kernel runs 32-bit x86 programs itself, which is
# what 32-bit Wine needs. It runs a tiny 32-bit program made on the spot. Once a user-mode
# emulator is registered for i386 programs, that program would run under the emulator and prove
# nothing, so a registered, enabled i386 entry counts as no native support.
#   runs-32bit-code.sh [--why]    with --why, says in one line what was found
set -uo pipefail
say() { if [ "${1:-}" = --why ]; then echo "$2"; fi; }

# An entry is for 32-bit x86 programs when its magic is that of a 32-bit ELF file (class byte 1)
# whose machine field (bytes 18 and 19) is 3.
for entry in /proc/sys/fs/binfmt_misc/*; do
  case "$(basename "$entry")" in register | status) continue ;; esac
  [ -f "$entry" ] || continue
  magic=$(sed -n 's/^magic //p' "$entry")
  if grep -qx enabled "$entry" && [ "${magic:0:10}" = 7f454c4601 ] && [ "${magic:36:4}" = 0300 ]; then
    say "${1:-}" "an emulator is registered for 32-bit programs ($entry): counted as no native 32-bit support"
    exit 1
  fi
done

probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '.globl _start\n_start:\n  movl $1, %%eax\n  movl $42, %%ebx\n  int $0x80\n' >"$probe/exit42.s"
if ! as --32 "$probe/exit42.s" -o "$probe/exit42.o" || ! ld -m elf_i386 "$probe/exit42.o" -o "$probe/exit42"; then
  echo "runs-32bit-code.sh: cannot assemble the probe (binutils missing?)" >&2
  exit 2
fi
"$probe/exit42" 2>/dev/null
status=$?
if [ $status -eq 42 ]; then
  say "${1:-}" "the kernel runs 32-bit programs"
  exit 0
fi
say "${1:-}" "the kernel does not run 32-bit programs (the probe ended with status $status)"
exit 1
