# Sourced by the run and test drivers: the Wine environment of one architecture.
# Usage: . scripts/wine-env.sh win64|win32   (sets WINE, WINEPREFIX, WINEARCH...)
arch=$1
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEARCH=$arch
# What a run changes (the prefix, the trees it makes, the mounts) lies in a
# folder of its own: a run named by BRENNIK_RUN (the long random run) goes
# side by side with make test instead of waiting for it or wiping its trees.
state=$root/build/$arch${BRENNIK_RUN:+-$BRENNIK_RUN}
export WINEPREFIX=$state/prefix
export WINEDEBUG=-all
# No Mono or Gecko installer questions when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
if [ "$arch" = win64 ]; then
    export WINE=/usr/lib/wine/wine64
else
    export WINE=/usr/lib/wine/wine
fi
export WINELOADER=$WINE
# Recycle-bin deletes must land in a trash of the build's own.
export XDG_DATA_HOME=$state/xdg-data
mkdir -p "$XDG_DATA_HOME"

# One driver at a time on a prefix: a quick look (wine-test.sh) started while
# make test runs would share its wineserver, and then kill it on the way out.
# The claim is a folder holding the claiming script's pid; a dead owner's
# claim is taken over.
claim_prefix() {
    local claim=$WINEPREFIX.claim said= owner
    mkdir -p "$(dirname "$claim")"
    while ! mkdir "$claim" 2>/dev/null; do
        owner=$(cat "$claim/pid" 2>/dev/null)
        if [ -n "$owner" ] && ! kill -0 "$owner" 2>/dev/null; then
            rm -rf "$claim"
            continue
        fi
        [ -n "$said" ] || { echo "waiting for process ${owner:-?}, which is using $WINEPREFIX"; said=1; }
        sleep 2
    done
    echo $$ >"$claim/pid"
}

release_prefix() {
    [ "$(cat "$WINEPREFIX.claim/pid" 2>/dev/null)" = "$$" ] && rm -rf "$WINEPREFIX.claim"
    return 0
}

ensure_prefix() {
    # A test takes drive C: away for a moment; a run stopped then gives it back here.
    if [ -d "$WINEPREFIX/drive_c.away" ] && [ ! -e "$WINEPREFIX/drive_c" ]; then
        mv "$WINEPREFIX/drive_c.away" "$WINEPREFIX/drive_c"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "Making the $arch Wine prefix in $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$WINE" wineboot -i >/dev/null 2>&1 || true
        wineserver -w
        [ -f "$WINEPREFIX/system.reg" ] || { echo "could not make the Wine prefix $WINEPREFIX" >&2; return 1; }
    fi
    # The program's window as a user sees it: Wine draws its frame and title
    # bar (there is no window manager here), its buttons in Wine's Marlett
    # font, which Debian keeps outside the prefix.
    if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$WINEPREFIX/drive_c/windows/Fonts/marlett.ttf" ]; then
        mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
        cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    fi
    if ! grep -q '"Decorated"="N"' "$WINEPREFIX/user.reg"; then
        "$WINE" reg add 'HKCU\Software\Wine\AppDefaults\Brennik.exe\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1
        wineserver -w
    fi
    # Korean names in the lists: Windows links a Korean font to the UI font
    # by the name Gulim; here that name leads to the Nanum font's glyphs.
    if ! grep -q '"Gulim"="NanumGothic"' "$WINEPREFIX/system.reg"; then
        "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
            /v Gulim /d NanumGothic /f >/dev/null 2>&1
        wineserver -w
    fi
}

# Drive Q: of the tests: a folder of the build's own, so a real drive root can
# be copied from and into without touching any real drive. The marker file
# tells the tests it is this folder.
make_test_drive() {
    local drive=$state/test-drive
    rm -rf "$drive"
    mkdir -p "$drive"
    : >"$drive/.brennik-test-drive"
    ln -sfn "$drive" "$WINEPREFIX/dosdevices/q:"
}

