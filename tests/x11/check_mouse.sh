#!/usr/bin/env bash
# Drives the editor's mouse gestures in the real program, under a virtual X
# server, and reports which of them did their work.
#
#   tests/x11/check_mouse.sh <build-dir> [display-number]
#
# Builds nothing: runs <build-dir>/bin/velquist on a file of numbered lines
# ("L001 alpha bravo ..."), set up like check_keys.sh, and moves the mouse
# with xdotool. Where the text lies is measured first: click, type a mark,
# save, read where it landed, until the edges of rows and columns are known.
# Each gesture is then followed by typing and saving; the saved file shows
# where the caret and the selection were. It runs under openbox (less its
# Alt+drag, which moves windows) when openbox is installed; MOUSE_WM= runs it
# without a window manager. MOUSE_PAUSE is the pause after each step
# (seconds); MOUSE_KEEP=1 keeps the temporary folder, with each saved version
# of the file.
#
# Needs Xvfb, xdotool and xwininfo (Debian: apt-get install -y xvfb xdotool
# x11-utils; openbox). Not part of the CTest suite; a run takes
# about a minute and a half.
# Exit status: 0 every gesture worked, 1 some did not, 2 could not run.
set -u

BUILD=${1:-}
DISP=${2:-93}
PAUSE=${MOUSE_PAUSE:-0.3}
WM=${MOUSE_WM-}
# openbox when it is there (MOUSE_WM= runs without a window manager).
[ -z "${MOUSE_WM+set}" ] && command -v openbox >/dev/null 2>&1 && WM=openbox
die() { echo "$*" >&2; exit 2; }

[ -n "$BUILD" ] && [ -x "$BUILD/bin/velquist" ] ||
    die "usage: $0 <build-dir> [display-number]   (needs <build-dir>/bin/velquist)"
BUILD=$(cd "$BUILD" && pwd)
for tool in Xvfb xdotool xwininfo $WM; do
    command -v "$tool" >/dev/null 2>&1 || die "$tool is missing: apt-get install -y xvfb xdotool x11-utils $WM"
done

SESSION_KEEP=${MOUSE_KEEP:-0}
. "$(dirname "$0")/x11_session.sh"
trap session_end EXIT
session_prepare mouse
DOC="$TMP/work/mouse.html"
for n in $(seq 1 300); do
    printf 'L%03d alpha bravo charlie delta echo foxtrot golf hotel\n' "$n"
done >"$DOC"
# Columns of the words in every line.
C_ALPHA=5 C_BRAVO=11 C_CHARLIE=17 C_DELTA=25 C_ECHO=31 C_GOLF=44 C_HOTEL=49

session_display $WM
session_app "$DOC"
sleep 1.5
# Room for the rows the gestures use: a large frame, the document tiled into
# all of it (Window > Tile).
xdotool windowmove "$MAIN" 0 0 windowsize "$MAIN" 1240 980 2>/dev/null
sleep 0.5
xdotool windowactivate --sync "$MAIN" 2>/dev/null || xdotool windowfocus --sync "$MAIN" 2>/dev/null
xdotool key --delay 150 alt+w t
sleep 0.5

# ---------------------------------------------------------------------------
# Helpers

focus_main() { xdotool windowactivate --sync "$MAIN" 2>/dev/null || xdotool windowfocus --sync "$MAIN" 2>/dev/null; sleep 0.1; }
key() { xdotool key --delay 80 "$@"; sleep "$PAUSE"; }
typed() { xdotool type --delay 40 "$1"; sleep "$PAUSE"; }
type_save() { typed "$1"; save; }
move() { xdotool mousemove "$1" "$2"; sleep 0.05; }
click() { move "$1" "$2"; xdotool click "${3:-1}"; sleep "$PAUSE"; }

SAVES=0
# Saves with Ctrl+S and waits until the file has been written.
save()
{
    local stamp
    stamp=$(stat -c %y "$DOC")
    key ctrl+s
    for _ in $(seq 1 50); do
        [ "$(stat -c %y "$DOC")" != "$stamp" ] && break
        sleep 0.1
    done
    [ "$(stat -c %y "$DOC")" != "$stamp" ] || { echo "the document was not saved" >&2; return 1; }
    SAVES=$((SAVES + 1))
    [ "${MOUSE_KEEP:-0}" = 1 ] && cp "$DOC" "$TMP/saved.$SAVES"
    return 0
}
# The saved line that starts with a label ("" if none); its number.
line_of() { tr -d '\r' <"$DOC" | awk -v l="$1" 'index($0, l) == 1 { print; exit }'; }
number_of() { tr -d '\r' <"$DOC" | awk -v l="$1" 'index($0, l) == 1 { print NR; exit }'; }

