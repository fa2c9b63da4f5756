# Sourced by the Wine scripts: which Windows architectures this host can run.
# Set VELMORA_WINE_64BIT_ONLY=1 to act as a host whose kernel runs 64-bit code only.

# The PE machine of a Windows program: win32, win64, or nothing for anything else.
pe_arch() {
  local file=$1 offset machine
  [ -f "$file" ] && [ "$(head -c 2 "$file" 2>/dev/null)" = MZ ] || return 0
  offset=$(od -An -tu4 -j60 -N4 "$file" | tr -d ' ')
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$file" | tr -d ' ')
  case $machine in
    014c) echo win32 ;;
    8664) echo win64 ;;
  esac
}

# Empty when this host runs 32-bit Windows programs, else the reason it cannot.
why_no_win32() {
  if [ "${VELMORA_WINE_64BIT_ONLY:-0}" = 1 ]; then
    echo "VELMORA_WINE_64BIT_ONLY=1 forces the 64-bit-only path"
  elif ! kernel_runs_i386; then
    echo "this host's kernel runs 64-bit code only"
  elif [ ! -x /usr/lib/wine/wine ]; then
    echo "Wine's 32-bit loader (wine32:i386) is not installed"
  fi
}

# Runs a 93-byte static i386 program that only exits: the kernel's own answer,
# with no 32-bit library installed.
kernel_runs_i386() {
  local probe status=0
  probe=$(mktemp)
  printf '\177ELF\1\1\1\0\0\0\0\0\0\0\0\0\2\0\3\0\1\0\0\0\124\200\4\10\64\0\0\0\0\0\0\0\0\0\0\0\64\0\40\0\1\0\0\0\0\0\0\0' >"$probe"
  printf '\1\0\0\0\0\0\0\0\0\200\4\10\0\200\4\10\135\0\0\0\135\0\0\0\5\0\0\0\0\20\0\0' >>"$probe"
  printf '\270\1\0\0\0\61\333\315\200' >>"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null || status=1
  rm -f "$probe"
  return "$status"
}

# The Wine loader for an architecture.
wine_loader() {
  case $1 in
    win32) echo /usr/lib/wine/wine ;;
    *) echo /usr/lib/wine/wine64 ;;
  esac
}

# The build the demo and screenshots run: the shipped 32-bit one where this host can, else the 64-bit one.
runnable_windows_build() {
  if [ -z "$(why_no_win32)" ]; then echo win32; else echo win64; fi
}
