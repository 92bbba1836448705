#!/bin/sh
# Installs what the build and the tests need on Debian 12, only when missing.
set -e
packages="cmake ninja-build g++ googletest libgtest-dev libbenchmark-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine wine64 xvfb xserver-xephyr xdotool x11-utils
  imagemagick fp-utils libchm-bin nsis osslsigncode openssl procps msitools wixl"
missing=""
for p in $packages; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
echo "installing:$missing"
if [ "$(id -u)" -ne 0 ]; then
  echo "run as root, or install these packages first:$missing" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing
