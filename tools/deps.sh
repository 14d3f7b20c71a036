#!/usr/bin/env bash
# Installs what building and testing the launcher needs on a Debian machine, skipping what
# is already there, and makes the zh_CN.UTF-8 locale the Wine test bed runs under.
# Runs as root, or through sudo when that is available.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ googletest
  clang libclang-rt-14-dev llvm-14
  wine wine64 fonts-wine
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  xvfb xauth x11-utils fonts-wqy-microhei locales imagemagick xdotool
  python3 git
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    echo "deps.sh: need root (or sudo) to run: $*" >&2
    exit 1
  fi
}

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null)" = "installed" ]
}

missing=()
for p in "${PACKAGES[@]}"; do
  installed "$p" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "deps.sh: installing ${missing[*]}"
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" </dev/null
fi

# The test bed runs Wine under LANG=zh_CN.UTF-8 so that programs see code page 936.
if ! locale -a 2>/dev/null | grep -qiE '^zh_CN\.utf-?8$'; then
  echo "deps.sh: generating the zh_CN.UTF-8 locale"
  if [ -f /etc/locale.gen ] && grep -qE '^#? *zh_CN\.UTF-8 UTF-8' /etc/locale.gen; then
    as_root sed -i -E 's/^# *(zh_CN\.UTF-8 UTF-8)/\1/' /etc/locale.gen
  else
    echo "zh_CN.UTF-8 UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  fi
  as_root locale-gen
fi
