#!/usr/bin/env python3
"""Walks and works the program through AT-SPI, as a screen reader does."""

import argparse
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

ARGS = None


def log(text):
    print(f"[{time.strftime('%H:%M:%S')}] {text}", flush=True)


def pump():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def wait(what, probe, seconds=10):
    deadline = time.monotonic() + seconds * ARGS.time_scale
    while True:
        pump()
        try:
            found = probe()
        except GLib.Error:
            found = None
        if found:
            return found
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out waiting for {what}")
        time.sleep(0.1)


def keys(*names):
    subprocess.run(["xdotool", "key", "--delay", "40", *names], check=True)


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        if app is not None and app.get_process_id() == ARGS.pid:
            return app
    return None


def window(title, roles):
    app = application()
    if app is None:
        return None
    for child in app:
        if child is not None and child.getRole() in roles and child.name == title:
            return child
    return None


STATES = [
    (pyatspi.STATE_FOCUSABLE, "focusable"),
    (pyatspi.STATE_FOCUSED, "focused"),
    (pyatspi.STATE_CHECKED, "checked"),
    (pyatspi.STATE_SELECTABLE, "selectable"),
    (pyatspi.STATE_SELECTED, "selected"),
    (pyatspi.STATE_SHOWING, "showing"),
    (pyatspi.STATE_SENSITIVE, "sensitive"),
]


def value_of(obj):
    try:
        return str(round(obj.queryValue().currentValue))
    except NotImplementedError:
        pass
    if obj.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
        text = obj.queryText()
        return text.getText(0, text.characterCount)
    return None


def describe(obj):
    parts = [obj.getRoleName()]
    if obj.name:
        parts.append(f"'{obj.name}'")
    value = value_of(obj)
    if value is not None:
        parts.append(f"value '{value}'")
    if obj.description:
        parts.append(f"described '{obj.description}'")
    states = obj.getState()
    flags = [word for state, word in STATES if states.contains(state)]
    if flags:
        parts.append("[" + " ".join(flags) + "]")
    labels = [
        target.name
        for relation in obj.getRelationSet()
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
        for target in (relation.getTarget(i) for i in range(relation.getNTargets()))
    ]
    if labels:
        parts.append("labelled by " + ", ".join(f"'{name}'" for name in labels))
    try:
        action = obj.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if names:
            parts.append("actions " + ",".join(names))
    except NotImplementedError:
        pass
    return " ".join(parts)


def tree(obj, depth=0, lines=None):
    """Every object below obj, one line each, indented by depth; a list's entries are
    summed up by their first two and the last."""
    lines = [] if lines is None else lines
    count = obj.childCount
    for i in range(count):
        child = obj.getChildAtIndex(i)
        if child is None:
            lines.append("  " * depth + "missing child")
            continue
        if child.getRole() == pyatspi.ROLE_LIST_ITEM and 2 <= i < count - 1:
            if i == 2:
                lines.append("  " * depth + f"... {count} entries")
            continue
        lines.append("  " * depth + describe(child))
        tree(child, depth + 1, lines)
    return lines


# --- What is focused, and what a screen reader hears ---------------------------------

HEARD = []


def hear(event):
    source = event.source
    try:
        name = source.name if source is not None else "?"
    except GLib.Error:
        name = "?"
    HEARD.append(f"{name} {event.type}")


def focused(obj):
    """The focused object below obj, menus and list entries aside."""
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is None or child.getRole() in (pyatspi.ROLE_MENU_BAR, pyatspi.ROLE_LIST_ITEM):
            continue
        if child.getState().contains(pyatspi.STATE_FOCUSED):
            return child
        inner = focused(child)
        if inner is not None:
            return inner
    return None


def focus_text(top):
    obj = focused(top)
    return f"{obj.getRoleName()} '{obj.name}'" if obj is not None else "nothing"


