"""The scenarios a user goes through, each written once for every session it runs in. At
start the focus is on Copy; Shift+Tab from there enters the code field and Tab from the
code field returns to Copy. Positions are in pixels of the client area below the menu bar."""

import os
import subprocess
import sys
import urllib.parse

from harness import WHITE, Failure, Image, expect, log, stored, wait

SCENARIOS = {}
ABOUT, QUESTION, PICKER = "バージョン情報", "確認", "画面から色を取得"


def scenario(function):
    SCENARIOS[function.__name__] = function
    return function


def answer(app, keys, title, reply, look=None):
    """Keys that open the window titled so, a look at it, and the keys that close it."""
    app.steps(keys)
    window = app.dialog(title)
    if look:
        look(window)
    app.steps(reply)
    app.closed(title)
    return window


def kept_above(s, window, above=True):
    expect(f"window {window} kept above others", lambda: s.above(window), above)


# Input from Copy and back, and what the clipboard then holds. Each code entered differs
# from the colour before it, since entering the current colour leaves the typed text as is.
ENTRIES = [
    ("Tab*2 '1a2x8' shift+Tab*2 copy", "#80FFFF", "1a2x8 typed into the selected R field"),
    ("Tab*3 '300' End BackSpace shift+Tab*3 copy", "#8019FF",
     "300 typed into the G field (clamped to 255), then its last digit taken away"),
    ("shift+Tab '00ff00' Return Tab copy", "#00FF00", "00ff00 entered"),
    # Tab reaches the red slider past always-on-top, greyed where windows cannot be kept
    # above. There Left, Up and Page Up lower the value.
    ("Tab*slider Home Page_Down*2 Page_Up Down*2 Up Right*2 Left shift+Tab*slider copy",
     "#12FF00", "Home, Page Down twice, Page Up, Down twice, Up, Right twice, Left on red"),
    ("Tab*6 Right shift+Tab*6 copy", "&H0000FF12", "the VB notation"),
    ("shift+Tab 'abcdef' Return Tab Tab*6 Left shift+Tab*6 copy", "#ABCDEF",
     "abcdef entered, back in the HTML notation"),
    # Junk pasted from another program.
    ("paste:7z9 Tab*2 Home shift+End shift+Insert shift+Tab*2 copy", "#07CDEF",
     "7z9 pasted into the R field"),
]


@scenario
def codes(s, app):
    app.start()
    for keys, expected, why in ENTRIES:
        app.steps(keys.replace("slider", "9" if s.stacking else "8"))
        app.clipboard(expected, why)
    app.quit()


@scenario
def restart(s, app):
    """The list column hidden again leaves the window 324 wide, not the 322 it started with."""
    app.start()
    app.size((322, 207))
    s.screenshot(f"{s.name}-start.png")
    for size in ((537, 207), (324, 207)):
        app.keys("ctrl+d")
        app.size(size)
    app.steps("shift+Tab 'FF0000' Return Tab shift+F4 ctrl+d" + " ctrl+t" * s.stacking)
    app.size((537, 207))  # not quit halfway through the resize
    values = {"favorite/4": 255, "favorite/1": WHITE, "condition/colornamelist": 1,
              "condition/formtop": int(s.stacking)}
    app.quit()
    app.expect_settings(values)
    app.start()
    app.size((537, 207))
    app.copied("#FFFFFF", "a restart")
    app.keys("F4")
    app.copied("#FF0000", "F4 after a restart")
    if s.stacking:
        kept_above(s, app.window)
    app.quit()
    app.expect_settings(values)


@scenario
def shortcuts(s, app):
    env, opened = s.xdg_open()
    # From a folder whose name holds a space, which the readme's address must escape.
    program = os.path.realpath(app.copy("its build", readme=True))
    app.start(program, env=env)
    app.keys("ctrl+h")
    readme = os.path.join(os.path.dirname(program), "readme.txt")
    expect("what xdg-open was given", lambda: [urllib.parse.unquote(u) for u in opened()],
           [f"file://{readme}"])
    app.no_dialog("readme", 1)
    app.steps("shift+Tab 'FF0000' Return Tab shift+F4 shift+Tab '00FF00' Return Tab")
    for reply, code in (("Escape", "#FF0000"), ("Return", "#FFFFFF")):
        answer(app, "ctrl+c", QUESTION, reply)
        app.keys("F4")
        app.copied(code, f"{reply} to the question before clearing, then F4")
    app.quit()
    app.expect_settings(stored())


