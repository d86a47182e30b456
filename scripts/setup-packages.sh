#!/usr/bin/env bash
# Installs the cross compilers, Wine, the X server and the Japanese locale once.
# A second run finds everything in place and returns at once.
set -eu

need=0
for tool in i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix \
            i686-w64-mingw32-windres x86_64-w64-mingw32-windres \
            Xvfb xdotool import cmake zip unzip iconv clang rsync bc; do
    command -v "$tool" >/dev/null 2>&1 || need=1
done
[ -x /usr/lib/wine/wine64 ] || need=1
[ -d /usr/share/fonts/opentype/ipafont-gothic ] || need=1
[ -d /usr/share/fonts/truetype/nanum ] || need=1
[ -f /usr/share/wine/fonts/marlett.ttf ] || need=1

if [ "$need" = 1 ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "setup: packages are missing and this is not root; install them as toolchain notes say" >&2
        exit 1
    fi
    export DEBIAN_FRONTEND=noninteractive
    dpkg --add-architecture i386
    apt-get update -q
    apt-get install -y -q --no-install-recommends \
        wine wine32:i386 wine64 xvfb \
        g++-mingw-w64-i686 binutils-mingw-w64-i686 \
        g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 \
        fonts-ipafont-gothic fonts-nanum fonts-wine xdotool x11-apps imagemagick xauth locales \
        cmake make g++ python3 zip unzip clang rsync bc || {
        # wine32's set-up script fails harmlessly where 32-bit programs can't run
        dpkg --configure -a || true
    }
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    [ "$(id -u)" = 0 ] || { echo "setup: ja_JP.UTF-8 locale missing" >&2; exit 1; }
    command -v locale-gen >/dev/null 2>&1 || apt-get install -y -q --no-install-recommends locales
    sed -i 's/^# *ja_JP.UTF-8/ja_JP.UTF-8/' /etc/locale.gen
    grep -q '^ja_JP.UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen
fi
