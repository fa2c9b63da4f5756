#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need; quick when all is there.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/wine-arch.sh
source "$root/tools/wine-arch.sh"

packages=(
  cmake ninja-build g++ pkg-config
  mingw-w64 g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  libmbedtls-dev libssl-dev openssl googletest libgtest-dev libbenchmark-dev valgrind
  clang-14 libclang-rt-14-dev
  wine wine64 xvfb x11-utils xdotool fonts-wqy-zenhei imagemagick locales
  dpkg-dev xxd zip unzip bc procps curl icoutils libxml2-utils iproute2
  # the real servers the bundle's configs are tested with
  apache2 libapache2-mod-php8.2 php8.2-cli php8.2-mysql php8.2-mbstring php8.2-curl php8.2-gd
  mariadb-server-core mariadb-client-core
)
# Wine's 32-bit half only where the kernel can run it.
if kernel_runs_i386; then packages+=(wine32:i386); fi

missing() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

# Source entries for the machine's own Debian binary entries (same URIs, suites and
# keys), so `apt-get source mbedtls` gives the 2.28 that libmbedtls-dev is, from whatever
# mirror this machine uses. Only the release's own suites: other repositories may have
# no sources to offer.
source_entries() {
  local codename files=()
  codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
  [ -f /etc/apt/sources.list ] && files+=(/etc/apt/sources.list)
  for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$(basename "$f")" != velmora-src.sources ] && files+=("$f")
  done
  [ ${#files[@]} -gt 0 ] || return 0
  awk -v want="^($codename|$codename-updates)\$" '
    function flush(   i, n, s, keep) {
      if (types ~ /(^| )deb( |$)/ && enabled !~ /^no$/ && comps ~ /(^| )main( |$)/) {
        n = split(suites, s, " ")
        for (i = 1; i <= n; i++) if (s[i] ~ want) keep = keep " " s[i]
        if (keep != "") print "Types: deb-src\nURIs: " uris "\nSuites:" keep "\nComponents: main" signed "\n"
      }
      types = uris = suites = comps = signed = enabled = ""; key = ""
    }
    FNR == 1 { flush() }
    FILENAME ~ /\.sources$/ {
      if ($0 ~ /^[ \t]*$/) { flush(); next }
      if ($0 ~ /^[ \t]*#/) next
      if ($0 ~ /^[ \t]/) { if (key == "signed-by") signed = signed "\n" $0; next }
      key = tolower($1); sub(/:$/, "", key); val = $0; sub(/^[^:]*:[ \t]*/, "", val)
      if (key == "types") types = val; else if (key == "uris") uris = val
      else if (key == "suites") suites = val; else if (key == "components") comps = val
      else if (key == "enabled") enabled = tolower(val)
      else if (key == "signed-by") signed = "\nSigned-By: " val
      next
    }
    /^[ \t]*deb[ \t]/ {
      line = $0; sub(/^[ \t]*deb[ \t]+/, "", line); opts = ""
      if (line ~ /^\[/) { opts = substr(line, 2, index(line, "]") - 2); line = substr(line, index(line, "]") + 1) }
      n = split(line, f, " ")
      if (n >= 3 && f[2] ~ want && line ~ / main( |$)/) {
        signed = ""
        if (match(opts, /signed-by=[^ ]+/)) signed = "\nSigned-By: " substr(opts, RSTART + 10, RLENGTH - 10)
        print "Types: deb-src\nURIs: " f[1] "\nSuites: " f[2] "\nComponents: main" signed "\n"
      }
    }
    END { flush() }
  ' "${files[@]}"
}

mkdir -p "$root/build"
apt_log=$root/build/setup-apt.log
need_update=0
if ! kernel_runs_i386; then :; elif ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
sources_file=/etc/apt/sources.list.d/velmora-src.sources
entries=$(source_entries)
if [ -z "$entries" ]; then
  echo "setup: no Debian $(. /etc/os-release && echo "$VERSION_CODENAME") entry in this machine's apt sources" >&2
  exit 1
fi
if [ "$entries" != "$(cat "$sources_file" 2>/dev/null)" ]; then
  printf '%s\n' "$entries" >"$sources_file"
  need_update=1
fi

todo=$(missing)
if [ -n "$todo" ] || [ "$need_update" = 1 ]; then
  apt-get update -qq
fi
if [ -n "$todo" ]; then
  echo "setup: installing" $todo
  # shellcheck disable=SC2086
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $todo >"$apt_log" 2>&1 ||
    { tail -30 "$apt_log"; exit 1; }
fi

# Wine needs a real UTF-8 locale to map non-ASCII file names; code page 936 comes with zh_CN.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi

# mbed TLS sources for the Windows builds; kept out of the repo.
src_dir="$root/third_party_src"
if ! ls "$src_dir"/mbedtls-*/library/des.c >/dev/null 2>&1; then
  mkdir -p "$src_dir"
  (cd "$src_dir" && apt-get source -qq --download-only mbedtls >>"$apt_log" 2>&1 &&
    dpkg-source -x mbedtls_*.dsc >>"$apt_log" 2>&1) || { tail -30 "$apt_log"; exit 1; }
fi
echo "setup: ready"
