#!/usr/bin/python3
"""Finds the running designer over AT-SPI: its window under the opened
form's title and its toolbar and palette buttons under their tooltip texts.
Presses the field tool and checks that it reports itself pressed and the
range selection released. Exits 1 with a reason on the first failure."""
import sys
import time

import pyatspi

BUTTONS = ["新規", "開く", "保存", "表示", "印刷", "バージョン情報",
           "帳票情報", "範囲選択", "フィールド", "直線", "四角形", "ビットマップ"]


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


def checked(accessible):
    # The client library caches states and updates them only from events this
    # script does not listen to: ask the program afresh.
    accessible.clearCache()
    return accessible.getState().contains(pyatspi.STATE_CHECKED)


app = wait_for(designer, "the tabrik application")
window = wait_for(lambda: frame(app), "the window titled with the opened form")
print("window:", window.name)
buttons = {name: wait_for(lambda name=name: button(app, name), f"button {name}") for name in BUTTONS}
if not checked(buttons["範囲選択"]) or checked(buttons["フィールド"]):
    fail("the range selection is not the tool at start")
action = buttons["フィールド"].queryAction()
action.doAction(0)
wait_for(lambda: checked(buttons["フィールド"]), "the field tool pressed", 5)
wait_for(lambda: not checked(buttons["範囲選択"]), "the range selection released", 5)
print("all", len(buttons), "buttons found; the field tool reports itself pressed")