# Trees with links for the tests of the walks, made from the Linux side since
# Wine can't make links itself: in each case folder, "tree" holds a file,
# "loop" -> ".", "up" -> ".." and "out" -> the case's "outside" folder (by its
# full path, so it still leads there after a move), which holds keep.txt.
make_test_links() {
    local links=$state/test-links
    rm -rf "$links" "$XDG_DATA_HOME/Trash"
    for case in delete copy deletelink move movelink recycle recyclelink; do
        mkdir -p "$links/$case/tree" "$links/$case/outside" "$links/$case/dest"
        echo file >"$links/$case/tree/file.txt"
        echo keep >"$links/$case/outside/keep.txt"
        ln -s . "$links/$case/tree/loop"
        ln -s .. "$links/$case/tree/up"
        ln -s "$links/$case/outside" "$links/$case/tree/out"
    done
    # "into": bk -> data/old, a destination inside the source only through a link.
    mkdir -p "$links/into/data/old"
    echo f >"$links/into/data/old/f.txt"
    ln -s "$links/into/data/old" "$links/into/bk"
    export BRENNIK_TEST_LINKS=$links
    make_odd_names
    make_soak_tree
}

# The tree the random-action driver works on, and the sentinel beside it that
# nothing may change: Japanese names (a 0x5C trail byte, ASCII-letter trail
# bytes), names the code page can't spell, a name near the 259-byte limit,
# case twins, a read-only file and a hidden one, empty folders, links inside
# the tree, to the folder above it and to themselves, and files of a few bytes
# to a few MiB, each its own bytes.
make_soak_tree() {
    local soak=$state/soak
    chmod -R u+w "$soak" 2>/dev/null
    rm -rf "$soak"
    local t=$soak/tree
    mkdir -p "$t/A/sub/deep" "$t/A/sub/.git" "$t/A/empty" "$t/B/ĉaŭ" "$t/B/café" "$t/C" "$t/E/Twin" \
        "$t/E/twin" "$soak/sentinel/inner"
    local n=0 f
    # E holds case twins, files and folders, names only the Linux side tells
    # apart; B names the code page can't spell; C names of devices; A dot
    # names, which panes don't show and walks take.
    for f in A/a.txt A/ソ表.txt A/アイウ.txt A/sub/s1.txt A/sub/deep/d.txt A/ro.txt B/b.txt B/café.txt \
        B/한국.txt B/ĉaŭ/u.txt B/café/k.txt C/c1.txt C/c2.txt C/c3.txt C/nul.txt C/con C/aux.log \
        E/Twin.txt E/twin.txt E/Twin/T.txt E/twin/t.txt top.txt A/.gitignore A/sub/.git/HEAD; do
        n=$((n + 1))
        printf '%s %d %s' "$f" "$n" "$RANDOM$RANDOM" >"$t/$f"
    done
    head -c 1500000 /dev/urandom >"$t/A/big1.bin"
    head -c 3000000 /dev/urandom >"$t/C/big2.bin"
    # As long as the path limit allows in B, so that copies elsewhere pass it.
    local room=$((250 - 2 - ${#t} - 3))
    [ $room -gt 200 ] && room=200
    [ $room -gt 8 ] && printf 'long' >"$t/B/$(printf 'L%.0s' $(seq 1 $((room - 4)))).txt"
    chmod a-w "$t/A/ro.txt"
    # Hidden as Wine keeps it for a name without a leading dot.
    printf 'hidden %s' "$RANDOM" >"$t/A/hid.txt"
    python3 -c 'import os, sys; os.setxattr(sys.argv[1], "user.DOSATTRIB", b"0x2")' "$t/A/hid.txt"
    ln -s sub "$t/A/bk"
    ln -s . "$t/A/self"
    ln -s ../A "$t/B/toA"
    ln -s .. "$t/up"
    # "bk" at the top leads inside the tree: a copy of the whole top folder
    # into it would copy the tree into itself.
    mkdir -p "$t/D/old"
    printf 'old %s' "$RANDOM" >"$t/D/old/f.txt"
    ln -s D/old "$t/bk"
    printf 'sentinel one %s' "$RANDOM" >"$soak/sentinel/one.txt"
    printf 'sentinel two %s' "$RANDOM" >"$soak/sentinel/inner/two.txt"
    export BRENNIK_SOAK_TREE=$t BRENNIK_SOAK_SENTINEL=$soak/sentinel
    # The driver puts recorders in the Tools' places and takes them away at
    # its end; a run that was stopped leaves them, and the Tools tests want
    # those places empty.
    local c=$WINEPREFIX/drive_c
    rm -f "$c/Program Files/WZ EDITOR/"{wz_main.exe,recorded.txt} "$c/Bin/"{Colvane.exe,recorded.txt} \
        "$c/Bin/MURREL/"{Murrel.exe,recorded.txt} \
        "$c/Program Files/Adobe/Photoshop Elements/"{PhotoshopElements.exe,recorded.txt} \
        "$c/Program Files/Adobe/Photoshop 6.0/"{Photoshop.exe,recorded.txt}
}

# Names the platform reads as other names, which only the Linux side can
# make: in each case folder "dot." beside "dot", "sp " beside "sp", 'q"x',
# 'a\b' beside the folder "a" holding "b", names of devices ("nul.txt",
# "con", "aux.log", "com1.txt"), and the folder "dir." holding in.txt; each
# file holds its own name. "dest" is each case's empty folder.
make_odd_names() {
    local odd=$state/odd-names case name
    rm -rf "$odd"
    for case in listing delete recycle move copy refuse; do
        mkdir -p "$odd/$case/dest" "$odd/$case/a" "$odd/$case/dir."
        for name in dot. dot 'sp ' sp 'q"x' 'a\b' nul.txt con aux.log com1.txt; do
            printf '%s' "$name" >"$odd/$case/$name"
        done
        printf 'b' >"$odd/$case/a/b"
        printf 'in' >"$odd/$case/dir./in.txt"
    done
    export BRENNIK_ODD_NAMES=$odd
    make_many_rows
}

# A folder of more rows than 16 bits count: 66,000 empty files, then
# "café.txt" and its ANSI twin "cafe.txt", which sort after them. Made here:
# under Wine each new file costs more the fuller its folder, and making these
# took minutes. The tests only read it; it is made once, ".made" last.
make_many_rows() {
    local many=$state/many-rows
    export BRENNIK_MANY_ROWS=$many
    [ -f "$many/.made" ] && return 0
    rm -rf "$many"
    mkdir -p "$many"
    (cd "$many" && seq -f 'a%05g' 0 65999 | xargs touch)
    printf 'acute' >"$many/café.txt"
    printf 'plain' >"$many/cafe.txt"
    : >"$many/.made"
}

# A 1 MiB volume for the tests of copies that fail part-way: mounted where
# this machine lets root mount a tmpfs; otherwise the tests are told why.
mount_full_volume() {
    local volume=$state/full-volume
    mkdir -p "$volume"
    mountpoint -q "$volume" && umount -l "$volume"
    if mount -t tmpfs -o size=1m tmpfs "$volume" 2>/tmp/brennik-mount.$$; then
        export BRENNIK_FULL_VOLUME=$volume
        # And a read-only one holding one older file, for a destination
        # that can't be written at all.
        local readonly=$state/read-only-volume
        mkdir -p "$readonly"
        mountpoint -q "$readonly" && umount -l "$readonly"
        if mount -t tmpfs -o size=64k tmpfs "$readonly"; then
            echo old >"$readonly/kept.txt"
            touch -d 2001-01-01 "$readonly/kept.txt"
            mount -o remount,ro "$readonly" && export BRENNIK_READ_ONLY_VOLUME=$readonly
        fi
        mount_other_volumes
    else
        export BRENNIK_FULL_VOLUME_REFUSED="mount -t tmpfs refused: $(tr '\n' ' ' </tmp/brennik-mount.$$)"
    fi
    rm -f /tmp/brennik-mount.$$
}

# Two fresh file systems beside the disk. Under Wine they have no volume
# serial, like the disk, and each numbers its files from 1: "a" holds d\e
# (file numbers 2 and 3) and "b" holds pad (2), so a copy of d into "b" makes
# a folder numbered as e. "a" also holds a tree with links, like the
# test-links cases, where the recycle bin (on the disk) can't take it.
mount_other_volumes() {
    local a=$state/volume-a b=$state/volume-b v
    for v in "$a" "$b"; do
        mkdir -p "$v"
        mountpoint -q "$v" && umount -l "$v"
        mount -t tmpfs -o size=4m tmpfs "$v" || return 0
    done
    mkdir -p "$a/d/e" "$b/pad" "$a/links/tree" "$a/links/outside" "$a/links/dest"
    echo f >"$a/d/e/f.txt"
    echo file >"$a/links/tree/file.txt"
    echo keep >"$a/links/outside/keep.txt"
    ln -s . "$a/links/tree/loop"
    ln -s "$a/links/outside" "$a/links/tree/out"
    mkdir -p "$a/links/tree/inner"
    ln -s "$a/links/outside" "$a/links/tree/inner/out2"
    export BRENNIK_VOLUME_A=$a BRENNIK_VOLUME_B=$b
}

unmount_full_volume() {
    local volume
    for volume in "$state/full-volume" "$state/read-only-volume" \
        "$state/volume-a" "$state/volume-b"; do
        mountpoint -q "$volume" 2>/dev/null && umount -l "$volume"
    done
    return 0
}
