# The Wayland cases, run in the guest by scripts/guest-init once the user's session runs its compositor; guest-init
# gives the words they use (check, play, started, ends_with, seen, left_up, edges_of, ...), the hand (fd 3; nodes
# $mouse, $pad, $keyboard, $pointer, $combo) and $tool, the installed program's folder.

# name              compositors      what it shows
cases="
granted             sway,gnome,kwin  the README's set-up grants the mouse, the pad, /dev/uinput, no keyboard; a mouse
                                     that is a keyboard too is left out of a play, and named once
play_clicks         sway,gnome,kwin  a play of a crafted file clicks at the recorded pixels, two passes
quick_clicks        sway,gnome,kwin  clicks followed at once by moves, a drag moving in the next tick: all where made
right_button_stops  sway,gnome,kwin  the hand's right button stops a --loop play with no button left down
pad_stops           sway,gnome,kwin  a two-finger click in a clickpad's right-button area stops a --loop play, no
                                     button left down
signal_stops        sway,gnome,kwin  SIGTERM ends a play in a drag, which exits by itself with no button left down
stop_command        sway,gnome,kwin  clickpath-cli stop ends a --loop drag: both exit 0, no button down; a second: 1
no_permission       sway,gnome,kwin  an unreadable mouse is left out and named once; no pointing device readable, or no
                                     /dev/uinput: the message and exit status 1
left_handed         sway,gnome,kwin  a desk made left-handed: a replayed click is a left one at its pixel; the physical
                                     right button does not stop a play, the left one does
record_refused      sway,gnome       record names the compositor (GNOME: its extension not yet enabled), exits 1 and
                                     leaves the file alone
record_positions    kwin             a recording holds KWin's cursor position and the hand's presses; the script goes
record_follows      gnome,kwin       a recording follows the pointer through four places in order, the click at the
                                     last; GNOME: the README's step enables the extension; KWin: the script is there
                                     only while a recording runs, and one killed leaves it to the next
window_plays        sway,gnome,kwin  the window plays from its keyboard; the right button stops it with no button down
storm               sway             a right click among thousands of moves while a play is stopped still stops it
session_switch      sway             another user's session in front ends a --loop play (exit 0, its release sent
                                     first) and refuses a new one (exit 1)
outputs             sway             clicks land at their logical pixels on two outputs, one at scale 2, after one was
                                     added and after it was rescaled while the play ran
"

printf '%s\r\n' '[STATUS]' SLEEP_TIME=0 WAIT_CLICK_TIME=0 VERTICAL_MARGIN=0 HORIZON_MARGIN=0 WAIT_FIRST_TIME=0 \
    >$tool/clickpath.ini # both programs' five numbers: margins 0, no waits
lines 1 450,380,0 >$tool/drag.txt && lines 6000 450,380,128 >>$tool/drag.txt # 60 s held at (450, 380)
# A loaded emulation may take its time to start a play; a press seen within the minute is the first pass's own.
drag_began() { what="the drag began" check wait_for 60 seen 'left press 450 380'; }
lines 1 10,10,0 >$tool/still.txt

case_granted() {
    for node in "$mouse" "$pad" /dev/uinput; do
        what="$node is tagged uaccess" check tagged "$node"
        what="the user has access to $node: $(getfacl -p "$node" | grep user:user:)" check user_acl "$node"
    done
    for node in "$keyboard" "$combo"; do
        what="the keyboard $node is not tagged" check not tagged "$node"
        what="the user has no access to the keyboard $node" check not user_acl "$node"
    done
    said=$(play $tool/still.txt 2>&1); what="a play beside it: exit status 0" check [ $? -eq 0 ]
    what="the mouse that is a keyboard is left out, named once" check left_out_once "$said" "$combo (guest hand combo)"
}

# Plays the file $1 (with the options in $2) and checks that wev saw the left button's edges that follow, where made.
plays_edges() {
    said=$(play $tool/$1 $2 2>&1); what="exit status 0" check [ $? -eq 0 ]
    what="the compositor took the pointer in time: $said" check not grep -qF "may not reach the desktop" <<<"$said"
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
    drag_began
    $2 "$pid"
    ends_with "$1"
    what="no button is left down" check wait_for 5 left_up
}
right_click() { echo right >&3; } && pad_click() { echo pad >&3; }
loop_drag() { started ~user/.local/bin/clickpath-cli play $tool/drag.txt --loop; }
case_right_button_stops() { loop_drag && drag_stopped_by 0 right_click; }
case_pad_stops() { loop_drag && drag_stopped_by 0 pad_click; }
case_signal_stops() { loop_drag && drag_stopped_by 143 "kill -TERM"; }
stop_command() { said=$(cli stop 2>&1); what="clickpath-cli stop: exit status 0 ($said)" check [ $? -eq 0 ]; }
case_stop_command() {
    loop_drag && drag_stopped_by 0 stop_command
    said=$(cli stop 2>&1); what="a second clickpath-cli stop, nothing to stop: exit status 1 ($said)" check [ $? -eq 1 ]
}