@scenario
def greyed(s, app):
    """Without always-on-top and a screenshot portal both options are greyed, and the
    stored always-on-top value is kept."""
    for value in (1, 0):
        app.write_settings(f"[condition]\nformtop={value}\n")
        app.start()
        answer(app, "ctrl+t alt+h Up Return", ABOUT, "Return")
        app.keys("ctrl+p")
        app.no_dialog(PICKER)
        app.keys("alt+d")
        s.screenshot(f"{s.name}-greyed-{value}.png")
        app.keys("Escape")
        app.quit()
        app.expect_settings({"condition/formtop": value})


def picked(app, keys, code):
    answer(app, "ctrl+p", PICKER, keys)
    app.copied(code, f"a pick ended with {keys}")


@scenario
def pick(s, app):
    """At (x, y) in the screen's top-left 16 x 16 pixels red 16x, green 16y, blue 128. The
    crosshair starts at the pointer, in that corner; an arrow key moves it one screen pixel,
    also at a fractional display scale (1.5 on X11) and at output scale 2 (on Wayland)."""
    if s.name == "wayland":
        s.portal()
    picture = f"{s.dir}/corner.png"
    subprocess.run(["convert", "-size", "1280x1024", "xc:#123456", "(", "-size", "16x16",
                    "xc:black", "-channel", "R", "-fx", "i*16/255", "-channel", "G", "-fx",
                    "j*16/255", "-channel", "B", "-fx", "128/255", "+channel", ")", "-geometry",
                    "+0+0", "-composite", f"PNG24:{picture}"], check=True)
    s.show_picture(picture)
    expect("the screen's pixel (3, 2)", lambda: s.shoot().pixel(3, 2), "302080")
    app.start(env={"QT_SCALE_FACTOR": "1.5"} if s.name == "x11" else None)
    picked(app, "Escape", "#FFFFFF")
    picked(app, "Right*3 Down*2 Return", "#302080")
    if s.name == "wayland":
        # At output scale 2 the picture's pixels are still the output's own.
        s.swaymsg("output", "HEADLESS-1", "scale", "2")
        expect("the scaled output's pixel (5, 1)",
               lambda: Image(s.capture("ppm", False)).pixel(5, 1), "501080")
        picked(app, "Right*5 Down Return", "#501080")
    else:
        s.pointer(0, 0)
        answer(app, "ctrl+p", PICKER, "", lambda w: s.click(10, 10))
        app.copied("#A0A080", "a pick ended with a click at (10, 10)")
    app.quit()


COPY, PREVIEW, THIRD = (176, 8), (104, 48), (79, 135)  # middles: Copy, preview, favourite 3


def client(s, app, colour, scale=1):
    """Where the client area lies on the screen: the preview's inside, 95 x 23 at client
    (57, 37), is the only area of the colour it shows."""
    def found():
        x, y, w, h = s.geometry(app.window)
        bx, by, bw, bh = s.shoot().box(colour, x, y, w, h)
        return (bx == round(57 * scale) and bw >= 90 * scale and bh >= 20 * scale and
                (x, y + by - round(37 * scale)))
    return wait(f"the preview to show #{colour}", found)


def at(origin, point):
    return origin[0] + point[0], origin[1] + point[1]


@scenario
def pointer(s, app):
    app.start()
    app.enter_code("121900")
    o = client(s, app, "121900")
    # After the B field's "0", "１２" makes 12.
    s.offer("１２", "primary")
    s.click(*at(o, (296, 108)), button=2)
    s.click(*at(o, COPY))
    app.clipboard("#12190C", "１２ pasted with the middle button after the B field's 0")
    app.enter_code("123456")
    s.drag(*at(o, PREVIEW), *at(o, THIRD))
    s.pointer(0, 0)
    x, y = at(o, (68, 124))  # favourite 3's top-left inside corner

    def corner():
        shot = s.shoot()
        return shot.pixel(x, y), shot.pixel(x + 1, y + 1)
    expect("favourite 3's marker, light over dark", corner, ("FCFEFC", "040204"), 5)
    app.quit()
    app.expect_settings({"favorite/3": 5649426, "favorite/1": WHITE})


