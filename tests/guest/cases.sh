# The Wayland cases, run in the guest by scripts/guest-init once the user's session runs its compositor. guest-init
# gives wait_for, as_user, started (a program of the user's in the background: $pid, and /tmp/ended saying "exit N"
# or "signal N"), the hand (fd 3; nodes $mouse, $pad, $keyboard), wev's log /tmp/clicks.log and its offset
# ($ox, $oy). Each case writes its checks to <name>.log, pass or fail to <name>.status.

# name              compositors      what it shows
cases="
granted             sway,gnome,kwin  the README's set-up grants the mouse, the pad and /dev/uinput to the user, no keyboard
play_clicks         sway,gnome,kwin  a play of a crafted file clicks at the recorded pixels, two passes
quick_clicks        sway,gnome,kwin  clicks followed at once by moves, and a drag that moves in the next tick, land where made
right_button_stops  sway,gnome,kwin  the hand's right button stops a --loop play with no button left down
pad_stops           sway,gnome,kwin  a click in a clickpad's right-button area stops a --loop play with no button left down
signal_stops        sway,gnome,kwin  SIGTERM ends a play in a drag, which exits by itself with no button left down
no_permission       sway,gnome,kwin  without the rule's grant on /dev/uinput or the mouse: its message and exit status 1
record_refused      sway,gnome       record names the compositor, exits 1 and leaves the file alone
record_positions    kwin             a recording holds KWin's cursor position and the hand's presses; the tool's script goes
window_plays        sway,gnome,kwin  the window plays from its keyboard; the right button stops it with no button down
"

tool=/home/user/.local/lib/clickpath
check() { if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && failed=1 && return 1; fi; }
not() { ! "$@"; }
says() { echo "said: $1" && printf '%s' "$1" | grep -qF -- "$2"; }
ends_with() { # waits for $pid to end, and checks that it exited by itself with status $1
    what="it ended" check wait_for 60 test -s /tmp/ended || kill -KILL "$pid"
    wait $job; what="it exited by itself with status $1: $(cat /tmp/ended)" check [ "$(cat /tmp/ended)" = "exit $1" ]
}
lines() { for _ in $(seq "$1"); do printf '%s\r\n' "$2"; done; }
clicks_at() { for at; do lines 1 "$at,0" && lines 1 "$at,128" && lines 30 "$at,0"; done; }
# The left button's edges that wev saw ("left press 200 300"), at the layout's position of the last enter or motion.
edges() {
    awk -v from="$1" -v ox="$ox" -v oy="$oy" '/wl_pointer\] (enter|motion):/ { split($0, at, "x, y: "); split(at[2], xy, ", ") }
        /\] button: .*\(left\)/ && NR > from { printf "left %s %d %d;", $NF == "(pressed)" ? "press" : "release",
        xy[1] + ox, xy[2] + oy }' /tmp/clicks.log
}
left_seen() { edges "$seen_from"; } # in this case
seen() { left_seen | grep -qF -- "$1"; }
left_up() { edges 0 | grep -q 'release [0-9]* [0-9]*;$'; } # the last edge of all
printf '%s\r\n' '[STATUS]' SLEEP_TIME=0 WAIT_CLICK_TIME=0 VERTICAL_MARGIN=0 HORIZON_MARGIN=0 WAIT_FIRST_TIME=0 \
    >$tool/clickpath.ini # both programs' five numbers: margins 0, no waits
play() { as_user ~user/.local/bin/clickpath-cli play "$@"; }
lines 1 450,380,0 >$tool/drag.txt && lines 3000 450,380,128 >>$tool/drag.txt # 30 s held at (450, 380)
edges_of() { for edge; do printf 'left %s;' "$edge"; done; }

tagged() { udevadm info -q property "$1" | grep -q '^CURRENT_TAGS=.*:uaccess:'; }
user_acl() { getfacl -p "$1" | grep -q '^user:user:'; }
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

