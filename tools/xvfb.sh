# Starts a virtual X display of its own for a script that sources this file:
#     start_xvfb DIR     sets XVFB_PID and exports DISPLAY; logs to DIR/xvfb.log
# Xvfb picks a free display and names it once it is up; the display counts as
# ready only once it answers. -noreset: a reset after the last client leaves
# makes the next connection fail now and then.
start_xvfb() {
    local dir=$1 tries=200
    exec 3>"$dir/display"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp -noreset >"$dir/xvfb.log" 2>&1 &
    XVFB_PID=$!
    exec 3>&-
    until [ -s "$dir/display" ] && xdpyinfo -display ":$(cat "$dir/display")" >/dev/null 2>&1; do
        tries=$((tries - 1))
        if [ "$tries" -le 0 ]; then
            echo "Xvfb did not start:" >&2
            cat "$dir/xvfb.log" >&2
            return 1
        fi
        sleep 0.05
    done
    export DISPLAY=":$(cat "$dir/display")"
}
