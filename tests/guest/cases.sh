# The Wayland cases, run in the guest by scripts/guest-init once the user's session runs its compositor; guest-init
# gives the words they use (check, play, started, ends_with, seen, left_up, edges_of, ...), the hand (fd 3; nodes
# $mouse, $pad, $keyboard) and $tool, the installed program's folder.

# name              compositors      what it shows
cases="
granted             sway,gnome,kwin  the README's set-up gives the user the mouse, the pad and /dev/uinput, no keyboard
play_clicks         sway,gnome,kwin  a play of a crafted file clicks at the recorded pixels, two passes
quick_clicks        sway,gnome,kwin  clicks followed at once by moves, a drag moving in the next tick: all where made
right_button_stops  sway,gnome,kwin  the hand's right button stops a --loop play with no button left down
pad_stops           sway,gnome,kwin  a click in a clickpad's right-button area stops a --loop play, no button left down
signal_stops        sway,gnome,kwin  SIGTERM ends a play in a drag, which exits by itself with no button left down
no_permission       sway,gnome,kwin  without the rule's grant on /dev/uinput or the mouse: its message and exit status 1
record_refused      sway,gnome       record names the compositor, exits 1 and leaves the file alone
record_positions    kwin             a recording holds KWin's cursor position and the hand's presses; the script goes
window_plays        sway,gnome,kwin  the window plays from its keyboard; the right button stops it with no button down
"

printf '%s\r\n' '[STATUS]' SLEEP_TIME=0 WAIT_CLICK_TIME=0 VERTICAL_MARGIN=0 HORIZON_MARGIN=0 WAIT_FIRST_TIME=0 \
    >$tool/clickpath.ini # both programs' five numbers: margins 0, no waits
lines 1 450,380,0 >$tool/drag.txt && lines 3000 450,380,128 >>$tool/drag.txt # 30 s held at (450, 380)

case_granted() {
    mkfifo /tmp/combo && { python3 "$share/guest-hand" combo </tmp/combo >/tmp/combo.node & } && exec 4>/tmp/combo
    wait_for 30 test -s /tmp/combo.node && udevadm settle && combo=$(cut -d' ' -f2 /tmp/combo.node)
    for node in "$mouse" "$pad" /dev/uinput; do
        what="$node is tagged uaccess" check tagged "$node"
        what="the user has access to $node: $(getfacl -p "$node" | grep user:user:)" check user_acl "$node"
    done
    for node in "$keyboard" "$combo"; do
        what="the keyboard $node is not tagged" check not tagged "$node"
        what="the user has no access to the keyboard $node" check not user_acl "$node"
    done
    exec 4>&- # the mouse that is a keyboard goes, as no other case expects it
}

# Plays the file $1 (with the options in $2) and checks that wev saw the left button's edges that follow, where made.
plays_edges() {
    said=$(play $tool/$1 $2 2>&1); what="exit status 0" check [ $? -eq 0 ]
    what="the compositor took the pointer in time: $said" check [ "${said#*has not taken}" = "$said" ]
    expected=$(shift 2 && edges_of "$@")
    wait_for 10 eval '[ "$(left_seen)" = "$expected" ]' # wev may print a moment later
    what="each press and release where it was made: $(left_seen)" check [ "$(left_seen)" = "$expected" ]
}
case_play_clicks() {
    clicks_at 420,360 880,680 890,690 >$tool/walk.txt
    set -- "press 420 360" "release 420 360" "press 880 680" "release 880 680" "press 890 690" "release 890 690"
    plays_edges walk.txt "--passes 2" "$@" "$@"
}
case_quick_clicks() { # each release followed by a move in the next tick, a drag that moves in the tick after its press
    printf '%s\r\n' 400,400,0 400,400,128 400,400,0 800,600,0 800,600,128 800,600,0 500,500,0 500,500,128 \
        510,500,128 520,500,128 520,500,0 700,650,0 >$tool/quick.txt
    plays_edges quick.txt "" "press 400 400" "release 400 400" "press 800 600" "release 800 600" "press 500 500" \
        "release 520 500"
}

