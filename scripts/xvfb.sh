# Sourced: start_xvfb starts a private X server on a free display and exports
# DISPLAY and XVFB_PID; stop_xvfb stops it.

# Xvfb's own lock lets two servers started at one moment both take a display,
# and two test drivers on one display share their clipboard. A display is
# first claimed by a lock on a file of its own, which this shell holds until
# it stops the server or ends: the system lets it go however the shell ends.
claim_display() {
    exec {XVFB_LOCK}>>"/tmp/.brennik-x$1.lock" || return 1
    flock -n "$XVFB_LOCK" && return 0
    exec {XVFB_LOCK}>&-
    XVFB_LOCK=
    return 1
}

release_display() {
    [ -n "${XVFB_LOCK:-}" ] && exec {XVFB_LOCK}>&-
    XVFB_LOCK=
}

start_xvfb() {
    local n
    for n in $(seq 91 160); do
        [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
        claim_display $n || continue
        # The server doesn't hold the claim: it is the shell's alone.
        Xvfb :$n -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 {XVFB_LOCK}>&- &
        XVFB_PID=$!
        local i
        # A first start on a fresh machine can take seconds: wait while it
        # lives, until the display's lock names it.
        for i in $(seq 1 300); do
            [ -e /tmp/.X11-unix/X$n ] && [ "$(tr -d ' \n' </tmp/.X$n-lock 2>/dev/null)" = "$XVFB_PID" ] &&
                { export DISPLAY=:$n XVFB_PID; return 0; }
            kill -0 $XVFB_PID 2>/dev/null || break
            sleep 0.05
        done
        kill $XVFB_PID 2>/dev/null
        release_display
    done
    echo "no free X display" >&2
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    release_display
    XVFB_PID=
}
