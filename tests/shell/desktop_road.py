#!/usr/bin/python3
"""Finds the running designer over AT-SPI: its window under the opened
form's title, its toolbar and palette buttons under their tooltip texts and
the edit palette's controls under theirs. Presses the field tool and checks
that it reports itself pressed and the range selection released; draws a
field on the canvas with the mouse (xdotool), copies and pastes it through
the X clipboard, undoes and redoes the paste with the keys, watching the Cut
and Paste buttons follow, opens the drawn field's sheet with a double click,
types a new start row over the accessibility bus, presses OK there and saves
with Ctrl+S.
Exits 1 with a reason on the first failure. With DESKTOP_ROAD_SHOT set, the
screen after the drawing is saved there, and the open sheet beside it
(name-sheet.png)."""
import os
import subprocess
import sys
import time

import pyatspi

BUTTONS = ["新規", "開く", "保存", "切り取り", "複写", "貼り付け", "削除", "表示", "印刷", "バージョン情報",
           "帳票情報", "範囲選択", "フィールド", "直線", "四角形", "ビットマップ"]
PALETTE = ["開始行", "開始列", "終了行", "終了列", "フォント指定", "文字色", "線色", "中塗り色",
           "編集倍率", "倍率モード", "線種を指定", "線幅を指定", "部品の選択"]


def fail(reason):
    print("desktop_road.py:", reason)
    sys.exit(1)


def wait_for(find, what, seconds=20):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            found = find()
        except Exception:  # the tree changes while it is walked
            found = None
        if found:
            return found
        time.sleep(0.2)
    fail(f"{what} not found")


def designer():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "tabrik":
            return app
    return None


def frame(app):
    for window in app:
        if window.name.startswith("Tabrik [") and window.name != "Tabrik [新規帳票]":
            return window
    return None


def button(app, name):
    return pyatspi.findDescendant(
        app, lambda a: a.name == name and a.getRole() in (pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX))


def named(app, name):
    return pyatspi.findDescendant(app, lambda a: a.name == name)


def has_state(accessible, state):
    # The client library caches states and updates them only from events this
    # script does not listen to: ask the program afresh.
    accessible.clearCache()
    return accessible.getState().contains(state)


def checked(accessible):
    return has_state(accessible, pyatspi.STATE_CHECKED)


def enabled(accessible):
    return has_state(accessible, pyatspi.STATE_SENSITIVE)


def designer_sheet_closed(app):
    return all(window.name != "フィールドの詳細" for window in app)


def shot(path):
    if path:
        from PIL import ImageGrab
        ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).save(path)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


app = wait_for(designer, "the tabrik application")
window = wait_for(lambda: frame(app), "the window titled with the opened form")
print("window:", window.name)
buttons = {name: wait_for(lambda name=name: button(app, name), f"button {name}") for name in BUTTONS}
# The kind list is named 部品の選択 while the range selection is the tool.
for name in PALETTE:
    wait_for(lambda name=name: named(app, name), f"edit palette control {name}", 5)
print("all", len(PALETTE), "edit palette controls found")
if not checked(buttons["範囲選択"]) or checked(buttons["フィールド"]):
    fail("the range selection is not the tool at start")
action = buttons["フィールド"].queryAction()
action.doAction(0)
wait_for(lambda: checked(buttons["フィールド"]), "the field tool pressed", 5)
wait_for(lambda: not checked(buttons["範囲選択"]), "the range selection released", 5)
print("all", len(buttons), "buttons found; the field tool reports itself pressed")

canvas = wait_for(lambda: named(app, "帳票キャンバス"), "the canvas")
x, y, w, h = canvas.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
if enabled(buttons["切り取り"]):
    fail("Cut is offered with nothing selected")
# A field across the middle of the page, drawn as a hand does: press, move, let go.
left, top = x + w // 2 - 120, y + min(h - 40, 420)
xdotool("mousemove", "--sync", left, top)
xdotool("mousedown", 1)
for step in range(1, 7):
    xdotool("mousemove", "--sync", left + step * 40, top + 4)
    time.sleep(0.05)
xdotool("mouseup", 1)
wait_for(lambda: enabled(buttons["切り取り"]), "Cut offered for the drawn field", 5)
wait_for(lambda: checked(buttons["範囲選択"]), "the range selection back after drawing", 5)
shot(os.environ.get("DESKTOP_ROAD_SHOT"))
# Copied and pasted through the X clipboard, the paste undone and redone.
xdotool("key", "--clearmodifiers", "ctrl+c")
wait_for(lambda: enabled(buttons["貼り付け"]), "Paste offered after a copy", 5)
xdotool("key", "--clearmodifiers", "ctrl+v")
time.sleep(0.3)
xdotool("key", "--clearmodifiers", "ctrl+z")
wait_for(lambda: not enabled(buttons["切り取り"]), "the paste undone", 5)
xdotool("key", "--clearmodifiers", "ctrl+y")

# A double click on the drawn field opens its sheet; the start row is typed
# through the accessibility bus and OK pressed there.
xdotool("mousemove", "--sync", left + 120, top + 2)
xdotool("click", "--repeat", "2", "--delay", "80", 1)
sheet = wait_for(lambda: pyatspi.findDescendant(
    pyatspi.Registry.getDesktop(0), lambda a: a.name == "フィールドの詳細" and a.getRole() in (
        pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW)), "the field sheet", 10)
row = wait_for(lambda: pyatspi.findDescendant(sheet, lambda a: a.name == "開始行"), "the start row edit", 5)
shot(os.environ.get("DESKTOP_ROAD_SHOT", "").replace(".png", "-sheet.png"))
row.queryEditableText().setTextContents("30")
ok = wait_for(lambda: pyatspi.findDescendant(
    sheet, lambda a: a.name == "OK" and a.getRole() == pyatspi.ROLE_PUSH_BUTTON), "the OK button", 5)
ok.queryAction().doAction(0)
wait_for(lambda: designer_sheet_closed(app), "the sheet closed", 10)
xdotool("key", "--clearmodifiers", "ctrl+s")
time.sleep(0.5)
print("a field drawn with the mouse, copied, pasted, undone, redone, moved in its sheet and saved")