# Stops the drag that $pid plays by the command $2; it ends by itself with exit status $1 and no button down.
drag_stopped_by() {
    what="the drag began" check wait_for 30 seen 'left press 450 380'
    $2 "$pid"
    ends_with "$1"
    what="no button is left down" check wait_for 5 left_up
}
right_click() { echo right >&3; } && pad_click() { echo pad >&3; }
loop_drag() { started ~user/.local/bin/clickpath-cli play $tool/drag.txt --loop; }
case_right_button_stops() { loop_drag && drag_stopped_by 0 right_click; }
case_pad_stops() { loop_drag && drag_stopped_by 0 pad_click; }
case_signal_stops() { loop_drag && drag_stopped_by 143 "kill -TERM"; }

# The rule's grant taken from a node by hand (setfacl -b), then given back by udev as the rule gives it.
case_no_permission() {
    for device in "/dev/uinput:Cannot create a virtual pointer through /dev/uinput: Permission denied." \
        "$mouse:Cannot read the pointing device $mouse (guest hand mouse): Permission denied."; do
        node=${device%%:*} && setfacl -b "$node"
        said=$(play $tool/walk.txt 2>&1); what="without $node: exit status 1" check [ $? -eq 1 ]
        what="without $node: the message says why" check says "$said" "${device#*:}"
        udevadm trigger --action=change --settle "$node"
        what="udev gives $node back to the user" check user_acl "$node"
    done
}

case_record_refused() {
    printf '1,2,0\r\n' >$tool/kept.txt
    said=$(as_user ~user/.local/bin/clickpath-cli record $tool/kept.txt 2>&1); what="exit status 1" check [ $? -eq 1 ]
    what="the message names $desktop" check says "$said" "$desktop tells no program where the pointer is"
    what="the file is untouched" check [ "$(cat $tool/kept.txt)" = "$(printf '1,2,0\r\n')" ]
}

kwin_cursor() { # KWin's own word on where its cursor is, from a script of the case's
    echo 'print("cursor at", workspace.cursorPos.x, workspace.cursorPos.y);' >/tmp/where.js
    id=$(kwin --object-path /Scripting --method org.kde.kwin.Scripting.loadScript /tmp/where.js where | tr -dc 0-9)
    kwin --object-path "/Scripting/Script$id" --method org.kde.kwin.Script.run >/dev/null
    wait_for 10 grep -q 'cursor at' /run/compositor.log
    sed -n 's/.*cursor at \([0-9]*\) \([0-9]*\).*/\1,\2/p' /run/compositor.log | tail -1
}
loaded() { kwin --object-path /Scripting --method org.kde.kwin.Scripting.isScriptLoaded "clickpath-cursor-$pid"; }
case_record_positions() {
    started ~user/.local/bin/clickpath-cli record $tool/recorded.txt
    what="the recording began" check wait_for 60 test -s $tool/recorded.txt
    what="the tool's script is loaded" check [ "$(loaded)" = "(true,)" ]
    for button in left left right; do sleep 0.5 && echo $button >&3; done # the right one stops
    ends_with 0
    where=$(kwin_cursor) recorded=$(tr -d '\r' <$tool/recorded.txt)
    echo "KWin's cursor: $where; recorded: $(echo "$recorded" | uniq -c | tr '\n' ' ')"
    what="every line holds KWin's position" check [ -z "$(echo "$recorded" | grep -v "^$where,")" ]
    what="the two presses are runs of 128" check [ "$(echo "$recorded" | uniq | grep -c ',128$')" -eq 2 ]
    what="the tool's script is unloaded" check [ "$(loaded)" = "(false,)" ]
}

# The window, placed by the compositor, takes the keyboard from wev: Shift+Tab goes to "SET", the last control, whether
# Qt has yet given "Rec" the focus or not, and Tab, Tab, Space click "Auto". It loops the drag, and stays after a
# stop, so the release is the player's: at an exit libinput lifts buttons.
keyboard_left_wev() { tail -n +"$((seen_from + 1))" /tmp/clicks.log | grep -q 'wl_keyboard\] leave'; }
case_window_plays() {
    cp $tool/drag.txt $tool/clickpath.txt && started ~user/.local/bin/clickpath
    what="the window took the keyboard" check wait_for 60 keyboard_left_wev
    echo "key leftshift+tab tab tab space" >&3
    what="the drag began" check wait_for 30 seen 'left press 450 380'
    right_click
    what="the stopped play let go, its pointer still there" check wait_for 5 left_up
    what="the window still runs" check [ ! -s /tmp/ended ]
    kill -TERM "$pid" && ends_with 143
}