# The rule's grant taken from nodes by hand (setfacl -b), then given back by udev as the rule gives it.
without() { # a play without the grant of the nodes $2...: exit status $1; $said
    for node in "${@:2}"; do setfacl -b "$node"; done
    said=$(play $tool/still.txt 2>&1); what="without ${*:2}: exit status $1" check [ $? -eq "$1" ]
    udevadm trigger --action=change --settle "${@:2}"
    for node in "${@:2}"; do what="udev gives $node back to the user" check user_acl "$node"; done
}
case_no_permission() {
    without 0 "$mouse"; what="the mouse is left out, named once" check left_out_once "$said" "$mouse (guest hand mouse)"
    without 1 $(for node in /dev/input/event*; do user_acl "$node" && echo "$node"; done) # the PS/2 mouse's too
    what="the message says why" check says "$said" "Cannot read the pointing device"
    without 1 /dev/uinput
    what="the message says why" check says "$said" "Cannot create a virtual pointer through /dev/uinput: Permission"
}

# The desk made left-handed while a play runs (KWin sets each device present, the program's own pointer too).
case_left_handed() {
    loop_drag && drag_began
    "left_handed_$compositor" true; sleep 3 # the desktop tells the programs
    echo right >&3 && sleep 3 && what="the right button, now primary, does not stop it" check [ ! -s /tmp/ended ]
    echo left >&3 && ends_with 0
    what="no button is left down" check wait_for 5 left_up
    seen_from=$(wc -l </tmp/clicks.log) && clicks_at 500,420 >$tool/click.txt && lines 300 500,420,0 >>$tool/click.txt
    started ~user/.local/bin/clickpath-cli play $tool/click.txt
    expected=$(edges_of "press 500 420" "release 500 420")
    wait_for 60 eval '[ "$(left_seen)" = "$expected" ]'
    what="the replayed click is a left one at its pixel: $(left_seen)" check [ "$(left_seen)" = "$expected" ]
    "left_handed_$compositor" false; ends_with 0
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
case_record_positions() {
    started ~user/.local/bin/clickpath-cli record $tool/recorded.txt
    what="the recording began" check wait_for 60 test -s $tool/recorded.txt
    what="the tool's script is loaded" check script_loaded true
    for button in left left right; do sleep 0.5 && echo $button >&3; done # the right one stops
    ends_with 0
    where=$(kwin_cursor) recorded=$(tr -d '\r' <$tool/recorded.txt)
    echo "KWin's cursor: $where; recorded: $(echo "$recorded" | uniq -c | tr '\n' ' ')"
    what="every line holds KWin's position" check [ -z "$(echo "$recorded" | grep -v "^$where,")" ]
    what="the two presses are runs of 128" check [ "$(echo "$recorded" | uniq | grep -c ',128$')" -eq 2 ]
    what="the tool's script is unloaded" check script_loaded false
}

record_follows_kwin() { # no script while the window idles; one left by a recording killed with SIGKILL
    started ~user/.local/bin/clickpath
    what="the window runs" check wait_for 60 keyboard_left_wev && sleep 2
    what="no script while the window idles" check script_loaded false
    kill -TERM "$pid" && ends_with 143
    started ~user/.local/bin/clickpath-cli record $tool/killed.txt
    what="a recording began" check wait_for 60 test -s $tool/killed.txt
    kill -KILL "$pid" && wait $job; what="a recording killed leaves the script" check script_loaded true
}
record_follows_gnome() {
    set_up_block 2 >/tmp/enable.sh && cat /tmp/enable.sh
    as_user bash -e /tmp/enable.sh; what="the README's step enables the extension" check [ $? -eq 0 ]
}
recorded_at() { in_order "$(tail -n 1 $tool/followed.txt | cut -d, -f1,2)" "$1"; } # the last line, within a pixel
case_record_follows() {
    "record_follows_$compositor"
    started ~user/.local/bin/clickpath-cli record $tool/followed.txt
    what="the recording began" check wait_for 60 test -s $tool/followed.txt
    [ $compositor = kwin ] && what="the script is loaded" check script_loaded true
    # The last place is in wev, which keeps the keyboard after the click. A compositor that falls behind (GNOME under
    # a loaded emulation) takes two moves in one frame and shows only the second: each move waits to be recorded.
    for at in 300,200 900,250 1000,800 700,460; do echo "to ${at/,/ }" >&3 && wait_for 10 recorded_at "$at"; done
    echo left >&3 && sleep 0.5 && echo right >&3 && ends_with 0
    places=$(tr -d '\r' <$tool/followed.txt | cut -d, -f1,2 | uniq | tr '\n' ' ')
    what="the recording holds the four places in order: $places" \
        check in_order "$places" "300,200 900,250 1000,800 700,460"
    clicked=$(tr -d '\r' <$tool/followed.txt | grep ',128$' | cut -d, -f1,2 | uniq | tr '\n' ' ')
    buttons=$(tr -d '\r' <$tool/followed.txt | cut -d, -f3 | uniq -c | tr -s '\n ' ' ')
    what="the click is a run of 128: $buttons" \
        check [ "$(tr -d '\r' <$tool/followed.txt | cut -d, -f3 | uniq | grep -cx 128)" -eq 1 ]
    what="all at the last place: $clicked" check eval '[ $(echo $clicked | wc -w) -eq 1 ] && in_order "$clicked" 700,460'
    [ $compositor = kwin ] && what="the script is unloaded" check script_loaded false
    what="the Shell logged no error of the extension" check not grep -i 'clickpath.*error' /run/compositor.log
}

# The window, placed by the compositor, takes the keyboard from wev: Shift+Tab goes to "SET", the last control, whether
# Qt has yet given "Rec" the focus or not, and Tab, Tab, Space click "Auto". It loops the drag, and stays after a
# stop, so the release is the player's: at an exit libinput lifts buttons.
case_window_plays() {
    cp $tool/drag.txt $tool/clickpath.txt && started ~user/.local/bin/clickpath
    what="the window took the keyboard" check wait_for 60 keyboard_left_wev
    echo "key leftshift+tab tab tab space" >&3
    drag_began
    right_click
    what="the stopped play let go, its pointer still there" check wait_for 5 left_up
    what="the window still runs" check [ ! -s /tmp/ended ]
    kill -TERM "$pid" && ends_with 143
}

case_storm() {
    loop_drag && drag_began
    kill -STOP "$pid" && echo "storm 4000" >&3 && wait_for 60 grep -q '^did storm' /tmp/hand.nodes
    kill -CONT "$pid" && ends_with 0
}

# An output of sway's headless backend, added beside the first while a play runs, at scale 2 (640 by 512 logical
# pixels at x 1280), then rescaled; a second wev fills it. The first clicks after each change, on each output.
first_click() { log=$1 ox=$2 oy=0 edges "$3" | grep -o 'left press[^;]*;left release[^;]*' | head -1; }
after_change() {
    sleep 3 && local one two && one=$(wc -l </tmp/clicks.log) two=$(wc -l </tmp/clicks2.log)
    wait_for 30 eval '[ -n "$(first_click /tmp/clicks.log 0 $one)" ]' && wait_for 30 eval \
        '[ -n "$(first_click /tmp/clicks2.log 1280 $two)" ]'
    what="$1: on the first output $(first_click /tmp/clicks.log 0 "$one")" \
        check [ "$(first_click /tmp/clicks.log 0 "$one")" = "left press 300 200;left release 300 200" ]
    what="$1: on the second $(first_click /tmp/clicks2.log 1280 "$two")" \
        check [ "$(first_click /tmp/clicks2.log 1280 "$two")" = "left press 1500 300;left release 1500 300" ]
}
case_outputs() {
    clicks_at 300,200 1500,300 >$tool/two.txt && started ~user/.local/bin/clickpath-cli play $tool/two.txt --loop
    what="the play began" check wait_for 30 seen 'left press 300 200'
    # Both placed: sway moves an output left unplaced to the right of the others when one is placed.
    as_user swaymsg output Virtual-1 position 0 0 >/dev/null && as_user swaymsg create_output >/dev/null
    as_user swaymsg output HEADLESS-1 mode 1280x1024 position 1280 0 scale 2 >/dev/null
    # A second wev, on the new output whichever has the focus (the play's clicks move it between the two).
    as_user swaymsg 'for_window [title="^wev$"] move container to output HEADLESS-1' >/dev/null
    as_user stdbuf -oL wev >/tmp/clicks2.log 2>&1 &
    wait_for 120 grep -q 'xdg_toplevel\] configure' /tmp/clicks2.log
    as_user swaymsg -t get_outputs -p | grep -E '^Output|Position|Scale|Current mode'
    after_change "added"
    as_user swaymsg output HEADLESS-1 scale 1 && after_change "rescaled to 1"
    echo right >&3 && ends_with 0
}

case_session_switch() {
    python3 "$share/guest-hand" watch "clickpath virtual pointer" >/tmp/watched &
    loop_drag && wait_for 30 grep -q watching /tmp/watched
    drag_began
    systemctl start clickpath-other.service && wait_for 30 session_of other && loginctl activate "$(session_of other)"
    ends_with 0 && what="it says why" check grep -q 'This session is no longer the active one' /tmp/said
    what="it let go before it ended: $(tr '\n' ';' </tmp/watched)" check [ "$(tail -1 /tmp/watched)" = "left 0" ]
    said=$(play $tool/still.txt 2>&1); what="a play while the other is in front: exit status 1" check [ $? -eq 1 ]
    what="it says why" check says "$said" "This session is not the active one"
    loginctl activate "$(session_of user)" && systemctl stop clickpath-other.service
    what="the user's session is in front again" check wait_for 30 active "$(session_of user)"
}
