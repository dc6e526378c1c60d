# The Wayland cases, run in the guest by scripts/guest-init (which gives as_user, wait_for, $tool, $share
# and $results) once the compositor runs. Each writes its checks to <name>.log, pass or fail to <name>.status.

# name              compositor  what it shows
cases="
play_clicks         sway  a play of a crafted file clicks at the recorded pixels, two passes
right_button_stops  sway  the hand's right button stops a --loop play with no button left down
pad_stops           sway  a click in a clickpad's right-button area stops a --loop play with no button left down
signal_stops        sway  SIGTERM ends a play in a drag with no button left down
record_refused      sway  record names sway, exits 1 and leaves the file alone
no_permission       sway  an unwritable /dev/uinput or an unreadable mouse gives its message and exit status 1
window_plays        sway  the window program plays; the right button stops it with no button down; SIGTERM ends it
record_positions    kwin  a recording holds KWin's cursor position and the hand's presses; the tool's script goes
"

check() { if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && failed=1 && return 1; fi; }
says() { echo "said: $1" && printf '%s' "$1" | grep -qF -- "$2"; }
ended() { ! [ -e "/proc/$1" ] || grep -q '^State:.*Z' "/proc/$1/status"; }
started() { "$@" & job=$! pid=$(wait_for 10 pgrep -P $! && pgrep -P $!); } # $pid: the program of job $job
ends_with() { # waits for $pid to end, and for its job to end with exit status $1
    what="it ended" check wait_for 60 ended "$pid" || kill -KILL "$pid"
    wait $job; what="exit status $1" check [ $? -eq "$1" ]
}
lines() { for _ in $(seq "$1"); do printf '%s\r\n' "$2"; done; }
clicks_at() { for at; do lines 1 "$at,0" && lines 1 "$at,128" && lines 30 "$at,0"; done; }
# The left button's edges that wev saw ("left press 200 300"), at the position of the last enter or motion.
edges() {
    awk -v from="$1" '/\] (enter|motion):/ { split($0, at, "x, y: "); split(at[2], xy, ", ") }
        /\] button: .*\(left\)/ && NR > from { printf "left %s %d %d;", $NF == "(pressed)" ? "press" : "release", xy[1], xy[2] }' /tmp/clicks.log
}
left_seen() { edges "$seen_from"; } # in this case
seen() { left_seen | grep -qF -- "$1"; }
left_up() { edges 0 | grep -q 'release [0-9]* [0-9]*;$'; } # the last edge of all
printf '%s\r\n' '[STATUS]' SLEEP_TIME=0 WAIT_CLICK_TIME=0 VERTICAL_MARGIN=0 HORIZON_MARGIN=0 WAIT_FIRST_TIME=0 \
    >$tool/clickpath.ini # both programs' five numbers: margins 0, no waits
play() { as_user $tool/clickpath-cli play "$@"; }
lines 1 640,512,0 >$tool/drag.txt && lines 3000 640,512,128 >>$tool/drag.txt # 30 s held at (640, 512)
mkfifo /tmp/hand && { python3 "$share/hand.py" </tmp/hand >/tmp/hand.node & } # the hand; "echo left >&3" clicks
exec 3>/tmp/hand
wait_for 60 test -s /tmp/hand.node && udevadm settle && hand=$(cat /tmp/hand.node)

case_play_clicks() {
    clicks_at 200,300 1000,900 1010,905 >$tool/walk.txt
    said=$(play $tool/walk.txt --passes 2 2>&1); what="exit status 0" check [ $? -eq 0 ]
    what="sway took the pointer in time: $said" check [ "${said#*has not taken}" = "$said" ]
    pass=$(for at in "200 300" "1000 900" "1010 905"; do printf 'left press %s;left release %s;' "$at" "$at"; done)
    twice() { [ "$(left_seen)" = "$pass$pass" ]; }
    wait_for 10 twice # show-clicks may print a moment later
    what="the clicks landed where recorded, twice: $(left_seen)" check twice
}

