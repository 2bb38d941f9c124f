#!/usr/bin/env python3
"""Checks a layout dump of the desktop program against the window's 96-dot layout.

    check_layout.py DUMP SCALE [TOLERANCE]

DUMP holds "window W H", "client W H" and one line per control:
"control ARRAY INDEX x y w h X Y W H VISIBLE tip=TEXT", its 96-dot rectangle and its native
rectangle in device pixels in the client area. The native rectangle must be the 96-dot one
times SCALE (each edge within TOLERANCE pixels, 1 by default); every visible control must lie
inside the client area and overlap no other; the outer window must follow the size rule in
twips (6800 wide, at least 8250 high) and the voice list the window's height.
"""
import sys


def main():
    dump, scale = sys.argv[1], float(sys.argv[2])
    tol = float(sys.argv[3]) if len(sys.argv) > 3 else 1.0
    window = client = None
    controls = []
    with open(dump, encoding="latin-1") as f:
        for line in f:
            words = line.split()
            if not words:
                continue
            if words[0] == "window":
                window = (int(words[1]), int(words[2]))
            elif words[0] == "client":
                client = (int(words[1]), int(words[2]))
            elif words[0] == "control":
                name = words[1] + " " + words[2]
                nums = [int(w) for w in words[3:12]]
                controls.append((name, nums[0:4], nums[4:8], nums[8] == 1))
    errors = []
    if window is None or client is None or not controls:
        errors.append("the dump has no window, client area or controls")
    else:
        # 6800 and 8250 twips; a window pixel is 15 twips at 96 dots per inch.
        width, height = 6800 / 15 * scale, 8250 / 15 * scale
        if abs(window[0] - width) > 2 + tol * scale:
            errors.append(f"window width {window[0]}, expected {width:.1f} (6800 twips)")
        if window[1] < height - 2 - tol * scale:
            errors.append(f"window height {window[1]}, expected at least {height:.1f} (8250 twips)")
    for name, lay, nat, _ in controls:
        want = [lay[0] * scale, lay[1] * scale, (lay[0] + lay[2]) * scale,
                (lay[1] + lay[3]) * scale]
        got = [nat[0], nat[1], nat[0] + nat[2], nat[1] + nat[3]]
        if any(abs(g - w) > tol + 0.5 for g, w in zip(got, want)):
            errors.append(f"{name}: native {nat}, expected {lay} times {scale}")
        if name == "lsb 100" and window:
            # The voice list ends 154 window pixels above the window's outer bottom edge.
            rule = window[1] / scale - 154
            if abs(lay[3] - rule) > 1:
                errors.append(f"voice list height {lay[3]}, expected {rule:.1f}")
    shown = [(n, nat) for n, _, nat, visible in controls if visible]
    for name, (x, y, w, h) in shown:
        if client and (x < 0 or y < 0 or x + w > client[0] or y + h > client[1]):
            errors.append(f"{name} at {x},{y} {w}x{h} is outside the client area {client}")
    for i, (a, ra) in enumerate(shown):
        for b, rb in shown[i + 1:]:
            dx = min(ra[0] + ra[2], rb[0] + rb[2]) - max(ra[0], rb[0])
            dy = min(ra[1] + ra[3], rb[1] + rb[3]) - max(ra[1], rb[1])
            if dx > 0 and dy > 0:
                errors.append(f"{a} {ra} overlaps {b} {rb}")
    for e in errors:
        print(f"check_layout: {dump}: {e}", file=sys.stderr)
    if not errors:
        print(f"check_layout: {dump}: {len(controls)} controls at scale {scale}, window "
              f"{window[0]}x{window[1]}: OK")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
