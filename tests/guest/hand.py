# The user's hands in the guest, made with uinput as if plugged in: a relative mouse with a left and a right
# button, and a clickpad of 100 by 80 mm. It prints the mouse's node, then for each line of its input clicks
# the mouse's button named there ("left", "right") or the pad in its right-button area ("pad").
import sys, time

from evdev import AbsInfo, UInput, ecodes as e

axes = {e.ABS_X: 1000, e.ABS_Y: 800, e.ABS_MT_POSITION_X: 1000, e.ABS_MT_POSITION_Y: 800, e.ABS_MT_SLOT: 1,
        e.ABS_MT_TRACKING_ID: 65535}
pad_caps = {e.EV_KEY: [e.BTN_LEFT, e.BTN_TOUCH, e.BTN_TOOL_FINGER, e.BTN_TOOL_DOUBLETAP],
            e.EV_ABS: [(axis, AbsInfo(0, 0, top, 0, 0, 10)) for axis, top in axes.items()]}
# A finger down at the bottom right, a click there, the finger up.
down = [(e.EV_ABS, axis, at) for axis, at in ((e.ABS_MT_TRACKING_ID, 1), (e.ABS_MT_POSITION_X, 900),
        (e.ABS_MT_POSITION_Y, 780), (e.ABS_X, 900), (e.ABS_Y, 780))] + [(e.EV_KEY, e.BTN_TOUCH, 1),
        (e.EV_KEY, e.BTN_TOOL_FINGER, 1)]
up = [(e.EV_ABS, e.ABS_MT_TRACKING_ID, -1), (e.EV_KEY, e.BTN_TOUCH, 0), (e.EV_KEY, e.BTN_TOOL_FINGER, 0)]
pad_click = [down, [(e.EV_KEY, e.BTN_LEFT, 1)], [(e.EV_KEY, e.BTN_LEFT, 0)], up]

with UInput({e.EV_KEY: [e.BTN_LEFT, e.BTN_RIGHT], e.EV_REL: [e.REL_X, e.REL_Y]}, name="guest hand mouse") as hand, \
        UInput(pad_caps, name="guest hand pad", input_props=[e.INPUT_PROP_POINTER, e.INPUT_PROP_BUTTONPAD]) as pad:
    print(hand.device.path, flush=True)
    for line in sys.stdin:
        button = {"left": e.BTN_LEFT, "right": e.BTN_RIGHT}.get(line.strip())
        for frame in pad_click if not button else [[(e.EV_KEY, button, 1)], [(e.EV_KEY, button, 0)]]:
            for event in frame:
                (pad if not button else hand).write(*event)
            (pad if not button else hand).syn()
            time.sleep(0.05)
