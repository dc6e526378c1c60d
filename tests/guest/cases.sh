# The Wayland cases, run in the virtual machine by scripts/guest-init (which
# gives as_user, wait_for, $tool and $results) with the compositor started.
# Each case writes its checks to <case>.log and pass or fail to <case>.status.

# name                compositor  what it shows
cases="
play_clicks           sway  play of a crafted file clicks at the recorded pixels, two passes
right_button_stops    sway  a mouse's right button stops a --loop play, with no button left down
record_refused        sway  record says why sway cannot record and leaves the file alone
no_permission         sway  an unwritable /dev/uinput gives its message and exit status 1
record_positions      kwin  a recording holds KWin's cursor position and the hand's presses; the script goes after
                            (not in the suite yet: the recording did not end in the guest)
"

check() { # a test command; $what says what it checks
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what" && failed=1; fi
}
says() { printf '%s' "$1" | grep -q -- "$2"; }
ended() { ! [ -e "/proc/$1" ] || grep -q '^State:.*Z' "/proc/$1/status"; }
hand() { python3 "$share/hand.py" "$@"; }
# The left button's edges that show-clicks saw after line $1 of its log.
left_edges_after() { tail -n +"$(($1 + 1))" /tmp/clicks.log | grep '^left ' | tr '\n' ';'; }
left_pressed_after() { left_edges_after "$1" | grep -q press; }
last_left_edge() { grep '^left ' /tmp/clicks.log | tail -1 | cut -d' ' -f2; }

repeat() { # count, line
    i=0
    while [ $i -lt "$1" ] && i=$((i + 1)); do printf '%s\r\n' "$2"; done
}
clicks_at() { # x,y...: a click at each, as a recording, and a rest after it
    for at in "$@"; do printf '%s,0\r\n' "$at" && repeat 1 "$at,128" && repeat 30 "$at,0"; done
}
long_drag() { # 30 s with the left button held at (640, 512)
    repeat 1 640,512,0 && repeat 3000 640,512,128
}
play() { # file, then more options
    file=$1
    shift
    as_user $tool/clickpath-cli play "$file" --sleep 0 --click-wait 0 --vertical-margin 0 \
        --horizontal-margin 0 --first-wait 0 "$@"
}

case_play_clicks() {
    clicks_at 200,300 1000,900 1010,905 >$tool/walk.txt
    play $tool/walk.txt --passes 2
    what="exit status 0" check [ $? -eq 0 ]
    sleep 1
    pass="left press 200 300;left release 200 300;left press 1000 900;left release 1000 900;"
    pass="${pass}left press 1010 905;left release 1010 905;"
    echo "seen: $(left_edges_after 0)"
    what="the clicks landed at the recorded pixels, twice" check [ "$(left_edges_after 0)" = "$pass$pass" ]
}

# A drag stopped by $1 (a function given the player's id), as the user would.
stopped_drag() {
    long_drag >$tool/drag.txt
    before=$(wc -l </tmp/clicks.log)
    play $tool/drag.txt --loop &
    player=$!
    what="the drag began" check wait_for 30 left_pressed_after "$before"
    "$1" $player
    what="the play ended" check wait_for 60 ended $player
    ended $player || kill -KILL $player
    wait $player
    status=$?
    sleep 1
    what="no button is left down" check [ "$(last_left_edge)" = release ]
    return $status
}
hand_at_start() { # the hand is there before the play starts, and clicks its right button 40 s later
    hand wait 40 right >/tmp/hand.node &
    wait_for 60 test -s /tmp/hand.node && udevadm settle
}
right_click() { wait_for 60 ended "$(pgrep -f hand.py)"; }

case_right_button_stops() {
    hand_at_start
    stopped_drag right_click
    what="exit status 0" check [ $? -eq 0 ]
}


case_record_refused() {
    printf '1,2,0\r\n' >$tool/kept.txt
    said=$(as_user $tool/clickpath-cli record $tool/kept.txt 2>&1)
    what="exit status 1" check [ $? -eq 1 ]
    echo "said: $said"
    what="the message names sway" check says "$said" 'sway tells no program where the pointer is'
    what="the file is untouched" check [ "$(cat $tool/kept.txt)" = "$(printf '1,2,0\r\n')" ]
}

# A play refused for want of access to $1 (made root's alone) says $2.
refused_without() {
    chmod 600 "$1"
    said=$(play $tool/walk.txt 2>&1)
    status=$?
    chmod 660 "$1"
    echo "said: $said"
    what="without $1: exit status 1" check [ $status -eq 1 ]
    what="without $1: the message says so" check says "$said" "$2"
}

case_no_permission() {
    clicks_at 200,300 >$tool/walk.txt
    refused_without /dev/uinput 'Cannot create a virtual pointer through /dev/uinput: Permission denied'
}



case_record_positions() {
    hand wait 20 left wait 0.5 left wait 1 right >/tmp/hand.node &
    wait_for 60 test -s /tmp/hand.node && udevadm settle
    as_user $tool/clickpath-cli record $tool/recorded.txt &
    recorder=$!
    wait $recorder
    what="the right button ended the recording with exit status 0" check [ $? -eq 0 ]
    # KWin's own word on where its cursor is, from a script of the test's.
    echo 'print("cursor at", workspace.cursorPos.x, workspace.cursorPos.y);' >/tmp/where.js
    id=$(as_user qdbus org.kde.KWin /Scripting org.kde.kwin.Scripting.loadScript /tmp/where.js where)
    as_user qdbus org.kde.KWin "/$id" org.kde.kwin.Script.run
    wait_for 10 grep -q 'cursor at' /tmp/compositor.log
    where=$(sed -n 's/.*cursor at \([0-9]*\) \([0-9]*\).*/\1,\2/p' /tmp/compositor.log | tail -1)
    lines=$(tr -d '\r' <$tool/recorded.txt)
    echo "KWin's cursor: $where; recorded: $(echo "$lines" | uniq -c | tr '\n' ' ')"
    what="a line a tick for a few seconds" check [ "$(echo "$lines" | wc -l)" -gt 100 ]
    what="every line holds KWin's position" check [ -z "$(echo "$lines" | grep -v "^$where,")" ]
    what="both presses are runs of 128" check [ "$(echo "$lines" | uniq | grep -c ',128$')" -eq 2 ]
    loaded=$(as_user qdbus org.kde.KWin /Scripting org.kde.kwin.Scripting.isScriptLoaded "clickpath-cursor-$recorder")
    what="the tool's script is unloaded" check [ "$loaded" = false ]
}

run_cases() {
    echo "$cases" | while read -r name compositor what; do
        [ "$compositor" = "$1" ] || continue
        echo "== $name: $what"
        failed=0
        "case_$name" >"$results/$name.log" 2>&1 </dev/null || failed=1
        grep -v '^ok' "$results/$name.log"
        [ $failed -eq 0 ] && echo pass >"$results/$name.status" || echo fail >"$results/$name.status"
    done
}
