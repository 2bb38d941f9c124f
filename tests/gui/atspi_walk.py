"""Walks the program's window through AT-SPI as a screen reader does (atspi.sh starts it)."""
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

ROLES = {"label", "push button", "check box", "radio button", "list", "combo box", "image"}
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)
        print("FAIL:", what, flush=True)


def wait(pred, what, seconds=15):
    end = time.time() + seconds
    while time.time() < end:
        v = pred()
        if v:
            return v
        time.sleep(0.2)
    check(False, what)
    return None


def app():
    desk = Atspi.get_desktop(0)
    for i in range(desk.get_child_count()):
        a = desk.get_child_at_index(i)
        if a and a.get_name() and "veltrano" in a.get_name().lower():
            return a
    return None


def walk(o, out):
    try:
        n = o.get_child_count()
    except Exception:
        return
    role = o.get_role_name()
    if role in ROLES:
        out.append(o)
        return  # items of a list or combo box are its own
    for i in range(n):
        c = o.get_child_at_index(i)
        if c:
            walk(c, out)


def controls(a):
    out = []
    walk(a, out)
    return out


def by_name(cs, name):
    return next((c for c in cs if c.get_name() == name), None)


def states(o):
    return o.get_state_set()


def say(o):
    """What a reader speaks when focus lands on o: role, name, value, description."""
    value = ""
    if o.get_role_name() in ("combo box", "list"):
        picked = [o.get_child_at_index(i).get_name() for i in range(o.get_child_count())
                  if o.get_child_at_index(i).get_state_set().contains(Atspi.StateType.SELECTED)]
        value = ", ".join(picked[:3])
    return "%s | %s | %s | %s" % (o.get_role_name(), o.get_name(), value, o.get_description())


def act(o, name="click"):
    for i in range(o.get_n_actions()):
        if o.get_action_name(i) == name:
            return o.do_action(i)
    check(False, "no action %s on %s" % (name, o.get_name()))
    return False


def main():
    a = wait(app, "the program on the AT-SPI bus")
    if not a:
        return 1
    cs = wait(lambda: (lambda l: l if len(l) >= 78 else None)(controls(a)),
              "78 controls with a role", 20) or controls(a)
    print("controls with a role: %d" % len(cs))
    for c in cs:
        check(bool(c.get_name()), "a %s without a name" % c.get_role_name())
    combos = [c for c in cs if c.get_role_name() == "combo box" and c.get_name().startswith("Row ")]
    check(len(combos) == 48, "48 slot boxes, found %d" % len(combos))
    for r in range(1, 17):
        for col in ("controller", "parameter", "depth"):
            check(by_name(combos, "Row %d %s" % (r, col)) is not None, "Row %d %s" % (r, col))
    rows = [c for c in cs if c.get_role_name() == "label" and c.get_name().startswith("Row ")]
    check(len(rows) == 16, "16 row numbers, found %d" % len(rows))

    voices = by_name(cs, "Voices")
    check(voices is not None and voices.get_role_name() == "list", "the voice list")
    names = [voices.get_child_at_index(i).get_name() for i in range(voices.get_child_count())]
    check(len(names) > 0 and all(n.strip() for n in names), "voices named by their lines")
    check(all(voices.get_child_at_index(i).get_role_name() == "list item" for i in range(len(names))),
          "voices are list items")
    print("voices: %d, first %r" % (len(names), names[:2]))

    # "Write" through AT-SPI: checked, as a click checks it.
    write = by_name(cs, "Write")
    check(write is not None and write.get_role_name() == "check box", "Write is a check box")
    before = states(write).contains(Atspi.StateType.CHECKED)
    act(write)
    wait(lambda: states(write).contains(Atspi.StateType.CHECKED) != before, "Write toggled")
    act(write)
    wait(lambda: states(write).contains(Atspi.StateType.CHECKED) == before, "Write back")

    # "Multi Select List" then "All" selects every voice.
    multi = by_name(cs, "Multi Select List")
    act(multi)
    wait(lambda: states(voices).contains(Atspi.StateType.MULTISELECTABLE), "multiple selection")
    act(by_name(cs, "All"))
    wait(lambda: voices.get_n_selected_children() == len(names),
         "All selects every voice (%d)" % len(names))
    print("selected after All: %d of %d" % (voices.get_n_selected_children(), len(names)))
    act(multi)

    # A slot box's item chosen through AT-SPI changes the matrix (the box shows it).
    box = by_name(combos, "Row 1 controller")
    shown = [i for i in range(box.get_child_count()) if box.is_child_selected(i)]
    target = 5 if shown != [5] else 6
    box.select_child(target)
    wait(lambda: box.is_child_selected(target), "Row 1 controller shows the item chosen")
    print("Row 1 controller now shows %r" % box.get_child_at_index(target).get_name())

    # The armed search: through the menu, GTK's own.
    row3 = by_name(rows, "Row 3")
    header = by_name(cs, "Ctrl Source")
    check(row3.get_description() == "", "no description at rest: %r" % row3.get_description())
    item = find_menu_item(a, "Search Controller")
    check(item is not None, "the menu item Search Controller")
    if item:
        # As a reader's user does: open the menu, then choose the item.
        menu = item.get_parent()
        act(menu, menu.get_action_name(0))
        wait(lambda: states(item).contains(Atspi.StateType.SHOWING), "the menu opened")
        act(item, item.get_action_name(0))
        wait(lambda: "Search for" in row3.get_description(), "Row 3 described while armed")
        print("armed: Row 3 says %r; header says %r" % (row3.get_description(),
                                                         header.get_description()))

    # Focus: a slot box, after a Tab the next control.
    box.grab_focus()
    wait(lambda: states(box).contains(Atspi.StateType.FOCUSED), "Row 1 controller focused")
    print("READER: " + say(box))
    print("READER: " + say(row3))
    voices.grab_focus()
    wait(lambda: states(voices).contains(Atspi.StateType.FOCUSED), "voice list focused")
    print("READER: " + say(voices))
    box.grab_focus()
    wait(lambda: states(box).contains(Atspi.StateType.FOCUSED), "Row 1 controller focused")
    subprocess.run(["xdotool", "key", "Tab"], check=False)
    after = wait(lambda: next((c for c in controls(a) if c.get_name() != "Row 1 controller"
                               and states(c).contains(Atspi.StateType.FOCUSED)), None),
                 "a focused control after Tab")
    if after:
        print("after Tab: focused %s" % say(after))
    return 1 if failures else 0


def find_menu_item(o, name, depth=0):
    if depth > 8:
        return None
    try:
        if o.get_role_name() in ("menu item", "check menu item") and name in (o.get_name() or ""):
            return o
        for i in range(o.get_child_count()):
            f = find_menu_item(o.get_child_at_index(i), name, depth + 1)
            if f:
                return f
    except Exception:
        return None
    return None


if __name__ == "__main__":
    sys.exit(main())