# Clicks at a screen point (probe_here: stays at the caret), types a mark,
# saves and prints "line column" of the mark (line from 1, column from 0);
# then takes the mark out again.
probe() { click "$1" "$2"; probe_here; }
probe_here()
{
    xdotool type '@'
    save || return 1
    tr -d '\r' <"$DOC" | awk 'index($0, "@") { print NR, index($0, "@") - 1; exit }'
    key BackSpace
}
# Smallest coordinate in (lo, hi] where field f (1 line, 2 column) of the probe
# is above v; the other coordinate stays at fixed.
edge()
{
    local axis=$1 lo=$2 hi=$3 f=$4 v=$5 fixed=$6 mid got
    while [ $((hi - lo)) -gt 1 ]; do
        mid=$(((lo + hi) / 2))
        if [ "$axis" = y ]; then got=$(probe "$fixed" "$mid"); else got=$(probe "$mid" "$fixed"); fi
        got=$(echo "$got" | cut -d' ' -f"$f")
        [ -n "$got" ] || return 1
        if [ "$got" -gt "$v" ]; then hi=$mid; else lo=$mid; fi
    done
    echo "$hi"
}

# PX, PY: screen point of a line (by its label in the saved file) and column,
# with line 1 at the top of the view (after Ctrl+Home).
at()
{
    local n
    n=$(number_of "$1")
    PX=$(awk -v x0="$X0" -v cw="$CW" -v c="$2" 'BEGIN { printf "%d", x0 + c * cw + 0.5 }')
    PY=$((Y0 + (${n:-1} - 1) * LH + LH / 2))
}
home() { focus_main; key ctrl+Home; }

