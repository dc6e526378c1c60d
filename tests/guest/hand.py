# The user's hand in the guest: a relative mouse with a left and a right button, made with uinput as if
# plugged in. It prints its node, clicks the button named on each line of its input and goes at its end.
import sys, time

from evdev import UInput, ecodes as e

with UInput({e.EV_KEY: [e.BTN_LEFT, e.BTN_RIGHT], e.EV_REL: [e.REL_X, e.REL_Y]}, name="guest hand mouse") as hand:
    print(hand.device.path, flush=True)
    for line in sys.stdin:
        for value in 1, 0:
            hand.write(e.EV_KEY, e.BTN_LEFT if line.strip() == "left" else e.BTN_RIGHT, value)
            hand.syn()
            time.sleep(0.05)
