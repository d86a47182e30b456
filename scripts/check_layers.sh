#!/bin/bash
# The program's folders in layers, lowest first. A file may include headers
# of its own folder and of the folders below it, never of one above, and a
# function a folder's header declares is defined in that folder, so that no
# call goes up through it.
# Prints, per folder, the folders its files include; exits 1 on an upward
# include, naming the file and the header.
set -u
cd "$(dirname "$0")/.."
LAYERS=(base assoc core fileops panes exchange app)
RES_LAYER=0   # res/ holds only ids: every layer may include it

rank() {
    local i
    for i in "${!LAYERS[@]}"; do
        [ "${LAYERS[$i]}" = "$1" ] && { echo "$i"; return; }
    done
    [ "$1" = res ] && { echo "$RES_LAYER"; return; }
    echo -1
}

status=0
for folder in "${LAYERS[@]}"; do
    mine=$(rank "$folder")
    used=""
    for file in "$folder"/*.h "$folder"/*.cpp; do
        [ -e "$file" ] || continue
        while read -r header; do
            other=${header%%/*}
            [ "$other" = "$header" ] && continue
            theirs=$(rank "$other")
            if [ "$theirs" -lt 0 ]; then
                echo "unknown folder: $file includes $header"
                status=1
            elif [ "$theirs" -gt "$mine" ]; then
                echo "upward include: $file includes $header ($folder is below $other)"
                status=1
            fi
            [ "$other" != "$folder" ] && used="$used $other"
        done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
    done
    echo "$folder -> $(echo $used | tr ' ' '\n' | sort -u | tr '\n' ' ')"
done
[ $status -eq 0 ] && echo "layers: no include points upward"
python3 scripts/check_calls.py "${LAYERS[@]}" || status=1
exit $status
