#!/usr/bin/env bash
# A full-system emulated Debian 12 machine with 32-bit Wine, for hosts whose kernel runs 64-bit
# user code only. Its files are in tools/emulated-machine/ (init, helpers, package list).
#   emulated-machine.sh image                 build the machine once per host (again when this
#                                             recipe changes); needs root
#   emulated-machine.sh run SHARE COMMAND...  boot it (building it first when needed), share the
#                                             folder SHARE read-write at /mnt/share, run COMMAND
#                                             there with bash as root, stream its output and end
#                                             with its exit status
# In the machine, tools/wine-prefix.sh copies each Wine prefix from a template made with the image
# by the same script. Windows programs must run from the machine's own disk: copy them out of
# /mnt/share first.
# EMULATED_MACHINE_DIR   where the machine is kept (default /var/cache/vorlan2-emulated-machine)
# EMULATED_MACHINE_ACCEL kvm or tcg (default kvm when it boots the machine's kernel)
# EMULATED_MACHINE_TIMEOUT  seconds a run may take before the machine is stopped (default 2400)
set -euo pipefail
# The image holds the guest files and, to make its Wine prefix template, the prefix recipe.
prefix_recipe=("$(dirname "$0")/wine-env.sh" "$(dirname "$0")/wine-prefix.sh")
recipe_files=("$0" "$(dirname "$0")"/emulated-machine/* "${prefix_recipe[@]}")
guest_files=$(cd "$(dirname "$0")/emulated-machine" && pwd)
machine_dir=${EMULATED_MACHINE_DIR:-/var/cache/vorlan2-emulated-machine}
run_timeout=${EMULATED_MACHINE_TIMEOUT:-2400}
template_timeout=3600
suite=bookworm
started=$SECONDS

say() { echo "emulated machine: $* ($((SECONDS - started)) s)" >&2; }
die() { echo "emulated machine: $*" >&2; exit 1; }

recipe_hash() { cat "${recipe_files[@]}" | sha256sum | cut -d' ' -f1; }
image_is_current() { [ "$(cat "$machine_dir/recipe.sha256" 2>/dev/null)" = "$(recipe_hash)" ]; }

# KVM is usable when the machine's kernel boots under it as far as looking for its root disk (it
# then panics and the machine ends): /dev/kvm may open and still give a guest that hangs.
kvm_is_usable() {  # MACHINE
  [ -w /dev/kvm ] || return 1
  timeout 60 qemu-system-x86_64 -nodefaults -no-user-config -display none -accel kvm -cpu host -m 512M \
    -no-reboot -kernel "$1/vmlinuz" -append "console=ttyS0 panic=-1" -serial stdio </dev/null 2>/dev/null \
    | grep -q 'Kernel panic'
}
accel_options() {  # MACHINE
  local accel=${EMULATED_MACHINE_ACCEL:-}
  if [ -z "$accel" ]; then
    if kvm_is_usable "$1"; then accel=kvm; else accel=tcg; fi
  fi
  case "$accel" in
    kvm) echo "-accel kvm -cpu host" ;;
    # With SMAP the guest kernel oopses returning into 32-bit code.
    tcg) echo "-accel tcg,thread=multi -cpu max,smap=off" ;;
    *) die "EMULATED_MACHINE_ACCEL must be kvm or tcg, not \"$accel\"" ;;
  esac
}

# boot MACHINE SNAPSHOT SHARE DEADLINE JOB-SCRIPT: runs the job in the machine, with its output on
# standard output; ends with the job's exit status.
boot() {
  local machine=$1 snapshot=$2 share=$3 deadline=$4 job=$5 control status
  control=$(mktemp -d /tmp/emulated-machine-run.XXXXXX)
  cp "$job" "$control/job.sh"
  local accel
  accel=$(accel_options "$machine")
  say "booting (${accel%% -cpu*}, deadline $deadline s)"
  status=0
  # shellcheck disable=SC2086
  timeout --kill-after=20 "$deadline" qemu-system-x86_64 -nodefaults -no-user-config -display none \
    $accel -smp 2 -m 4G -no-reboot \
    -kernel "$machine/vmlinuz" -initrd "$machine/initrd.img" \
    -append "root=/dev/vda rw rootfstype=ext4 console=ttyS0 init=/usr/local/sbin/emulated-machine-init panic=-1 noresume mitigations=off" \
    -drive "file=$machine/disk.img,if=virtio,format=raw,snapshot=$snapshot" \
    -virtfs "local,path=$control,mount_tag=control,security_model=none" \
    -virtfs "local,path=$share,mount_tag=share,security_model=none" \
    -serial "file:$control/console.log" -chardev stdio,id=job,signal=off -serial chardev:job \
    </dev/null || status=$?
  if [ "$status" -eq 124 ] || [ "$status" -eq 137 ]; then
    echo "emulated machine: stopped after the deadline of $deadline s; the job did not finish (console: $control/console.log)" >&2
    return 1
  elif [ ! -f "$control/status" ]; then
    echo "emulated machine: it stopped (qemu status $status) without reporting the job's status: it failed to boot or died. Its console ($control/console.log) ends:" >&2
    tail -n 25 "$control/console.log" >&2 || true
    return 1
  fi
  status=$(cat "$control/status")
  rm -rf "$control"
  say "powered off; the job ended with status $status"
  return "$status"
}

# Installing wine32:i386 runs i386 programs in the chroot. When the kernel cannot run them, a
# user-mode emulator registered for i386 ELF does (F: the interpreter is opened now, so the chroot
# need not contain it).
binfmt=/proc/sys/fs/binfmt_misc
registered_i386_entry=
i386_elf_magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
i386_elf_mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
make_i386_programs_run() {  # ROOT
  local entry
  entry=$("$(dirname "$0")/runs-32bit-code.sh" --emulator || true)
  if [ -n "$entry" ]; then
    # Without F the interpreter is looked up inside the chroot.
    if ! grep -q '^flags:.*F' "$entry"; then
      local interpreter
      interpreter=$(sed -n 's/^interpreter //p' "$entry")
      mkdir -p "$1$(dirname "$interpreter")" && cp "$interpreter" "$1$interpreter"
    fi
    say "i386 programs run through $(sed -n 's/^interpreter //p' "$entry") (binfmt entry $(basename "$entry"))"
    return
  fi
  if "$(dirname "$0")/runs-32bit-code.sh"; then
    say "the kernel runs i386 programs itself"
    return
  fi
  [ -x /usr/bin/qemu-i386-static ] || die "the kernel cannot run i386 programs and qemu-user-static is not installed"
  [ -e "$binfmt/register" ] || mount -t binfmt_misc binfmt_misc "$binfmt"
  printf ':emulated-machine-i386:M::%s:%s:/usr/bin/qemu-i386-static:F' "$i386_elf_magic" "$i386_elf_mask" >"$binfmt/register"
  registered_i386_entry=$binfmt/emulated-machine-i386
  say "the kernel cannot run i386 programs: registered qemu-i386-static for them until the image is built"
}

# The host's own Debian source for a suite: deb822 "URIs:" or one-line "deb URI SUITE ...".
debian_uri() {  # SUITE
  local file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] && awk -v suite="$1" '$1 == "deb" && $3 == suite { print $2; exit }' "$file"
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] && awk -v suite="$1" 'BEGIN { RS = "" }
      { uri = ""; found = 0
        n = split($0, lines, "\n")
        for (i = 1; i <= n; i++) {
          if (lines[i] ~ /^URIs:/) { split(lines[i], f, " "); uri = f[2] }
          if (lines[i] ~ /^Suites:/) { m = split(lines[i], s, " "); for (j = 2; j <= m; j++) if (s[j] == suite) found = 1 }
        }
        if (found && uri != "") { print uri; exit } }' "$file"
  done
  return 0
}

building=
unmount_chroot() {
  local target
  for target in dev/pts sys proc; do
    mountpoint -q "$building/root/$target" && umount "$building/root/$target"
  done
  return 0
}
end_build() {
  if [ -n "$registered_i386_entry" ]; then echo -1 >"$registered_i386_entry"; fi
  if [ -n "$building" ]; then
    if [ -f "$building/build.log" ]; then
      tail -n 30 "$building/build.log" >&2
      echo "emulated machine: step $step_number ($current_step) failed; the machine was not built" >&2
    fi
    unmount_chroot
    if findmnt -rn -o TARGET | grep -q "^$building/"; then
      echo "emulated machine: something is still mounted under $building; left in place" >&2
    else
      rm -rf "$building"
    fi
  fi
}

in_chroot() { chroot "$building/root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LC_ALL=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"; }

# step TITLE COMMAND...: one build step, its output in the build log (shown when the build fails).
step_number=0
current_step=
step() {
  current_step=$1
  shift
  step_number=$((step_number + 1))
  say "step $step_number/6: $current_step"
  "$@" >>"$building/build.log" 2>&1
}

debootstrap_root() {
  local mirror
  mirror=$(debian_uri $suite | head -n 1)
  [ -n "$mirror" ] || { echo "no Debian $suite source in /etc/apt"; return 1; }
  echo "Debian source: $mirror"
  debootstrap --variant=minbase --arch=amd64 $suite "$building/root" "$mirror"
}

install_packages() {
  local root=$building/root security
  security=$(debian_uri $suite-security | head -n 1)
  {
    echo "deb $(debian_uri $suite | head -n 1) $suite $suite-updates main"
    [ -z "$security" ] || echo "deb $security $suite-security main"
  } >"$root/etc/apt/sources.list"
  # Packages start no services in the chroot.
  printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d" && chmod +x "$root/usr/sbin/policy-rc.d"
  # A small initramfs: only what mounting the root disk and the shared folders needs.
  mkdir -p "$root/etc/initramfs-tools/conf.d"
  echo MODULES=list >"$root/etc/initramfs-tools/conf.d/emulated-machine.conf"
  printf '%s\n' virtio_pci virtio_blk ext4 9p 9pnet 9pnet_virtio >>"$root/etc/initramfs-tools/modules"
  mount -t proc proc "$root/proc" && mount -t sysfs sysfs "$root/sys" && mount -t devpts devpts "$root/dev/pts"
  in_chroot dpkg --add-architecture i386
  in_chroot apt-get update
  # shellcheck disable=SC2046
  in_chroot apt-get install -y --no-install-recommends -o Dpkg::Options::=--force-confold $(sed 's/#.*//' "$guest_files/packages.txt")
  in_chroot apt-get clean
  rm -rf "$root"/var/lib/apt/lists/* "$root/usr/sbin/policy-rc.d"
  unmount_chroot
}

install_guest_files() {
  local root=$building/root
  install -m 755 "$guest_files/init" "$root/usr/local/sbin/emulated-machine-init"
  install -m 755 "$guest_files/make-wine-template" "$root/usr/local/sbin/make-wine-template"
  install -D -m 755 -t "$root/usr/local/lib/emulated-machine" "${prefix_recipe[@]}"
}

make_disk() {
  local root=$building/root size
  cp "$(ls "$root"/boot/vmlinuz-* | tail -n 1)" "$building/vmlinuz"
  cp "$(ls "$root"/boot/initrd.img-* | tail -n 1)" "$building/initrd.img"
  # Room for a run's build folders and Wine prefixes; the file stays sparse.
  size=$(($(du -sxm "$root" | cut -f1) + 6144))
  truncate -s "${size}M" "$building/disk.img"
  mkfs.ext4 -q -F -L root -d "$root" "$building/disk.img"
  rm -rf "$root"
}

make_wine_template() {
  local job share
  job=$building/template-job.sh share=$building/template-share
  echo 'make-wine-template' >"$job"
  mkdir -p "$share"
  boot "$building" off "$share" $template_timeout "$job"
}

build_image() {
  [ "$(id -u)" -eq 0 ] || die "building the machine needs root (debootstrap, chroot, mkfs); run: sudo $0 image"
  mkdir -p "$(dirname "$machine_dir")"
  # What a killed build left behind (the lock is held: no other build is running).
  local stale
  for stale in "$machine_dir".building.*; do
    [ -d "$stale" ] && ! findmnt -rn -o TARGET | grep -q "^$stale/" && rm -rf "$stale"
  done
  building=$(mktemp -d "$machine_dir.building.XXXXXX")
  trap end_build EXIT
  trap 'exit 130' INT TERM HUP
  say "building the machine in $machine_dir (log: $building/build.log); the first build takes about 5 minutes (more on a slow network or busy host), later runs reuse it"
  step "i386 programs for the package scripts" make_i386_programs_run "$building/root"
  step "Debian $suite (debootstrap minbase)" debootstrap_root
  step "packages: kernel, 32-bit Wine, Xvfb, test tools" install_packages
  step "the machine's own files" install_guest_files
  step "kernel, initramfs and disk image" make_disk
  step "the Wine prefix template, made inside the machine" make_wine_template
  recipe_hash >"$building/recipe.sha256"
  rm -rf "$building/root" "$building/template-share" "$building/template-job.sh"
  if [ -e "$machine_dir" ]; then mv "$machine_dir" "$building.old"; rm -rf "$building.old"; fi
  mv "$building" "$machine_dir"
  building=
  say "the machine is ready in $machine_dir"
}

# One machine at a time: two at once are each several times slower. Building takes the same lock.
lock_machine() {
  mkdir -p "$(dirname "$machine_dir")"
  exec 9>"$machine_dir.lock"
  if ! flock -n 9; then
    say "waiting for the other emulated machine to finish"
    flock 9
  fi
}
ensure_image() {
  if image_is_current; then
    say "reusing the machine in $machine_dir"
  else
    build_image
  fi
}

case "${1:-}" in
  image)
    lock_machine
    ensure_image
    ;;
  run)
    [ $# -ge 3 ] || die "usage: $0 run SHARE COMMAND..."
    share=$(cd "$2" && pwd) || die "no folder $2 to share"
    shift 2
    lock_machine
    ensure_image
    job=$(mktemp /tmp/emulated-machine-job.XXXXXX)
    printf '%s\n' "$*" >"$job"
    status=0
    boot "$machine_dir" on "$share" "$run_timeout" "$job" || status=$?
    rm -f "$job"
    exit $status
    ;;
  *) die "usage: $0 image | run SHARE COMMAND..." ;;
esac
