"""The user's hand in the guest: a relative mouse with a left and a right
button, made with uinput as if plugged in; it prints its node, takes the
steps on its command line (wait SECONDS, left, right) and goes."""
import sys
import time

from evdev import UInput, ecodes as e

with UInput({e.EV_KEY: [e.BTN_LEFT, e.BTN_RIGHT], e.EV_REL: [e.REL_X, e.REL_Y]}, name="guest hand mouse") as hand:
    print(hand.device.path, flush=True)
    steps = sys.argv[1:]
    while steps:
        step = steps.pop(0)
        if step == "wait":
            time.sleep(float(steps.pop(0)))
        for value in (1, 0) if step in ("left", "right") else ():
            hand.write(e.EV_KEY, e.BTN_LEFT if step == "left" else e.BTN_RIGHT, value)
            hand.syn()
            time.sleep(0.05)
    time.sleep(0.5)
