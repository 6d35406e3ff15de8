#!/usr/bin/env bash
# Makes a Debian 12 machine ready to build and test the driver: adds the i386
# architecture, installs what is missing and, on a kernel that cannot run
# 32-bit x86 programs, lets qemu's user-mode emulator run Wine's 32-bit side.
# Quick when everything is there.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

have() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

# The mirror that serves this machine's bookworm suite, as its apt sources name
# it (deb822 .sources files or one-line .list files).
debian_mirror() {
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        awk 'BEGIN { RS = ""; FS = "\n" }
             /(^|\n)Suites:[^\n]*bookworm([ \n]|$)/ {
                 for (i = 1; i <= NF; i++) if ($i ~ /^URIs:/) { sub(/^URIs:[ \t]*/, "", $i); split($i, u, " "); print u[1]; exit }
             }' "$f"
    done
    # A machine with deb822 sources only has neither file: cat's failure must
    # not end the script under pipefail.
    { cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null || true; } |
        awk '$1 == "deb" && $0 ~ / bookworm / { for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }'
}

need=()
updated=0
apt_update() { [ $updated = 1 ] || { apt-get update -qq; updated=1; }; }

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi

# The posix thread model compilers build GoogleTest, the tests and the
# simulator; the win32 ones the shipped driver, which must load on Windows XP.
# nsis makes the installer; widl (mingw-w64-tools) the simulator's type library;
# llvm's llvm-dlltool the import library for Microsoft's linker, and lld's
# lld-link links a test program through it.
packages=(cmake make g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix g++-mingw-w64-i686-win32
          gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-i686-dev wine wine32:i386
          xvfb xauth googletest imagemagick clang-format python3-pefile nsis mingw-w64-tools
          llvm lld)
for p in "${packages[@]}"; do have "$p" || need+=("$p"); done
if [ ${#need[@]} -gt 0 ]; then
    apt_update
    apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi

# Some kernels here have 32-bit x86 execution switched off (execve of an i386
# program fails with ENOEXEC and 32-bit code segments fault). Wine's 32-bit
# loader then runs under qemu-i386; qemu 7.2 from bookworm ignores
# MAP_FIXED_NOREPLACE, which makes Wine's address-space reservation crawl, so
# the backported qemu is used.
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    if ! qemu-i386-static --version 2>/dev/null | grep -qE 'version ([89]|[1-9][0-9])\.'; then
        if [ ! -f /etc/apt/sources.list.d/bookworm-backports.sources ]; then
            mirror=$(debian_mirror)
            mirror=${mirror%%$'\n'*}
            [ -n "$mirror" ] || { echo "setup: no Debian mirror in the apt sources" >&2; exit 1; }
            printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
                "$mirror" >/etc/apt/sources.list.d/bookworm-backports.sources
            updated=0
        fi
        apt_update
        apt-get install -y -qq --no-install-recommends -t bookworm-backports qemu-user-static >/dev/null
    fi
    binfmt=/proc/sys/fs/binfmt_misc
    [ -e $binfmt/register ] || mount -t binfmt_misc binfmt_misc $binfmt
    [ -e $binfmt/qemu-i386 ] && echo -1 >$binfmt/qemu-i386
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:FOC' >$binfmt/register
    /usr/lib/wine/wine --version >/dev/null
fi