# Stops the drag that $pid plays by the command $2; it ends with exit status $1 and no button down.
drag_stopped_by() {
    what="the drag began" check wait_for 30 seen 'left press 640 512'
    $2 "$pid"
    ends_with "$1"
    what="no button is left down" check wait_for 5 left_up
}
right_click() { echo right >&3; }
pad_click() { echo pad >&3; }
case_right_button_stops() { started play $tool/drag.txt --loop; drag_stopped_by 0 right_click; }
case_pad_stops() { started play $tool/drag.txt --loop; drag_stopped_by 0 pad_click; }
case_signal_stops() { started play $tool/drag.txt --loop; drag_stopped_by 143 "kill -TERM"; }

case_record_refused() {
    printf '1,2,0\r\n' >$tool/kept.txt
    said=$(as_user $tool/clickpath-cli record $tool/kept.txt 2>&1); what="exit status 1" check [ $? -eq 1 ]
    what="the message names sway" check says "$said" 'sway tells no program where the pointer is'
    what="the file is untouched" check [ "$(cat $tool/kept.txt)" = "$(printf '1,2,0\r\n')" ]
}

case_no_permission() {
    for device in "/dev/uinput:Cannot create a virtual pointer through /dev/uinput: Permission denied." \
        "$hand:Cannot read the pointing device $hand (guest hand mouse): Permission denied."; do
        chmod 600 "${device%%:*}"
        said=$(play $tool/walk.txt 2>&1); what="without ${device%%:*}: exit status 1" check [ $? -eq 1 ]
        chmod 660 "${device%%:*}"
        what="without ${device%%:*}: the message says why" check says "$said" "${device#*:}"
    done
}

# The window floats at the layout's origin (guest-init's sway config), "Auto" at (56, 4) to (104, 26); it
# loops the drag. It stays after a stop, so the release is the player's: at an exit libinput lifts buttons.
shown() { as_user swaymsg -t get_tree | grep -q '"name": "clickpath"'; }
case_window_plays() {
    cp $tool/drag.txt $tool/clickpath.txt; started as_user $tool/clickpath
    what="the window is shown" check wait_for 60 shown
    clicks_at 80,15 >$tool/auto.txt && play $tool/auto.txt
    what="the drag began" check wait_for 30 seen 'left press 640 512'
    right_click
    what="the stopped play let go, its pointer still there" check wait_for 5 left_up
    kill -TERM "$pid" && ends_with 143
}

# KWin's own word on where its cursor is, from a script of the case's.
kwin_cursor() {
    echo 'print("cursor at", workspace.cursorPos.x, workspace.cursorPos.y);' >/tmp/where.js
    id=$(as_user qdbus org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript /tmp/where.js where)
    as_user qdbus org.kde.KWin "/$id" org.kde.kwin.Script.run >/dev/null
    wait_for 10 grep -q 'cursor at' /tmp/compositor.log
    sed -n 's/.*cursor at \([0-9]*\) \([0-9]*\).*/\1,\2/p' /tmp/compositor.log | tail -1
}
loaded() { as_user qdbus org.kde.KWin /Scripting org.kde.kwin.Scripting.isScriptLoaded "clickpath-cursor-$pid"; }
case_record_positions() {
    started as_user $tool/clickpath-cli record $tool/recorded.txt
    what="the recording began" check wait_for 60 test -s $tool/recorded.txt
    what="the tool's script is loaded" check [ "$(loaded)" = true ]
    for button in left left right; do sleep 0.5 && echo $button >&3; done # the right one stops
    ends_with 0
    where=$(kwin_cursor) recorded=$(tr -d '\r' <$tool/recorded.txt)
    echo "KWin's cursor: $where; recorded: $(echo "$recorded" | uniq -c | tr '\n' ' ')"
    what="every line holds KWin's position" check [ -z "$(echo "$recorded" | grep -v "^$where,")" ]
    what="the two presses are runs of 128" check [ "$(echo "$recorded" | uniq | grep -c ',128$')" -eq 2 ]
    what="the tool's script is unloaded" check [ "$(loaded)" = false ]
}

run_cases() {
    echo "$cases" | while read -r name compositor what; do
        [ "$compositor" = "$1" ] || continue
        echo "== $name: $what" && failed=0 seen_from=$(wc -l </tmp/clicks.log)
        "case_$name" >"$results/$name.log" 2>&1 </dev/null || failed=1
        grep -v '^ok' "$results/$name.log"
        status=fail && [ $failed -eq 0 ] && grep -q '^ok: ' "$results/$name.log" && status=pass
        echo $status >"$results/$name.status"
    done
}
