# The session the X11 checks run the program in, sourced by them: a folder
# of its own for the program's data and settings, a virtual X server (and a
# window manager, if named) and the program on one document.
#
#   session_prepare NAME   makes TMP (/tmp/velquist-NAME.XXXXXX) with home,
#                          config and work folders, the shipped data copied
#                          from $BUILD/bin, settings that open no template
#                          and show no tips
#   session_display [WM]   starts Xvfb on :$DISP, then WM if given
#   session_app DOC        starts the program on DOC; MAIN is its main window
#   session_end            stops them all; keeps TMP when SESSION_KEEP=1
#
# A step that cannot be done ends the script with status 2.

XVFB_PID="" WM_PID="" APP_PID="" MAIN=""
SESSION_KEEP=${SESSION_KEEP:-0}

session_die() { echo "$*" >&2; exit 2; }

session_prepare()
{
    TMP=$(mktemp -d "/tmp/velquist-$1.XXXXXX")
    export XDG_RUNTIME_DIR="$TMP/xdg"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    mkdir -p "$TMP/home" "$TMP/config" "$TMP/work"
    local f
    for f in "$BUILD"/bin/*; do
        case "$f" in *.tpl|*.web|*.mcr|*.plg|*.hlp|*.TXT) cp "$f" "$TMP/home/" ;; esac
    done
    printf '[System]\nOpen Template=0\n[Application Header]\nUser Name=Kim\n[Start Options]\nTips=0\n' \
        >"$TMP/config/VELQUIST.INI"
}

session_display()
{
    { [ -e "/tmp/.X11-unix/X$DISP" ] || [ -e "/tmp/.X$DISP-lock" ]; } &&
        session_die "display :$DISP is taken; name another: $0 $BUILD <display-number>"
    Xvfb ":$DISP" -screen 0 1280x1024x24 -nolisten tcp >"$TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$DISP"
    local _
    for _ in $(seq 1 50); do
        xdotool getmouselocation >/dev/null 2>&1 && break
        sleep 0.1
    done
    [ -n "${1:-}" ] || return 0
    local args=()
    # (openbox's Alt+drag moves windows: the editor's own Alt+drag is wanted)
    if [ "$1" = openbox ] && [ -f /etc/xdg/openbox/rc.xml ]; then
        sed '/<mousebind button="A-Left"/,/<\/mousebind>/d' /etc/xdg/openbox/rc.xml >"$TMP/rc.xml"
        args=(--config-file "$TMP/rc.xml")
    fi
    "$1" "${args[@]}" >"$TMP/wm.log" 2>&1 &
    WM_PID=$!
    sleep 1
}

session_app()
{
    cd "$TMP/work" || exit 2
    VELQUIST_HOME="$TMP/home" VELQUIST_CONFIG_DIR="$TMP/config" HOME="$TMP" \
        "$BUILD/bin/velquist" "$1" >"$TMP/app.log" 2>&1 &
    APP_PID=$!
    local _
    for _ in $(seq 1 100); do
        MAIN=$(xdotool search --onlyvisible --name '^Velquist Pro HTML Editor' 2>/dev/null | head -1)
        [ -n "$MAIN" ] && return 0
        sleep 0.1
    done
    SESSION_KEEP=1
    session_die "the main window did not appear; see $TMP/app.log"
}

session_end()
{
    xdotool keyup alt ctrl shift mouseup 1 mouseup 2 >/dev/null 2>&1
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
    [ -n "$WM_PID" ] && kill "$WM_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
    if [ "$SESSION_KEEP" = 1 ]; then echo "kept: $TMP"; else rm -rf "$TMP"; fi
}