case_play_clicks() {
    clicks_at 420,360 880,680 890,690 >$tool/walk.txt
    said=$(play $tool/walk.txt --passes 2 2>&1); what="exit status 0" check [ $? -eq 0 ]
    what="the compositor took the pointer in time: $said" check [ "${said#*has not taken}" = "$said" ]
    pass=$(edges_of "press 420 360" "release 420 360" "press 880 680" "release 880 680" "press 890 690" \
        "release 890 690")
    twice() { [ "$(left_seen)" = "$pass$pass" ]; }
    wait_for 10 twice # wev may print a moment later
    what="the clicks landed where recorded, twice: $(left_seen)" check twice
}

# Each release is followed by a move in the next tick, and the drag moves in the tick after its press.
case_quick_clicks() {
    printf '%s\r\n' 400,400,0 400,400,128 400,400,0 800,600,0 800,600,128 800,600,0 500,500,0 500,500,128 \
        510,500,128 520,500,128 520,500,0 700,650,0 >$tool/quick.txt
    said=$(play $tool/quick.txt 2>&1); what="exit status 0" check [ $? -eq 0 ]
    expected=$(edges_of "press 400 400" "release 400 400" "press 800 600" "release 800 600" "press 500 500" \
        "release 520 500")
    wait_for 10 eval '[ "$(left_seen)" = "$expected" ]'
    what="each press and release where it was made: $(left_seen)" check [ "$(left_seen)" = "$expected" ]
}

# Stops the drag that $pid plays by the command $2; it ends by itself with exit status $1 and no button down.
drag_stopped_by() {
    what="the drag began" check wait_for 30 seen 'left press 450 380'
    $2 "$pid"
    ends_with "$1"
    what="no button is left down" check wait_for 5 left_up
}
right_click() { echo right >&3; }
pad_click() { echo pad >&3; }
case_right_button_stops() { started ~user/.local/bin/clickpath-cli play $tool/drag.txt --loop; drag_stopped_by 0 right_click; }
case_pad_stops() { started ~user/.local/bin/clickpath-cli play $tool/drag.txt --loop; drag_stopped_by 0 pad_click; }
case_signal_stops() { started ~user/.local/bin/clickpath-cli play $tool/drag.txt --loop; drag_stopped_by 143 "kill -TERM"; }

# The rule's grant taken from a node by hand (setfacl -b), then given back by udev as the rule gives it.
case_no_permission() {
    for device in "/dev/uinput:Cannot create a virtual pointer through /dev/uinput: Permission denied." \
        "$mouse:Cannot read the pointing device $mouse (guest hand mouse): Permission denied."; do
        node=${device%%:*}
        setfacl -b "$node"
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

# KWin's own word on where its cursor is, from a script of the case's.
kwin() { as_user gdbus call --session --dest org.kde.KWin "$@"; }
kwin_cursor() {
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

# The window starts as the compositor places it, takes the keyboard from wev, and is started from its keyboard: Shift+Tab
# goes to "SET", the last control, whether "Rec" has the focus yet or nothing has (Qt gives it once the window is
# active, which may come after the keys); Tab, Tab go round to "Rec" and "Auto", which Space clicks. It loops the drag,
# and stays after a stop, so the release is the player's: at an exit libinput lifts buttons.
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

run_cases() {
    desktop=${1/gnome/GNOME}
    echo "$cases" | while read -r name compositors what; do
        [[ ",$compositors," == *",$1,"* ]] || continue
        echo "== $name: $what" && failed=0 seen_from=$(wc -l </tmp/clicks.log)
        "case_$name" >"$results/$name.log" 2>&1 </dev/null || failed=1
        grep -v '^ok' "$results/$name.log"
        status=fail && [ $failed -eq 0 ] && grep -q '^ok: ' "$results/$name.log" && status=pass
        echo $status >"$results/$name.status"
    done
}