def focusables(obj):
    """The objects below obj that take the focus, in the order of the tree."""
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is None:
            continue
        if child.getState().contains(pyatspi.STATE_FOCUSABLE):
            yield child
        yield from focusables(child)


def tab_cycle(top, start, limit=30):
    """The Tab stops from the focused object round to it again."""
    stops = []
    previous = start
    for _ in range(limit):
        keys("Tab")
        now = wait("the focus to move on", lambda: (lambda t: t if t != previous else None)(focus_text(top)))
        stops.append(now)
        if now == start:
            break
        previous = now
    return stops


# --- Checks ------------------------------------------------------------------------------

FAILURES = []


def check(what, found, expected):
    if found == expected:
        log(f"ok: {what}")
        return
    FAILURES.append(what)
    log(f"FAIL: {what}\n  found:    {found!r}\n  expected: {expected!r}")


def check_tree(what, top, expected_file):
    lines = [describe(top)] + tree(top, 1)
    path = f"{ARGS.expected}/{expected_file}"
    if ARGS.dump:
        with open(path, "w", encoding="utf-8") as out:
            out.write("\n".join(lines) + "\n")
    with open(path, encoding="utf-8") as table:
        expected = table.read().splitlines()
    if lines == expected:
        log(f"ok: {what}, {len(lines)} objects")
        return
    FAILURES.append(what)
    log(f"FAIL: {what} differs from {expected_file}:")
    import difflib
    for line in difflib.unified_diff(expected, lines, "expected", "found", lineterm=""):
        print("  " + line)


def named(top, role, name):
    """The first object below top of that role and name."""
    for i in range(top.childCount):
        child = top.getChildAtIndex(i)
        if child is None:
            continue
        if child.getRole() == role and child.name == name:
            return child
        if child.getRole() != pyatspi.ROLE_LIST:
            inner = named(child, role, name)
            if inner is not None:
                return inner
    return None


def do_action(obj, name):
    action = obj.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    if name not in names:
        raise AssertionError(f"{obj.name} offers {names}, not {name}")
    action.doAction(names.index(name))


def code_field(top):
    field = named(top, pyatspi.ROLE_TEXT, "RGB")
    text = field.queryText()
    return text.getText(0, text.characterCount)


def wait_for(what, probe, expected):
    """Waits until probe() gives expected, then checks it (so a failure says what was seen)."""
    try:
        wait(what, lambda: probe() == expected)
    except AssertionError:
        pass
    check(what, probe(), expected)


def opened():
    try:
        with open(ARGS.opened, encoding="utf-8") as found:
            return found.read().splitlines()
    except FileNotFoundError:
        return []


WINDOW_ROLES = (pyatspi.ROLE_FRAME, pyatspi.ROLE_DIALOG, pyatspi.ROLE_WINDOW)
HIDDEN = ["push button 'Palette'", "text 'R'", "text 'G'", "text 'B'", "push button 'Clear'",
          "radio button 'HTML'", "check box '常に手前に表示'", "check box '色名リスト表示'",
          "scroll bar 'R'", "scroll bar 'G'", "scroll bar 'B'", "text 'RGB'", "push button 'Copy'"]