def fixed_buttons(s, window, minimise):
    """Neither maximising nor resizing allowed by the window manager, and a minimise button
    asked for exactly where wanted (openbox keeps one on dialogs all the same)."""
    def found():
        allowed = s.x("xprop", "-id", window, "_NET_WM_ALLOWED_ACTIONS")
        motif = s.x("xprop", "-id", window, "_MOTIF_WM_HINTS").split(" = ")[-1].split(", ")
        return ([a for a in ("MAXIMIZE_HORZ", "MAXIMIZE_VERT", "RESIZE")
                 if f"_NET_WM_ACTION_{a}" in allowed], int(motif[1], 0) & 9 == 8)
    expect(f"window {window}'s allowed actions, minimising", found, ([], minimise))


def centre(s, window):
    x, y, w, h = s.outer(window)
    return x + w // 2, y + h // 2


def near(a, b, slack):
    return all(abs(p - q) <= slack for p, q in zip(a, b))


@scenario
def window(s, app):
    """The window manager may not maximise the window; the About box opens
    centred on it wherever it was moved; the details window opens beside it and follows it
    into and out of the always-on-top band."""
    app.start()
    s.pointer(0, 0)
    wait("the frame centred on the screen", lambda: near(centre(s, app.window), (640, 512), 1), 5)
    fixed_buttons(s, app.window, True)
    x, y = s.outer(app.window)[:2]
    app.size((322, 207))
    s.x("xdotool", "windowmove", app.window, "140", "90")
    wait("the window to move", lambda: s.outer(app.window)[:2] != (x, y))

    def about(box):
        wait("the About box centred on the main window",
             lambda: near(centre(s, box), centre(s, app.window), 2), 5)
        fixed_buttons(s, box, False)
        s.screenshot("x11-window-about.png")
    answer(app, "alt+h Up Return", ABOUT, "Return", about)
    answer(app, "ctrl+c", QUESTION, "Escape", lambda box: fixed_buttons(s, box, False))
    app.keys("ctrl+i")
    details = app.dialog("色の詳細")
    (mx, my, mw, mh), (dx, dy, dw, dh) = s.outer(app.window), s.outer(details)
    if dx < mx + mw and mx < dx + dw and dy < my + mh and my < dy + dh:
        raise Failure(f"the details window {s.outer(details)} covers the main window")
    wait("the main window to get the keyboard", lambda: s.focused(app.window))
    for above in (True, False):
        app.keys("ctrl+t")
        kept_above(s, app.window, above)
        kept_above(s, details, above)
    app.quit()


@scenario
def scaling(s, app):
    """At display scales 1, 1.5 and 2 (openbox's title bar does not follow Qt's scale, so the
    client area below a fixed outer height changes) the favourite numbers show whole and
    nothing below them comes into view."""
    for name, scale in (("1", 1), ("1.5", 1.5), ("2", 2)):
        app.start(env={"QT_SCALE_FACTOR": str(scale)})
        s.pointer(0, 0)
        x, y, w, h = s.geometry(app.window)
        app.enter_code("123456")
        cx, cy = client(s, app, "123456", scale)
        shot, device = s.shoot(), lambda v: int(v * scale + 0.5)
        # The digits 1 to 9 stand at client (27 + 24 i, 148), 9 wide, 12 high.
        whole = [i + 1 for i in range(9) if cy + device(160) <= y + h and len(shot.colours(
            cx + device(27 + 24 * i), cy + device(148), device(9), device(12))) > 1]
        below = shot.colours(x, cy + device(161), w, max(0, y + h - cy - device(161)))
        if whole != list(range(1, 10)) or len(below) > 1:
            raise Failure(f"at scale {name} only the digits {whole} show whole, and "
                          f"{len(below)} colours show below them")
        log(f"scale {name}: the numbers whole, nothing below them")
        s.screenshot(f"scale-{name}.png")
        app.quit()


@scenario
def screen_reader(s, app):
    """Help shows the note that the readme is missing."""
    app.start(app.copy("bare"))
    os.environ.update(s.env)  # the buses pyatspi joins
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "atspi"))
    import check  # pylint: disable=import-outside-toplevel
    check.run(s, app.process.pid)
    app.quit(None)
