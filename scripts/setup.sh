#!/usr/bin/env bash
# Installs what the builds need on a Debian 12 machine; every step is skipped when done.
#   scripts/setup.sh            everything the test command needs: apt packages (MinGW-w64 for 32-
#                               and 64-bit Windows, 64-bit Wine, Xvfb, CMake, fp-utils, archive
#                               tools, zlib, googletest, clang with its sanitizer and libFuzzer
#                               runtimes), 32-bit Wine only where this machine runs 32-bit
#                               programs, and libjpeg-turbo from Debian's source package, cross-
#                               compiled for both into the cache folder and built natively with
#                               clang, AddressSanitizer and libFuzzer's coverage for the fuzz build
#   scripts/setup.sh --program  only what the run command needs for the Windows build it starts:
#                               Wine, that build's MinGW-w64 compilers and libjpeg-turbo, CMake,
#                               Python and fp-utils
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/env.sh"
source "$here/arch.sh"

# One set-up at a time: the run and test commands started side by side would otherwise build
# libjpeg-turbo in the same folder of the cache, and apt refuses a second caller outright.
exec 9>"$LUMAGROVE_CACHE/setup.lock"
flock 9

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

# A mirror caught mid-sync fails one index ("File has unexpected size") and apt-get update exits
# non-zero, though every other list arrived: try again a little later, then go on with the lists
# there are; an install that really lacks a package still fails on its own.
# Once per run, or "again" after new sources were added.
apt_updated=no
apt_update() {
  [ "${1:-}" = again ] || [ $apt_updated = no ] || return 0
  apt_updated=yes
  local try
  for try in 1 2 3; do
    $SUDO apt-get update -q && return 0
    [ $try = 3 ] || sleep $((try * 10))
  done
  echo "setup: apt-get update failed three times; going on with the package lists as they are" >&2
}

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

program_only=no
[ "${1:-}" = --program ] && program_only=yes

mingw() { # the MinGW-w64 packages of one Windows architecture: i686 or x86-64
  echo "g++-mingw-w64-$1-posix gcc-mingw-w64-$1-posix binutils-mingw-w64-$1"
}
if [ $program_only = yes ]; then
  # The compilers of the build that will run follow once it is known whether 32-bit Wine is.
  packages=(wine wine64 cmake make python3 fp-utils dpkg-dev)
else
  packages=(mingw-w64 $(mingw i686) $(mingw x86-64) wine wine64 xvfb xauth cmake make python3
            fp-utils zip unzip 7zip libarchive-tools zlib1g-dev googletest dpkg-dev clang
            libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  installed "$p" || missing+=("$p")
done
# 32-bit Wine only where it can start: elsewhere its wrappers fail with "Exec format error", and
# an i386 post-install script that fails leaves packages half-configured for every later apt-get.
# A failed try is remembered for a day, so that every run does not wait on the mirror again.
failed32="$LUMAGROVE_CACHE/wine32-install-failed"
want32=no
if i386_runs && ! installed wine32:i386 && [ -z "$(find "$failed32" -mmin -1440 2>/dev/null)" ]; then
  want32=yes
  dpkg --print-foreign-architectures | grep -qx i386 || $SUDO dpkg --add-architecture i386
fi
if [ ${#missing[@]} -gt 0 ] || [ $want32 = yes ]; then
  apt_update
fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# Apart, since it can fail where the rest can't: a mirror whose i386 lists lag behind the others
# offers no 32-bit libraries matching the 64-bit ones. The 32-bit tests are then skipped, saying
# why, and the run command starts the 64-bit program.
if [ $want32 = yes ]; then
  echo "setup: installing wine32:i386"
  if $SUDO apt-get install -y -q --no-install-recommends wine32:i386; then
    rm -f "$failed32"
  else
    touch "$failed32"
    echo "setup: 32-bit Wine could not be installed; only the 64-bit Windows build will run" \
      "(tried again after a day)" >&2
  fi
fi

# libjpeg-turbo: Debian's own source, cross-compiled once per Windows architecture into the cache,
# and once natively for the fuzz targets ("fuzz"), instrumented like them: AddressSanitizer sees
# libjpeg's own writes into our buffers, and libFuzzer is guided by its branches too. The run
# command needs the one of the build it starts alone, with that build's compilers.
jpeg_arches=(i686 x86_64 fuzz)
if [ $program_only = yes ]; then
  pick_windows_build
  if [ "$bits" = 32 ]; then jpeg_arches=(i686) compilers=$(mingw i686)
  else jpeg_arches=(x86_64) compilers=$(mingw x86-64); fi
  missing=()
  for p in $compilers; do
    installed "$p" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    apt_update
    echo "setup: installing ${missing[*]}"
    $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
fi
jpeg_missing=()
for arch in "${jpeg_arches[@]}"; do
  [ -f "$LUMAGROVE_CACHE/libjpeg-turbo-$arch/lib/libjpeg.a" ] || jpeg_missing+=("$arch")
done
if [ ${#jpeg_missing[@]} -gt 0 ]; then
  # apt-get source needs deb-src entries: mirror the machine's own deb entries.
  if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    echo "setup: adding deb-src entries derived from the existing apt sources"
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -f "$f" ] || continue
      sed -E 's/^Types:.*/Types: deb-src/' "$f" | $SUDO tee "/etc/apt/sources.list.d/lumagrove-src-$(basename "$f")" >/dev/null
    done
    if [ -f /etc/apt/sources.list ] && grep -qE '^deb ' /etc/apt/sources.list; then
      grep -E '^deb ' /etc/apt/sources.list | sed -E 's/^deb /deb-src /' \
        | $SUDO tee /etc/apt/sources.list.d/lumagrove-src.list >/dev/null
    fi
    apt_update again
  fi
  work="$LUMAGROVE_CACHE/libjpeg-turbo-src"
  rm -rf "$work" && mkdir -p "$work"
  (cd "$work" && apt-get source -q libjpeg-turbo >/dev/null)
  src=$(find "$work" -maxdepth 1 -mindepth 1 -type d | head -n 1)
  for arch in "${jpeg_missing[@]}"; do
    if [ "$arch" = fuzz ]; then
      echo "setup: building libjpeg-turbo for the fuzz targets from $src"
      # ASan alone: libjpeg relies on shifts of negative numbers that UBSan would stop at.
      options=(-DCMAKE_C_COMPILER=clang -DCMAKE_C_FLAGS_RELEASE="-O1 -g"
               -DCMAKE_C_FLAGS="-fsanitize=address,fuzzer-no-link -fno-omit-frame-pointer"
               -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address)
    else
      toolchain=mingw32
      [ "$arch" = x86_64 ] && toolchain=mingw64
      echo "setup: building libjpeg-turbo for $arch Windows from $src"
      options=(-DCMAKE_TOOLCHAIN_FILE="$LUMAGROVE_ROOT/cmake/toolchain-$toolchain.cmake")
    fi
    cmake -S "$src" -B "$work/build-$arch" "${options[@]}" \
      -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$LUMAGROVE_CACHE/libjpeg-turbo-$arch" \
      -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF -DWITH_JPEG8=OFF \
      >/dev/null
    cmake --build "$work/build-$arch" -j "$(nproc)" >/dev/null
    cmake --install "$work/build-$arch" >/dev/null
  done
  rm -rf "$work"
fi
echo "setup: done"
