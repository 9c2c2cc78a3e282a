"""The program as a screen reader meets it over AT-SPI, in the harness's atspi session: each
window's tree and Tab stops against its tables in expected/ (NAME.txt, NAME-tab.txt), its
controls worked through actions and values, and the events heard meanwhile. With
CHROMALYNX_ATSPI_DUMP=1 the tables are written from what is found, to be read before a commit."""

import difflib
import os
import time

import pyatspi
from gi.repository import GLib

from harness import Failure, expect, log, wait

EXPECTED = os.path.join(os.path.dirname(os.path.abspath(__file__)), "expected")
STATES = ("focusable", "focused", "checked", "selectable", "selected", "showing", "sensitive")
HEARD = []


def live(probe):
    """probe, once the bus's pending events are delivered; a vanished object reads None."""
    def pumped():
        while GLib.MainContext.default().iteration(False):
            pass
        try:
            return probe()
        except GLib.Error:
            return None
    return pumped


def children(obj):
    return [c for c in (obj.getChildAtIndex(i) for i in range(obj.childCount)) if c is not None]


def walk(obj):
    """The objects below obj, the menus and the lists' entries aside."""
    for child in children(obj):
        yield child
        if child.getRole() not in (pyatspi.ROLE_MENU_BAR, pyatspi.ROLE_LIST):
            yield from walk(child)


def find(top, role, name):
    return next((o for o in walk(top) if o.getRole() == role and o.name == name), None)


def has(obj, state):
    return obj.getState().contains(getattr(pyatspi, f"STATE_{state.upper()}"))


def focus(top):
    return next((f"{o.getRoleName()} '{o.name}'" for o in walk(top) if has(o, "focused")),
                "nothing")


def text(obj):
    found = obj.queryText()
    return found.getText(0, found.characterCount)


def actions(obj):
    try:
        action = obj.queryAction()
    except NotImplementedError:
        return []
    return [action.getName(i) for i in range(action.nActions)]


def act(obj, name):
    if name not in (names := actions(obj)):
        raise Failure(f"{obj.name} offers {names}, not {name}")
    obj.queryAction().doAction(names.index(name))


def describe(obj):
    parts = [obj.getRoleName()] + [f"'{obj.name}'"] * bool(obj.name)
    try:
        parts.append(f"value '{round(obj.queryValue().currentValue)}'")
    except NotImplementedError:
        if obj.getRole() in (pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY):
            parts.append(f"value '{text(obj)}'")
    parts += [f"described '{obj.description}'"] * bool(obj.description)
    if flags := [state for state in STATES if has(obj, state)]:
        parts.append(f"[{' '.join(flags)}]")
    if labels := [f"'{r.getTarget(i).name}'" for r in obj.getRelationSet()
                  if r.getRelationType() == pyatspi.RELATION_LABELLED_BY
                  for i in range(r.getNTargets())]:
        parts.append("labelled by " + ", ".join(labels))
    parts += ["actions " + ",".join(actions(obj))] * bool(actions(obj))
    return " ".join(parts)


def tree(obj, depth=1):
    """A line an object; a list's entries are summed up by their first two and the last."""
    lines, count = [], obj.childCount
    for i in range(count):
        child, indent = obj.getChildAtIndex(i), "  " * depth
        if child is None:
            lines.append(f"{indent}missing child")
        elif child.getRole() == pyatspi.ROLE_LIST_ITEM and 2 <= i < count - 1:
            lines += [f"{indent}... {count} entries"] * (i == 2)
        else:
            lines += [indent + describe(child), *tree(child, depth + 1)]
    return lines


def matches(name, found):
    path = f"{EXPECTED}/{name}.txt"
    if os.environ.get("CHROMALYNX_ATSPI_DUMP") == "1":
        with open(path, "w", encoding="utf-8") as out:
            out.write("".join(f"{line}\n" for line in found))
    with open(path, encoding="utf-8") as table:
        expected = table.read().splitlines()
    if found != expected:
        raise Failure(f"{name}.txt differs:\n" + "\n".join(difflib.unified_diff(
            expected, found, "expected", "found", lineterm="")))
    log(f"as in {name}.txt: {len(found)} lines")


