#!/usr/bin/env bash
# Presses every key of the main frame's key map in the real program, under a
# virtual X server, and reports which keys ran their command.
#
#   tests/x11/check_keys.sh <build-dir> [display-number]
#
# Builds nothing: runs <build-dir>/bin/velquist on a small file, with its
# program and settings folders in a temporary folder (the data files are
# taken from <build-dir>/bin). Keys go in through xdotool, as a keyboard
# would send them; each key's work is seen in the saved file or as a window
# that appears. Set KEYS_SHOT=/path/shot.png for a screenshot taken just
# before saving, KEYS_KEEP=1 to keep the temporary folder.
#
# Needs Xvfb and xdotool (Debian: apt-get install -y xvfb xdotool; the
# screenshot needs imagemagick). Not part of the CTest suite.
# Exit status: 0 every key did its command, 1 some did not, 2 could not run.
set -u

BUILD=${1:-}
DISP=${2:-97}
PAUSE=${KEYS_PAUSE:-0.35}

if [ -z "$BUILD" ] || [ ! -x "$BUILD/bin/velquist" ]; then
    echo "usage: $0 <build-dir> [display-number]   (needs <build-dir>/bin/velquist)" >&2
    exit 2
fi
BUILD=$(cd "$BUILD" && pwd)
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null 2>&1; then
        echo "$tool is missing: apt-get install -y xvfb xdotool imagemagick" >&2
        exit 2
    fi
done

SESSION_KEEP=${KEYS_KEEP:-0}
. "$(dirname "$0")/x11_session.sh"
trap session_end EXIT
session_prepare keys
DOC="$TMP/work/keys.html"
printf '<HTML><HEAD><TITLE>t</TITLE></HEAD>\n<BODY>\n</BODY></HTML>\n' >"$DOC"
session_display
session_app "$DOC"
sleep 1

# ---------------------------------------------------------------------------
# Helpers

# There is no window manager: the focus is given to the main window directly.
focus_main() { xdotool windowfocus --sync "$MAIN" 2>/dev/null; sleep 0.1; }
key() { xdotool key --delay 80 "$@"; sleep "$PAUSE"; }
typed() { xdotool type --delay 40 "$1"; sleep "$PAUSE"; }
# A new line at the end of the document, starting with a label.
label() { focus_main; key ctrl+End Return; typed "$1:"; }

visible_windows() { xdotool search --onlyvisible --name "$1" 2>/dev/null; }
# Waits up to two seconds for a visible window whose title matches; prints its id.
wait_window()
{
    local id
    for _ in $(seq 1 20); do
        id=$(visible_windows "$1" | head -1)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}
# Number of mapped windows of the program (menus and popups included).
mapped_count() { xdotool search --onlyvisible --class velquist 2>/dev/null | wc -l; }

declare -a ROWS=()
PASSED=0
FAILED=0
DISABLED=0
# row KEY COMMAND STATUS [DETAIL]
row()
{
    ROWS+=("$(printf '%-18s %-32s %-8s %s' "$1" "$2" "$3" "${4:-}")")
    case "$3" in
    ok) PASSED=$((PASSED + 1)) ;;
    disabled) DISABLED=$((DISABLED + 1)) ;;
    *) FAILED=$((FAILED + 1)) ;;
    esac
}

