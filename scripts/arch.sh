# Sourced: can_run_32bit succeeds where this machine runs 32-bit Linux programs,
# and so 32-bit Wine. It fails loudly when the two signs of it disagree.
can_run_32bit() {
    local loader=no elf=no
    /usr/lib/wine/wine --version >/dev/null 2>&1 && loader=yes
    [ -x /lib/ld-linux.so.2 ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1 && elf=yes
    if [ "$loader" != "$elf" ] && [ -e /usr/lib/wine/wine ]; then
        echo "32-bit detection disagrees: Wine's 32-bit loader says $loader, the 32-bit ELF loader says $elf" >&2
        exit 2
    fi
    [ "$loader" = yes ]
}
