#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need; quick when all is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  mingw-w64 g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  libmbedtls-dev libssl-dev openssl googletest libgtest-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  wine wine64 wine32:i386 xvfb x11-utils xdotool fonts-wqy-zenhei imagemagick
  dpkg-dev xxd zip unzip bc procps curl icoutils
  # the real parsers the bundle's config templates are tested with
  apache2 libapache2-mod-php8.2 php8.2-cli php8.2-mysql php8.2-mbstring php8.2-curl php8.2-gd
  mariadb-server-core mariadb-client-core
)

missing() {
  local p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

root=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$root/build"
apt_log=$root/build/setup-apt.log

sources_file=/etc/apt/sources.list.d/debian-src.sources
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
  need_update=1
fi
if [ ! -f "$sources_file" ]; then
  # Same suites as the binary entries, so `apt-get source mbedtls` gives the 2.28 that libmbedtls-dev is.
  cat > "$sources_file" <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
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

# mbed TLS sources for the Windows builds; kept out of the repo.
src_dir="$root/third_party_src"
if ! ls "$src_dir"/mbedtls-*/library/des.c >/dev/null 2>&1; then
  mkdir -p "$src_dir"
  (cd "$src_dir" && apt-get source -qq --download-only mbedtls >>"$apt_log" 2>&1 &&
    dpkg-source -x mbedtls_*.dsc >>"$apt_log" 2>&1) || { tail -30 "$apt_log"; exit 1; }
fi
echo "setup: ready"