def walked(s, top, name, tab):
    """The window's tree, and with tab its Tab stops, against its tables."""
    matches(name, [describe(top)] + tree(top))
    stops, start = [], focus(top)
    while tab and (not stops or stops[-1] != start) and len(stops) < 60:
        s.keys("Tab")
        last = stops[-1] if stops else start
        stops.append(wait("the focus to move on", live(lambda: (f := focus(top)) != last and f)))
    if tab:
        matches(f"{name}-tab", stops)


def run(s, pid):
    def window(title):
        app = next((a for a in pyatspi.Registry.getDesktop(0)
                    if a is not None and a.get_process_id() == pid), None)
        return next((w for w in children(app) if w.name == title), None) if app else None

    def opens(keys, title, name, focused=None, close=None):
        """With the focus given, Tab is walked through the window too; close closes it."""
        s.keys(*keys.split())
        found = wait(f'"{title}"', live(lambda: window(title)))
        if focused:
            expect(f"the focus in {title}", live(lambda: focus(found)), focused)
        walked(s, found, name, focused is not None)
        if close:
            s.keys(close)
            wait(f'"{title}" to close', live(lambda: window(title) is None))
        return found

    def heard(what, expected):
        expect(f"what a screen reader heard at {what}", live(lambda: sorted(HEARD)),
               sorted(expected))

    main = wait("the main window on the accessibility bus", live(lambda: window("Chromalynx")),
                30)
    # Only now: the program sends only the events that someone listens to, and learns of
    # listeners that register once it is on the bus a moment later.
    pyatspi.Registry.registerEventListener(
        lambda e: HEARD.append(f"{e.source.name if e.source else '?'} {e.type}"),
        "object:property-change:accessible-description", "object:state-changed:selected")
    expect("the focus", live(lambda: focus(main)), "push button 'Copy'")
    walked(s, main, "main", True)

    def preview_heard():
        if any(line.startswith("表示色 ") for line in HEARD):
            return True
        HEARD.clear()
        for name in ("VB", "HTML"):
            act(find(main, pyatspi.ROLE_RADIO_BUTTON, name), "Toggle")
        return False
    wait("the program to send what is listened for", live(preview_heard), 20)
    time.sleep(0.3)
    live(lambda: None)()
    HEARD.clear()
    # What follows shows in the tree of main-list.txt.
    find(main, pyatspi.ROLE_SCROLL_BAR, "R").queryValue().currentValue = 128
    heard("the slider's move", ["表示色 object:property-change:accessible-description"])
    HEARD.clear()
    act(find(main, pyatspi.ROLE_COLOR_CHOOSER, "お気に入り3"), "追加")
    heard("the marker's move", [f"お気に入り{n} object:{e}" for n, e in (
        (1, "state-changed:selected"), (1, "property-change:accessible-description"),
        (3, "state-changed:selected"), *[(3, "property-change:accessible-description")] * 2)])

    s.keys("ctrl+d")
    wait("the list column to show",
         live(lambda: has(find(main, pyatspi.ROLE_LIST, "色名リスト (RGB順)"), "showing")))
    walked(s, main, "main-list", True)

    opens("ctrl+c", "確認", "clear", close="Escape")
    opens("ctrl+h", "readme", "readme", close="Return")
    opens("alt+h Up Return", "バージョン情報", "about", "push button 'OK'", "Escape")

    # The details window at steelblue: every value read as text.
    for slider, value in (("R", 70), ("G", 130), ("B", 180)):
        find(main, pyatspi.ROLE_SCROLL_BAR, slider).queryValue().currentValue = value
    expect("the code field at steelblue", live(lambda: text(find(main, pyatspi.ROLE_TEXT, "RGB"))),
           "#4682B4")
    opens("ctrl+i", "色の詳細", "details", "text '色の入力'")