# A key that should show a window: checks the window comes up, then closes it
# with the given keys (sent to that window).
window_key()
{
    local keys=$1 command=$2 title=$3
    shift 3
    focus_main
    key "$keys"
    local id
    if id=$(wait_window "$title"); then
        row "$keys" "$command" ok "window \"$title\" shown"
        xdotool windowfocus --sync "$id" 2>/dev/null
        sleep 0.2
        [ $# -gt 0 ] && key "$@"
        for _ in $(seq 1 20); do
            [ -z "$(visible_windows "$title")" ] && break
            sleep 0.1
        done
    else
        row "$keys" "$command" FAIL "no window \"$title\""
    fi
}

# Document checks after saving: label -> expected line, key, command.
declare -a EXPECT=()
expect() { EXPECT+=("$1"$'\x1f'"$2"$'\x1f'"$3"$'\x1f'"$4"); }

# ---------------------------------------------------------------------------
# The keys

focus_main
key ctrl+End Return

# Goto submenu: Ctrl+G opens it; "t" picks "&Title Declaration", which selects
# "<TITLE>" in the first line; typing replaces the selection.
focus_main
before=$(mapped_count)
key ctrl+g
after=$(mapped_count)
if [ "$after" -gt "$before" ]; then
    key t
    typed "TT"
    row ctrl+g "Goto submenu" ok "menu opened"
else
    row ctrl+g "Goto submenu" FAIL "no menu opened"
fi
expect "<HTML><HEAD>TT" "<HTML><HEAD>TTt</TITLE></HEAD>" "ctrl+g t" "Goto > Title Declaration"

# Tag keys: each inserts its pair at the caret.
tag_key()
{
    label "$1"
    key "$2"
    expect "$1:" "$1:$3" "$2" "$4"
}
tag_key b ctrl+b "<B></B>" "Bold"
tag_key i ctrl+i "<I></I>" "Italics"
tag_key u ctrl+shift+u "<U></U>" "Underline"
for n in 1 2 3 4 5 6; do
    tag_key "h$n" "ctrl+shift+$n" "<H$n></H$n>" "Heading $n"
done
for n in 1 2 3 4 5 6; do
    tag_key "a$n" "ctrl+alt+$n" "<H$n ALIGN=LEFT></H$n>" "Aligned heading $n"
done
tag_key hr ctrl+h "<HR>" "Horizontal line"
tag_key hs ctrl+shift+h "<HR SIZE=n>" "Horizontal line with size"
# F4 repeats the last pair (the sized rule).
tag_key rp F4 "<HR SIZE=n>" "Repeat last tag"

# Undo: Bold, then Ctrl+U takes back the whole pair in one step.
label un
key ctrl+b
key ctrl+u
expect "un:" "un:" "ctrl+u" "Undo"

# Cut, copy, paste.
label cc
typed "AB"
key shift+Left shift+Left ctrl+c End ctrl+v
expect "cc:" "cc:ABAB" "ctrl+c ctrl+v" "Copy, Paste"
label cx
typed "XY"
key shift+Left shift+Left ctrl+x
typed "-"
key ctrl+v
expect "cx:" "cx:-XY" "ctrl+x" "Cut"

# Delete: nothing without a selection (the editor's own word deletion does
# not run), the selection with one.
label dl
typed "ABC"
key Left Left ctrl+Delete End shift+Left ctrl+Delete
expect "dl:" "dl:AB" "ctrl+Delete" "Delete"

# Bookmarks: set 1..9 on nine labelled lines, then go to each from the end
# of the document and type a mark there. Each is set before the label's
# colon, away from the end of the document where the next lines go in (a
# bookmark moves along with text inserted at its place).
for n in 1 2 3 4 5 6 7 8 9; do
    label "bm$n"
    key Left "ctrl+F$n"
done
for n in 1 2 3 4 5 6 7 8 9; do
    focus_main
    key ctrl+End
    key "ctrl+shift+F$n"
    typed "#$n"
done
for n in 1 2 3 4 5 6 7 8 9; do
    expect "bm$n" "bm$n#$n:" "ctrl+F$n ctrl+shift+F$n" "Set/Goto bookmark $n"
done
focus_main
key ctrl+End

# "</" closes the open <i>; Ctrl+M goes back into its opening tag.
label ac
typed "<i>x</"
key ctrl+m
typed "#"
expect "ac:" "ac:<#i>x</i>" "</ ctrl+m" "Closing tag, Go to Matching Tag"

# The editor's own keys: each row types, moves and types a mark at the caret.
edit_key()
{
    local lab=$1 text=$2 keys=$3 mark=$4 want=$5 command=$6
    label "$lab"
    typed "$text"
    # shellcheck disable=SC2086
    key $keys
    [ -n "$mark" ] && typed "$mark"
    expect "$lab:" "$lab:$want" "$keys" "$command"
}
edit_key ek1 "abc" "Left Left" "|" "a|bc" "Left"
edit_key ek2 "abc" "Home Right Right Right Right" "|" "|abc" "Home, Right"
edit_key ek3 "foo bar" "ctrl+Left" "|" "foo |bar" "Ctrl+Left by word"
edit_key ek4 "foo bar" "Home ctrl+Right ctrl+Right ctrl+Right" "|" "foo |bar" "Ctrl+Right by word"
edit_key ek5 "abcd" "shift+Left shift+Left" "X" "abX" "Shift selection, typing over it"
edit_key ek6 "abc" "BackSpace" "" "ab" "Backspace"
edit_key ek7 "foo bar" "ctrl+BackSpace" "" "foo " "Ctrl+Backspace"
edit_key ek8 "abc" "Left Left Delete" "" "ac" "Delete"
edit_key ek9 "abc" "Left Left Insert" "X" "aXc" "Insert: overwrite"
focus_main
key Insert
edit_key ek10 "xyz" "Up Down" "|" "xyz|" "Up, Down keep the column"
edit_key ek11 "a" "Tab" "b" $'a\tb' "Tab"
edit_key ek12 "abc def" "ctrl+shift+Left" "X" "abc X" "Ctrl+Shift+Left, typing over it"
edit_key ek13 "f(" "End Left" "|" "f(|)" "Auto pairs: a bracket closes itself"
edit_key ek14 "qzq qzq" "ctrl+Left ctrl+d ctrl+d" "W" "W W" "Ctrl+D: carets at each occurrence"
focus_main
key Escape
edit_key ek15 "abc" "Home End" "|" "abc|" "Home, End"
edit_key ek16 "abc" "Left Left Left shift+End" "X" "X" "Shift+End, typing over it"
edit_key ek17 "abc" "Left shift+Right shift+Left shift+Left" "X" "aXc" "Shift+Right, Shift+Left"
edit_key ek18 "abc" "Left Left ctrl+shift+End" "X" "aX" "Ctrl+Shift+End"
edit_key ek19 "abc" "Prior Next" "|" "abc|" "Page Up, Page Down"
edit_key ek20 "abc" "shift+Prior shift+Next" "|" "abc|" "Shift+Page Up, Shift+Page Down"
edit_key ek22 "ab" "ctrl+Home ctrl+End" "|" "ab|" "Ctrl+Home, Ctrl+End"
# Home then shift+Home on "hm:abc": the selection from the line's start.
label hm
typed "abc"
key Left shift+Home shift+Right shift+Right shift+Right
typed "X"
expect "hm:" "hm:Xc" "shift+Home" "Shift+Home"
label del
typed "foo bar"
key ctrl+Left ctrl+Left Delete
expect "del:" "del:oo bar" "Delete" "Delete at a word"
# Tab and Shift+Tab on a selected line indent and outdent it.
label ti
typed "ab"
key shift+Home Tab
expect $'\tti:' $'\tti:ab' "shift+Home Tab" "Tab indents the selected line"
# (an empty line after it, so that the next line takes no indentation)
key End Return shift+Home BackSpace
label to
typed "ab"
key Home Tab End shift+Home shift+Tab
expect "to:" "to:ab" "shift+Tab" "Shift+Tab outdents the selected line"
# Enter keeps the indentation of the line it ends.
label ai
key Home space space End Return
typed "ai2:y"
expect "  ai2:" "  ai2:y" "Return" "Enter with auto-indent"
key End Return shift+Home BackSpace

# Keys that show windows.
window_key F1 "Help contents" '^Velquist Help'
window_key F2 "Project window" '^Project Organiser' Escape
window_key F5 "Note pad" '^Velquist NotePad'
window_key F9 "Web preview" '^Velquist Preview' alt+c
window_key F10 "Plug-ins" '^Velquist Plug Ins'
window_key ctrl+p "Print" '^Print' Escape
window_key ctrl+o "Open documents" '^Open Document' Escape
window_key ctrl+f "Find (document window)" '^Find' Escape
window_key ctrl+r "Replace (document window)" '^Replace' Escape
window_key F3 "HTML tag chooser" '^HTML Tags' alt+f c
window_key F7 "Colour chooser" '^Color Chooser' Escape
window_key ctrl+l "Go to line" '^Go to Line' Escape
window_key shift+F1 "About box" '^About Velquist' Escape

if [ -n "${KEYS_SHOT:-}" ] && command -v import >/dev/null 2>&1; then
    import -window root "$KEYS_SHOT"
fi

# Save and read the file back.
focus_main
stamp=$(stat -c %Y.%s "$DOC")
sleep 1
key ctrl+s
sleep 0.5
if [ "$(stat -c %Y.%s "$DOC")" != "$stamp" ]; then
    row ctrl+s "Save" ok "file written"
else
    row ctrl+s "Save" FAIL "file not written"
fi

for e in "${EXPECT[@]}"; do
    IFS=$'\x1f' read -r lab want keys command <<<"$e"
    got=$(tr -d '\r' <"$DOC" | awk -v l="$lab" 'index($0, l) == 1 { print; exit }')
    status=ok
    case "$command" in *"(disabled)") [ "$got" = "$want" ] && status=disabled ;; esac
    if [ "$got" = "$want" ]; then
        row "$keys" "$command" "$status" "$want"
    else
        row "$keys" "$command" FAIL "wanted \"$want\", got \"$got\""
    fi
done

echo "Keys of the main frame under X11 (display :$DISP)"
printf '%-18s %-32s %-8s %s\n' "KEYS" "COMMAND" "RESULT" "DETAIL"
for r in "${ROWS[@]}"; do
    echo "$r"
done
echo "disabled commands left alone: $DISABLED"
echo "keys: $PASSED passed, $FAILED failed"
[ "$FAILED" -eq 0 ]
