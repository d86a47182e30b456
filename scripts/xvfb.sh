# Sourced: start_xvfb starts a private X server on a free display and exports
# DISPLAY and XVFB_PID; stop_xvfb stops it.

# Xvfb's own lock lets two servers started at one moment both take a display,
# and two test drivers on one display share their clipboard. A display is
# first claimed by a folder made at once (mkdir), holding the claimant's pid;
# a dead claimant's claim is taken over.
claim_display() {
    local claim=/tmp/.brennik-x$1 owner
    if ! mkdir "$claim" 2>/dev/null; then
        owner=$(cat "$claim/pid" 2>/dev/null)
        [ -n "$owner" ] && ! kill -0 "$owner" 2>/dev/null || return 1
        rm -rf "$claim"
        mkdir "$claim" 2>/dev/null || return 1
    fi
    echo "$BASHPID" >"$claim/pid"
    XVFB_CLAIM=$claim
}

start_xvfb() {
    local n
    for n in $(seq 91 160); do
        [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
        claim_display $n || continue
        Xvfb :$n -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        # A first start on a fresh machine can take seconds: wait while it lives.
        for i in $(seq 1 300); do
            [ -e /tmp/.X11-unix/X$n ] && { export DISPLAY=:$n XVFB_PID XVFB_CLAIM; return 0; }
            kill -0 $XVFB_PID 2>/dev/null || break
            sleep 0.05
        done
        kill $XVFB_PID 2>/dev/null
        rm -rf "$XVFB_CLAIM"
    done
    echo "no free X display" >&2
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    [ -n "${XVFB_CLAIM:-}" ] && rm -rf "$XVFB_CLAIM"
    XVFB_PID= XVFB_CLAIM=
}