declare -a ROWS=()
PASSED=0 FAILED=0
# row NUMBER GESTURE STATUS [DETAIL]
row()
{
    ROWS+=("$(printf '%-3s %-34s %-6s %s' "$1" "$2" "$3" "${4:-}")")
    if [ "$3" = ok ]; then PASSED=$((PASSED + 1)); else FAILED=$((FAILED + 1)); fi
}
# expect NUMBER GESTURE GOT WANTED [GOT WANTED ...]: a row, ok when each
# line got (from the saved file) is the one wanted.
expect()
{
    local n=$1 gesture=$2
    shift 2
    while [ $# -ge 2 ]; do
        if [ "$1" != "$2" ]; then
            row "$n" "$gesture" FAIL "wanted \"$2\", got \"$1\""
            return
        fi
        [ $# -gt 2 ] || row "$n" "$gesture" ok "$2"
        shift 2
    done
}
line() { printf 'L%03d alpha bravo charlie delta echo foxtrot golf hotel' "$((10#$1))"; }
rest() { line "$1" | cut -c"$(($2 + 1))"-; }

# ---------------------------------------------------------------------------
# Where the text is. The document window opens at the top left of the frame's
# client area, below the menu and tool bars, whatever the frame's size; a
# click 330 pixels in and 350 down (or in the middle of a smaller frame) must
# land in the text. From there the edges of the next rows and columns are
# narrowed down.

focus_main
read -r X Y WIDTH HEIGHT <<<"$(xwininfo -id "$MAIN" | awk '/Absolute upper-left X/ { x = $NF }
    /Absolute upper-left Y/ { y = $NF } /Width:/ { w = $NF } /Height:/ { h = $NF } END { print x, y, w, h }')"
XC=$((X + (WIDTH / 2 < 330 ? WIDTH / 2 : 330)))
YC=$((Y + (HEIGHT / 2 < 350 ? HEIGHT / 2 : 350)))
read -r L1 C1 <<<"$(probe "$XC" "$YC")"
[ -n "${C1:-}" ] && [ "$C1" -ge 22 ] && [ "$C1" -lt 53 ] ||
    die "a click at $XC,$YC did not land inside the text (got \"${L1:-} ${C1:-}\")"
yb1=$(edge y "$YC" $((YC + 60)) 1 "$L1" "$XC")
yb2=$(edge y "$yb1" $((yb1 + 60)) 1 $((L1 + 1)) "$XC")
LH=$((yb2 - yb1))
Y0=$((yb1 - L1 * LH))
# Column edges lie half a character from the caret positions; one near the
# middle, the next, and one twenty characters to the left.
xb1=$(edge x "$XC" $((XC + 40)) 2 "$C1" "$((yb1 + LH / 2))")
xb2=$(edge x "$xb1" $((xb1 + 40)) 2 $((C1 + 1)) "$((yb1 + LH / 2))")
step=$((xb2 - xb1))
xb3=$(edge x $((xb1 - 20 * step - 20)) $((xb1 - 20 * step + 20)) 2 $((C1 - 20)) "$((yb1 + LH / 2))")
[ -n "$xb3" ] && [ "$LH" -ge 6 ] && [ "$step" -ge 3 ] ||
    die "could not measure the text (row edges $yb1 $yb2, column edges $xb1 $xb2 $xb3)"
CW=$(awk -v a="$xb3" -v b="$xb1" 'BEGIN { printf "%.3f", (b - a) / 20 }')
X0=$(awk -v b="$xb1" -v c="$C1" -v cw="$CW" 'BEGIN { printf "%.1f", b - (c + 0.5) * cw }')
# Rows in view: Page Down from the first line goes down by about that many.
home
key Next
read -r VIEW_ROWS _ <<<"$(probe_here)"
VIEW_ROWS=$((${VIEW_ROWS:-1} - 1))
[ "$VIEW_ROWS" -ge 26 ] || die "only $VIEW_ROWS rows of text in view; the gestures need 26"
echo "text: column 0 at x=$X0, $CW px a character; top row at y=$Y0, $LH px a row; $VIEW_ROWS rows"

# ---------------------------------------------------------------------------
# The gestures. Each starts from the top of the document (Ctrl+Home) and
# works on lines of its own; a line is named by its label.

# dclick LABEL COLUMN [COUNT]: a double (or triple) click on a word.
dclick()
{
    sleep 0.6
    at "$1" "$(($2 + 2))"
    move "$PX" "$PY"
    xdotool click --repeat "${3:-2}" --delay 60 1
    sleep 0.6
}
# drag X1 Y1 X2 Y2 [HOLD] [KEY]: press, move over in steps, hold, release;
# KEY is held from the second step on.
drag()
{
    xdotool mousemove "$1" "$2" mousedown 1
    sleep 0.2
    for f in 1 2 3 4 5 6; do
        move $(($1 + ($3 - $1) * f / 6)) $(($2 + ($4 - $2) * f / 6))
        [ "$f" = 1 ] && [ -n "${6:-}" ] && xdotool keydown "$6"
    done
    sleep "${5:-0.3}"
    xdotool mouseup 1
    [ -n "${6:-}" ] && xdotool keyup "$6"
    sleep "$PAUSE"
}

# 1. A click puts the caret where it was clicked.
home
at L003 "$C_CHARLIE"
click "$PX" "$PY"
type_save "#1#"
expect 1 "click places the caret" "$(line_of L003)" "L003 alpha bravo #1#$(rest 3 "$C_CHARLIE")"

# 2. Shift+click selects from the caret to the click.
home
at L005 "$C_BRAVO"
click "$PX" "$PY"
at L006 "$C_DELTA"
move "$PX" "$PY"
xdotool keydown shift click 1 keyup shift
sleep "$PAUSE"
type_save "S2"
expect 2 "shift+click extends the selection" "$(line_of L006)" "" "$(line_of L005)" "L005 alpha S2$(rest 6 "$C_DELTA")"

# 3. A double-click selects a word, 4. a triple-click the line and its end.
home
dclick L008 "$C_DELTA"
type_save "W3"
expect 3 "double-click selects a word" "$(line_of L008)" "L008 alpha bravo charlie W3 echo foxtrot golf hotel"
home
dclick L010 "$C_BRAVO" 3
type_save "T4"
expect 4 "triple-click selects the line" "$(line_of L010)" "" "$(line_of T4)" "T4$(line 11)"

# 5. Dragging selects (dragging below the view comes last).
home
at L012 "$C_ALPHA"
p1x=$PX p1y=$PY
at L014 "$C_BRAVO"
drag "$p1x" "$p1y" "$PX" "$PY"
type_save "D5"
expect 5 "drag selects" "$(line_of L013)$(line_of L014)" "" "$(line_of L012)" "L012 D5$(rest 14 "$C_BRAVO")"

# 6. The wheel scrolls: after it, a click at the top row is far down.
home
at L002 "$C_ALPHA"
move "$PX" "$PY"
xdotool click --repeat 6 --delay 100 5
sleep 0.5
click "$PX" $((Y0 + LH / 2))
type_save "#6#"
n=$(tr -d '\r' <"$DOC" | awk '/#6#/ { print NR; exit }')
key BackSpace BackSpace BackSpace
if [ -n "$n" ] && [ "$n" -gt 10 ]; then
    row 6 "wheel scrolls the view" ok "top row after the wheel: line $n"
else
    row 6 "wheel scrolls the view" FAIL "the click at the top landed on line ${n:-?}"
fi

# 7. Middle-click pastes the primary selection at the click.
home
dclick L020 "$C_GOLF"
at L022 "$C_ALPHA"
click "$PX" "$PY" 2
type_save "#7"
expect 7 "middle-click pastes the selection" "$(line_of L020)" "$(line 20)" "$(line_of L022)" "L022 golf#7$(rest 22 "$C_ALPHA")"

# 8. Dragging a selected word to the start of another line moves it; with
# Ctrl (down once the drag has started: a Ctrl+click adds a caret) it copies.
# The dropped text stays selected: typing replaces it.
# drop GESTURE KEY FROM-LABEL COLUMN FROM-WANTED TO-LABEL WORD
drop()
{
    local sx sy got
    home
    dclick "$3" "$4"
    sx=$PX sy=$PY
    at "$6" "$C_ALPHA"
    drag "$sx" "$sy" "$PX" "$PY" 0.3 "$2"
    save
    got=$(line_of "$6")
    type_save "#8"
    expect 8 "$1" "$(line_of "$3")" "$5" "$(line_of "$6")" "$6 #8$(rest "${6#L}" "$C_ALPHA")" \
        "$got" "$6 $7$(rest "${6#L}" "$C_ALPHA")"
}
drop "drag and drop moves the text" "" L015 "$C_BRAVO" "L015 alpha  charlie delta echo foxtrot golf hotel" L017 bravo
drop "ctrl+drag copies the text" ctrl L018 "$C_ECHO" "$(line 18)" L019 echo

# 9. Alt+drag selects a block of columns; typing replaces it on every line.
home
at L023 "$C_BRAVO"
bx=$PX by=$PY
at L026 "$C_CHARLIE"
xdotool keydown alt
drag "$bx" "$by" "$PX" "$PY"
xdotool keyup alt
typed "K"
key Escape
save
pairs=()
for n in 23 24 25 26; do
    pairs+=("$(line_of "L0$n")" "L0$n alpha K$(rest "$n" "$C_CHARLIE")")
done
expect 9 "alt+drag selects a block" "${pairs[@]}"

# 10. Right-click opens the document window's menu; its "Copy" and "Paste"
# (picked by their underlined letters) copy a word to the caret.
# menu_key X Y KEY: right-clicks at a point and, if a window (the menu) came
# up, presses KEY.
menu_key()
{
    local before
    before=$(xdotool search --onlyvisible --class velquist 2>/dev/null | wc -l)
    click "$1" "$2" 3
    sleep 0.5
    [ "$(xdotool search --onlyvisible --class velquist 2>/dev/null | wc -l)" -gt "$before" ] || return 1
    key "$3"
}
home
dclick L009 "$C_HOTEL"
if ! menu_key "$PX" "$PY" c; then
    row 10 "right-click menu: Copy, Paste" FAIL "no menu appeared"
else
    at L004 "$C_ALPHA"
    click "$PX" "$PY"
    if menu_key "$PX" "$PY" p; then
        type_save "#X"
        expect 10 "right-click menu: Copy, Paste" "$(line_of L004)" "L004 hotel#X$(rest 4 "$C_ALPHA")"
    else
        row 10 "right-click menu: Copy, Paste" FAIL "no menu at the second right-click"
    fi
fi

# 5. Held below the view, a drag scrolls the text and the selection along:
# it ends far below the last line that was in view.
home
at L027 "$C_ALPHA"
last_shown=$(tr -d '\r' <"$DOC" | awk -v n=$((VIEW_ROWS + 1)) 'NR == n { print substr($0, 2, 3) + 0 }')
drag "$PX" "$PY" "$PX" $((Y0 + (VIEW_ROWS + 2) * LH)) 3
type_save "A5"
next=$(tr -d '\r' <"$DOC" | awk '/^L027 A5/ { getline; print substr($0, 2, 3) + 0; exit }')
if [ "$(line_of "L027 A5")" = "L027 A5$(rest 27 "$C_ALPHA")" ] && [ -n "$next" ] && [ "$next" -gt $((last_shown + 5)) ]; then
    row 5 "drag below the view scrolls" ok "L027 to L$((next - 1)) selected; last line in view was L$last_shown"
else
    row 5 "drag below the view scrolls" FAIL "last line in view L$last_shown; \"$(line_of "L027 A5")\", next line L${next:-?}"
fi

echo "Mouse gestures under X11 (display :$DISP, window manager: ${WM:-none})"
printf '%-3s %-34s %-6s %s\n' "#" "GESTURE" "RESULT" "DETAIL"
printf '%s\n' "${ROWS[@]}" | sort -n -s -k1,1
echo "gestures: $PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