SHOWN = HIDDEN[:8] + ["list '色名リスト (RGB順)'"] + HIDDEN[8:11] + ["radio button 'RGB順'"] + HIDDEN[11:]


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--pid", type=int, required=True)
    parser.add_argument("--opened", required=True)
    parser.add_argument("--expected", required=True)
    parser.add_argument("--time-scale", type=float, default=1.0)
    parser.add_argument("--dump", action="store_true", help="rewrite the expected trees")
    ARGS = parser.parse_args()

    main_window = wait("the main window on the accessibility bus",
                       lambda: window("Chromalynx", (pyatspi.ROLE_FRAME,)), 30)
    # Only now: the program learns of listeners that register once it is on the bus, and
    # sends only the events that someone listens to. The checks below give it time to.
    pyatspi.Registry.registerEventListener(hear, "object:property-change:accessible-description",
                                           "object:state-changed:selected")
    wait("the focus on Copy", lambda: focus_text(main_window) == "push button 'Copy'")
    check_tree("the main window as it opens", main_window, "main.txt")
    check("Tab with the list column hidden", tab_cycle(main_window, "push button 'Copy'"), HIDDEN)

    # The program takes a moment to learn of the listener: switch the notation to VB and back
    # until the preview's new reading is heard.
    vb = named(main_window, pyatspi.ROLE_RADIO_BUTTON, "VB")
    html = named(main_window, pyatspi.ROLE_RADIO_BUTTON, "HTML")

    def heard_preview():
        HEARD.clear()
        do_action(vb, "Toggle")
        do_action(html, "Toggle")
        for _ in range(5):
            pump()
            time.sleep(0.05)
        return any(line.startswith("表示色 ") for line in HEARD)

    wait("the program to send what is listened for", heard_preview, 20)

    # A slider moved through its value: the code field and the preview follow, and the
    # preview's new reading is announced.
    HEARD.clear()
    named(main_window, pyatspi.ROLE_SCROLL_BAR, "R").queryValue().currentValue = 128
    preview = named(main_window, pyatspi.ROLE_COLOR_CHOOSER, "表示色")
    wait_for("the preview after the red slider moved to 128", lambda: preview.description, "#80FFFF")
    wait_for("the code field after the red slider moved to 128", lambda: code_field(main_window),
             "#80FFFF")
    wait_for("what a screen reader heard", lambda: HEARD,
             ["表示色 object:property-change:accessible-description"])

    # The favourites' actions and a list entry's.
    favourite3 = named(main_window, pyatspi.ROLE_COLOR_CHOOSER, "お気に入り3")
    favourite1 = named(main_window, pyatspi.ROLE_COLOR_CHOOSER, "お気に入り1")
    HEARD.clear()
    do_action(favourite3, "追加")
    wait_for("favourite 3 after its action 追加", lambda: favourite3.description, "#80FFFF、選択中")
    check("favourite 1 after favourite 3 took the marker", favourite1.description, "#FFFFFF white")
    wait_for("what a screen reader heard", lambda: sorted(HEARD),
             sorted(["お気に入り1 object:state-changed:selected",
                     "お気に入り1 object:property-change:accessible-description",
                     "お気に入り3 object:state-changed:selected",
                     "お気に入り3 object:property-change:accessible-description",
                     "お気に入り3 object:property-change:accessible-description"]))
    entries = named(main_window, pyatspi.ROLE_LIST, "色名リスト (RGB順)")
    steelblue = [entries.getChildAtIndex(i) for i in range(entries.childCount)
                 if entries.getChildAtIndex(i).name == "#4682B4 steelblue"][0]
    do_action(steelblue, "Press")
    wait_for("the code field after the entry's action", lambda: code_field(main_window), "#4682B4")
    check("the preview after the entry's action", preview.description, "#4682B4 steelblue")
    check("the entry after its action", steelblue.getState().contains(pyatspi.STATE_SELECTED), True)
    # The other order: its list takes the place of the first in the tree, and its entries too
    # can be taken.
    do_action(named(main_window, pyatspi.ROLE_RADIO_BUTTON, "アルファベット順"), "Toggle")
    by_name = wait("the list in name order", lambda: named(main_window, pyatspi.ROLE_LIST, "色名リスト (アルファベット順)"))
    check("the list in code order after the other order was chosen",
          named(main_window, pyatspi.ROLE_LIST, "色名リスト (RGB順)"), None)
    tan = [by_name.getChildAtIndex(i) for i in range(by_name.childCount)
           if by_name.getChildAtIndex(i).name == "tan #D2B48C"][0]
    do_action(tan, "Press")
    wait_for("the code field after the entry's action", lambda: code_field(main_window), "#D2B48C")
    do_action(named(main_window, pyatspi.ROLE_RADIO_BUTTON, "RGB順"), "Toggle")
    wait("the list in code order", lambda: named(main_window, pyatspi.ROLE_LIST, "色名リスト (RGB順)"))
    do_action(favourite3, "表示")
    wait_for("the code field after favourite 3's action 表示", lambda: code_field(main_window),
             "#80FFFF")

    # The list column shown: Tab reaches the list and the order buttons.
    keys("ctrl+d")
    wait("the list column to show", lambda: entries.getState().contains(pyatspi.STATE_SHOWING))
    check_tree("the main window with the list column", main_window, "main-list.txt")
    check("Tab with the list column shown", tab_cycle(main_window, "push button 'Copy'"), SHOWN)

    # The two message boxes and the About box.
    app = application()
    keys("ctrl+c")
    confirm = wait("the question before clearing", lambda: window("確認", (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)))
    check_tree("the question before clearing", confirm, "clear.txt")
    keys("Escape")
    wait("the question to close", lambda: window("確認", (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)) is None)
    keys("ctrl+h")
    note = wait("the note about the readme", lambda: window("readme", (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)))
    check_tree("the note about the readme", note, "readme.txt")
    keys("Return")
    wait("the note to close", lambda: window("readme", (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG)) is None)
    keys("alt+h", "Up", "Return")
    about = wait("the About box", lambda: window("バージョン情報", (pyatspi.ROLE_DIALOG,)))
    wait("the focus on OK", lambda: focus_text(about) == "push button 'OK'")
    check_tree("the About box", about, "about.txt")
    links = [obj for obj in (about.getChildAtIndex(i) for i in range(about.childCount))
             if obj.getRole() == pyatspi.ROLE_LINK]
    check("Tab in the About box", tab_cycle(about, "push button 'OK'"),
          [f"link '{links[0].name}'", f"link '{links[1].name}'", "push button 'OK'"])
    keys("Tab")
    wait("the focus on the first link", lambda: focus_text(about) == f"link '{links[0].name}'")
    # The focused link shows a focus frame; a screenshot for a person to look at.
    subprocess.run(["import", "-window", "root", "atspi-about-link-focused.png"], check=False)
    keys("Return")
    wait_for("what Enter on the first link opened", opened, [links[0].name])
    do_action(links[1], "Press")
    wait_for("what the second link's action opened", opened, [links[0].name, "mailto:" + links[1].name])
    keys("Escape")
    wait("the About box to close", lambda: window("バージョン情報", (pyatspi.ROLE_DIALOG,)) is None)
    del app

    # The colour-details window at steelblue: a window with its title, every value read as
    # text, and every value a Tab stop that Tab selects whole.
    for slider, value in (("R", 70), ("G", 130), ("B", 180)):
        named(main_window, pyatspi.ROLE_SCROLL_BAR, slider).queryValue().currentValue = value
    wait_for("the code field at steelblue", lambda: code_field(main_window), "#4682B4")
    keys("ctrl+i")
    details = wait("the details window", lambda: window("色の詳細", WINDOW_ROLES))
    wait("the focus on the entry", lambda: focus_text(details) == "text '色の入力'")
    check_tree("the details window at steelblue", details, "details.txt")
    stops = [f"{obj.getRoleName()} '{obj.name}'" for obj in focusables(details)]
    check("Tab in the details window", tab_cycle(details, stops[0], len(stops) + 2),
          stops[1:] + stops[:1])
    keys("Tab")
    wait("the focus on the HTML value", lambda: focus_text(details) == "text 'HTML'")
    check("the HTML value as Tab selects it", focused(details).queryText().getSelection(0), (0, 7))

    if FAILURES:
        log(f"{len(FAILURES)} checks failed: " + "; ".join(FAILURES))
        return 1
    log("all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
