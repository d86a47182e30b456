# Sourced: start_xvfb starts a private X server on a free display and exports
# DISPLAY and XVFB_PID; stop_xvfb stops it.
start_xvfb() {
    local n
    for n in $(seq 91 160); do
        [ -e /tmp/.X$n-lock ] || [ -e /tmp/.X11-unix/X$n ] && continue
        Xvfb :$n -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        # A first start on a fresh machine can take seconds: wait while it lives.
        for i in $(seq 1 300); do
            [ -e /tmp/.X11-unix/X$n ] && { export DISPLAY=:$n XVFB_PID; return 0; }
            kill -0 $XVFB_PID 2>/dev/null || break
            sleep 0.05
        done
        kill $XVFB_PID 2>/dev/null
    done
    echo "no free X display" >&2
    return 1
}

stop_xvfb() {
    [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
}
