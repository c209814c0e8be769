# Which Windows builds this machine can run (sourced, not run).
# The 64-bit build runs under 64-bit Wine everywhere; the 32-bit build needs a kernel that still
# runs i386 programs, which some machines switch off ("32-bit emulation disabled"). The probe is a
# 120-byte i386 program written here that prints "i386" through the kernel's 32-bit system-call
# gate: it needs no 32-bit library, starts no Wine and cannot hang. Its output is what counts, not
# its exit code: a wrapper that can't exec a binary hands it to /bin/sh, which exits non-zero with
# something else on its output, or even zero.

# i386_probe FILE: writes the probe to FILE. The bytes: an ELF header, one loadable segment at
# 0x08048000, then write(1, msg, 5); exit(0); msg: "i386\n".
i386_probe() {
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'\
'\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'\
'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x78\x00\x00\x00'\
'\x78\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x04\x00\x00\x00\xbb\x01\x00\x00\x00\xb9\x73'\
'\x80\x04\x08\xba\x05\x00\x00\x00\xcd\x80\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80i386\n' >"$1"
  chmod +x "$1"
}

# probe_says_i386 FILE: true when FILE ran and printed exactly "i386".
probe_says_i386() {
  local out
  out=$("$1" 2>/dev/null </dev/null) || true
  [ "$out" = "i386" ]
}

# i386_runs: true when 32-bit programs run here. The answer is kept in LUMAGROVE_I386 (yes/no) so
# the scripts this one starts don't ask again; set it by hand to force either answer.
i386_runs() {
  if [ -z "${LUMAGROVE_I386:-}" ]; then
    local probe
    probe=$(mktemp "${TMPDIR:-/tmp}/lumagrove-i386.XXXXXX")
    i386_probe "$probe"
    if probe_says_i386 "$probe"; then LUMAGROVE_I386=yes; else LUMAGROVE_I386=no; fi
    rm -f "$probe"
    LUMAGROVE_I386_FROM=probe
    export LUMAGROVE_I386 LUMAGROVE_I386_FROM
  fi
  [ "$LUMAGROVE_I386" = yes ]
}

# wine32_runs: true when 32-bit programs run here and 32-bit Wine is installed (the set-up may
# have failed to install it from a mirror whose i386 lists lag behind).
wine32_runs() {
  i386_runs && dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"
}

# pick_windows_build: sets bits (32|64) and dir (win|win64) to the build the run, screenshot and
# benchmark scripts start: the 32-bit program as it ships wherever it can run.
pick_windows_build() {
  if wine32_runs; then bits=32 dir=win; else bits=64 dir=win64; fi
}

# i386_skip_reason: why the 32-bit build is not run, for the scripts' one line about it.
i386_skip_reason() {
  if i386_runs; then
    echo "32-bit Wine (wine32:i386) is not installed; the set-up could not install it"
  elif [ "${LUMAGROVE_I386_FROM:-}" = probe ]; then
    echo "this machine's kernel does not run 32-bit (i386) programs, so 32-bit Wine can't start"
  else
    echo "LUMAGROVE_I386=${LUMAGROVE_I386:-} was set by hand"
  fi
}

# The loaders. Debian puts no wine64 on the PATH, and /usr/bin/wine prefers the 32-bit loader
# whenever wine32 is installed, so each architecture names its own.
WINE32=/usr/lib/wine/wine
WINE64=/usr/lib/wine/wine64

# wine_arch_env 32|64|wow64: the prefix and loader of that architecture's Windows build. Each
# build has a prefix of its own: a prefix is either 32- or 64-bit for good. wow64 starts the
# 32-bit build in the 64-bit prefix, where Windows redirects it as it redirects the shipped
# program on 64-bit Windows.
wine_arch_env() {
  case "$1" in
    32) export WINEPREFIX="$LUMAGROVE_BUILD/wine-prefix" WINEARCH=win32 WINE="$WINE32" ;;
    wow64) export WINEPREFIX="$LUMAGROVE_BUILD/wine-prefix64" WINEARCH=win64 WINE="$WINE32" ;;
    *) export WINEPREFIX="$LUMAGROVE_BUILD/wine-prefix64" WINEARCH=win64 WINE="$WINE64" ;;
  esac
}

# wine_run_env 32|64: the loader of that build and the prefix the run command starts it in. It is
# never a test prefix: what a user does there (a start-up password, applied packages) would meet
# the tests, and a stored password stops every test that starts the real program at its prompt.
# LUMAGROVE_RUN_PREFIX names another folder. Only Mono stays off: the help viewer needs Wine's
# HTML engine, which the tests switch off.
wine_run_env() {
  wine_arch_env "$1"
  local own=wine-prefix-run
  [ "$1" = 32 ] && own=wine-prefix-run32
  # Wine takes only an absolute prefix.
  WINEPREFIX=$(realpath -m "${LUMAGROVE_RUN_PREFIX:-$LUMAGROVE_BUILD/$own}")
  export WINEPREFIX WINEDLLOVERRIDES=mscoree=
  local tests
  for tests in "$LUMAGROVE_BUILD/wine-prefix" "$LUMAGROVE_BUILD/wine-prefix64"; do
    if [ "$WINEPREFIX" = "$(realpath -m "$tests")" ]; then
      echo "run: $WINEPREFIX is the tests' Wine prefix; name another in LUMAGROVE_RUN_PREFIX" >&2
      return 1
    fi
  done
}

# create_wine_prefix: makes the prefix WINEPREFIX names, once, under the DLL overrides its programs
# will run with: a prefix made with mshtml switched off never registers Wine's HTML document, so
# its help pages would stay blank even once Wine's HTML engine is there.
create_wine_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  echo "wine: creating the prefix $WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  "$WINE" wineboot --init </dev/null >/dev/null 2>&1 || true
  # The registry files appear only once the server has written them, when it ends: wait for it,
  # so the prefix counts as made (and is whole) from here on.
  wineserver -w >/dev/null 2>&1 || true
}
