#!/usr/bin/python3
"""Finds the running designer over AT-SPI: its window under the opened
form's title, its toolbar and palette buttons under their tooltip texts and
the edit palette's controls under theirs. Presses the field tool and checks
that it reports itself pressed and the range selection released; draws a
field on the canvas with the mouse (xdotool), copies and pastes it through
the X clipboard, undoes and redoes the paste with the keys, watching the Cut
and Paste buttons follow, opens the drawn field's sheet with a double click,
types a new start row over the accessibility bus, presses OK there and saves
with Ctrl+S. Picks the バーコード tool by name, draws a QR code with the mouse,
finds its modules on the screen and its statement in the saved form
(DESKTOP_ROAD_FORM), and deletes it again. Then picks every zoom from the zoom list and 縦線 from the line-course
list by name over the accessibility bus, clicks the table's frame-only
rectangle on its drawn edge and three pixels either side, and reads the
printer's name in the design sheet's dialog (DESKTOP_ROAD_QUEUE).
Exits 1 with a reason on the first failure. With DESKTOP_ROAD_SHOT set, the
screen after the drawing is saved there, and the open sheet beside it
(name-sheet.png)."""
import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "support"))
from atspi_road import fail, wait_for  # noqa: E402

BUTTONS = ["新規", "開く", "保存", "切り取り", "複写", "貼り付け", "削除", "表示", "印刷", "バージョン情報",
           "帳票情報", "範囲選択", "フィールド", "直線", "四角形", "ビットマップ", "バーコード"]
PALETTE = ["開始行", "開始列", "終了行", "終了列", "フォント指定", "文字色", "線色", "中塗り色",
           "編集倍率", "倍率モード", "線種を指定", "線幅を指定", "部品の選択"]


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

# The barcode tool picked by its name draws a QR code under the field: its
# box shows dark modules on the screen, the saved form holds its statement,
# and Delete takes it away again so that the steps below meet the form as it was.
buttons["バーコード"].queryAction().doAction(0)
wait_for(lambda: checked(buttons["バーコード"]), "the barcode tool pressed", 5)
bx0, by0 = left, top + 40
xdotool("mousemove", "--sync", bx0, by0)
xdotool("mousedown", 1)
for step in range(1, 5):
    xdotool("mousemove", "--sync", bx0 + step * 30, by0 + step * 30)
    time.sleep(0.05)
xdotool("mouseup", 1)
wait_for(lambda: enabled(buttons["切り取り"]), "the drawn barcode selected", 5)
time.sleep(0.3)
from PIL import ImageGrab  # noqa: E402
grab = ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB")
inside = [grab.getpixel((px, py)) for py in range(by0 + 10, by0 + 110) for px in range(bx0 + 10, bx0 + 110)]
dark_share = sum(1 for p in inside if sum(p) < 240) / len(inside)
if not 0.2 < dark_share < 0.8:
    fail(f"the barcode's box is {dark_share:.0%} dark: no symbol drawn")
shot(os.environ.get("DESKTOP_ROAD_SHOT", "").replace(".png", "-barcode.png"))
xdotool("key", "--clearmodifiers", "ctrl+s")
form = os.environ.get("DESKTOP_ROAD_FORM")
if form:
    wait_for(lambda: any(line.startswith(b"BARCODE") and b"TYPE=QR" in line
                         for line in open(form, "rb").read().splitlines()), "the barcode saved in the form", 5)


# Three steps to the right with the arrow key, where only what moved is drawn
# again: the same modules show further right on the screen, and the form
# saves the column three cells on.
def barcode_column():
    for line in open(form, "rb").read().splitlines():
        if line.startswith(b"BARCODE"):
            return int(line.split(b"LOCATE=(")[1].split(b",")[0])
    return None


column = barcode_column() if form else None
box = [(px, py) for py in range(by0 + 10, by0 + 110, 2) for px in range(bx0 + 10, bx0 + 110, 2)]
for _ in range(3):
    xdotool("key", "--clearmodifiers", "Right")
    time.sleep(0.15)
time.sleep(0.3)
moved = ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB")
shot(os.environ.get("DESKTOP_ROAD_SHOT", "").replace(".png", "-barcode-moved.png"))
before = [sum(grab.getpixel(p)) < 240 for p in box]
# Modules are snapped to whole pixels where the box lands, so a few may
# differ by a pixel; where the symbol was, the screen must now differ.
best_shift, best_match, unmoved = 0, 0.0, 0.0
for shift in range(0, 80):
    after = [sum(moved.getpixel((px + shift, py))) < 240 for px, py in box]
    match = sum(a == b for a, b in zip(before, after)) / len(box)
    if shift == 0:
        unmoved = match
    if match > best_match:
        best_shift, best_match = shift, match
if best_shift < 6 or best_match < 0.93 or unmoved > best_match - 0.1:
    fail(f"the symbol after three arrow steps: best match {best_match:.1%} at {best_shift} pixels right, "
         f"{unmoved:.1%} where it was")
xdotool("key", "--clearmodifiers", "ctrl+s")
if column is not None:
    wait_for(lambda: barcode_column() == column + 3, "the barcode saved three columns on", 5)
print(f"the barcode moved by three arrow steps: its modules {best_shift} pixels right ({best_match:.1%} alike, "
      f"{unmoved:.1%} where it was)")
xdotool("key", "--clearmodifiers", "Delete")
wait_for(lambda: not enabled(buttons["切り取り"]), "the barcode deleted", 5)
xdotool("key", "--clearmodifiers", "ctrl+s")
time.sleep(0.5)
print(f"a barcode drawn with the tool named バーコード ({dark_share:.0%} of its box dark), saved and deleted")


# Many items taken with a band and stepped a cell right and back with the
# arrow keys (many marks, and what moved drawn on several threads): after the
# step the form saves each taken item a column on; after the step back the
# canvas shows, pixel for pixel, what it showed before.
def item_columns():
    return [int(line.split(b"LOCATE=(")[1].split(b",")[0])
            for line in open(form, "rb").read().splitlines() if b"LOCATE=(" in line]


cx, cy, cw, ch = canvas.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
xdotool("mousemove", "--sync", cx + 3, cy + 3)
xdotool("mousedown", 1)
for step in range(1, 6):
    xdotool("mousemove", "--sync", cx + 3 + step * (cw * 8 // 10) // 5, cy + 3 + step * (ch - 30) // 5)
    time.sleep(0.05)
xdotool("mouseup", 1)
wait_for(lambda: enabled(buttons["切り取り"]), "items taken with a band", 5)
time.sleep(0.5)
area = (cx, cy, cx + cw, cy + ch)
taken = ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB").crop(area)
columns = item_columns() if form else None
xdotool("key", "--clearmodifiers", "Right")
time.sleep(0.5)
stepped = ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB").crop(area)
shot(os.environ.get("DESKTOP_ROAD_SHOT", "").replace(".png", "-band-moved.png"))
if stepped.tobytes() == taken.tobytes():
    fail("the canvas shows nothing moved after an arrow step on the taken items")
xdotool("key", "--clearmodifiers", "ctrl+s")
moved = 0
if columns is not None:
    time.sleep(0.5)
    moved = sum(1 for a, b in zip(columns, item_columns()) if b == a + 1)
    if moved < 32:
        fail(f"only {moved} items saved a column on after the arrow step")
xdotool("key", "--clearmodifiers", "Left")
time.sleep(0.5)
back = ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB").crop(area)
if back.tobytes() != taken.tobytes():
    differing = sum(1 for a, b in zip(back.getdata(), taken.getdata()) if a != b)
    fail(f"after a step right and back the canvas differs from before in {differing} pixels")
xdotool("key", "--clearmodifiers", "ctrl+s")
if columns is not None:
    wait_for(lambda: item_columns() == columns, "the items saved back where they were", 5)
xdotool("mousemove", "--sync", cx + 3, cy + 3)
xdotool("click", 1)
wait_for(lambda: not enabled(buttons["切り取り"]), "the selection cleared on the desk", 5)
print(f"{moved} items taken with a band stepped right and back: the canvas as it was, pixel for pixel")


# The lists of the edit palette browsed and picked by name: the zoom list's
# 150% entry, then, with the line tool, the line-course list's 縦線.
def pick_entry(combo_name, entry_name):
    combo = wait_for(lambda: pyatspi.findDescendant(
        app, lambda a: a.name == combo_name and a.getRole() == pyatspi.ROLE_COMBO_BOX), f"the list {combo_name}", 5)
    entries = next((c for c in combo if c.getRole() == pyatspi.ROLE_LIST), None)
    if entries is None:
        fail(f"{combo_name} shows no list of entries: {[(c.name, c.getRoleName()) for c in combo]}")
    entry = next((e for e in entries if e.name == entry_name), None)
    if entry is None:
        fail(f"no entry {entry_name} in {combo_name}: {[e.name for e in entries]}")
    entry.queryAction().doAction(0)
    wait_for(lambda: has_state(entry, pyatspi.STATE_SELECTED), f"{entry_name} chosen in {combo_name}", 5)
    return [e.name for e in entries]


# A frame-only rectangle picked where it is drawn, at every zoom of the list: the table's frame
# from (3, 14) to (78, 34), whose header row is filled in the form's mesh
# colour; the frame's left edge is the first dark column left of that fill.
MESH = (0xDC, 0xE6, 0xF2)


def screen():
    from PIL import ImageGrab
    return ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).convert("RGB")


def dark(pixel):
    return sum(pixel) < 240


def sheet_window(title):
    return pyatspi.findDescendant(pyatspi.Registry.getDesktop(0), lambda a: a.name == title and a.getRole() in (
        pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW))


def pick_frame(zoom):
    """Double clicks on the drawn left edge of the table's frame and three
    pixels either side of it; each opens the rectangle's sheet on its cells."""
    x, y, w, h = canvas.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    image = screen()
    fill = [(px, py) for py in range(y, y + h, 2) for px in range(x, x + w, 2) if image.getpixel((px, py)) == MESH]
    if not fill:
        fail(f"the mesh colour of the table's header is not on the screen at {zoom} %")
    fill_left = min(px for px, _ in fill)
    header_bottom = max(py for px, py in fill if px <= fill_left + 2)
    probe_y = header_bottom + 60
    edge = next((px for px in range(fill_left, fill_left - 12, -1) if dark(image.getpixel((px, probe_y)))), None)
    if edge is None:
        fail("the table's frame is not drawn left of its header")
    if enabled(buttons["切り取り"]):
        xdotool("mousemove", "--sync", x + 4, y + 4)
        xdotool("click", 1)
    # A double click on the drawn edge, or three pixels either side of it, opens
    # the rectangle's sheet on the frame's cells; キャンセル closes it. Below
    # 100 % the table's fields come within three pixels inside the frame, and
    # a field is picked before a figure, so only the outer side is tried there.
    for offset in (0, -3, 3) if zoom >= 100 else (0, -3):
        xdotool("mousemove", "--sync", edge + offset, probe_y)
        xdotool("click", "--repeat", "2", "--delay", "80", 1)
        sheet = wait_for(lambda: sheet_window("四角形の詳細"),
                         f"the rectangle's sheet {offset} pixels off the edge at {zoom} %", 10)
        start = wait_for(lambda: pyatspi.findDescendant(sheet, lambda a: a.name == "開始行"), "its start row", 5)
        if start.queryText().getText(0, -1) != "14":
            fail(f"{offset} pixels off the frame's edge opened a rectangle starting on row "
                 f"{start.queryText().getText(0, -1)}")
        if offset == 0:
            shot(os.environ.get("DESKTOP_ROAD_SHOT", "").replace(".png", f"-{zoom}.png"))
        wait_for(lambda: pyatspi.findDescendant(
            sheet, lambda a: a.name == "キャンセル" and a.getRole() == pyatspi.ROLE_PUSH_BUTTON), "キャンセル", 5
        ).queryAction().doAction(0)
        wait_for(lambda: sheet_window("四角形の詳細") is None, "the rectangle's sheet closed", 10)
        xdotool("mousemove", "--sync", x + 4, y + 4)
        xdotool("click", 1)
        wait_for(lambda: not enabled(buttons["切り取り"]), "the selection cleared on the desk", 5)
    return edge, probe_y, x, y


for zoom in (50, 75, 100, 200, 150):
    entries = pick_entry("編集倍率", f"{zoom}%")
    time.sleep(0.5)
    edge, probe_y, x, y = pick_frame(zoom)
    print(f"the table's frame picked on its drawn edge and 3 pixels {'either side' if zoom >= 100 else 'outside'} at {zoom} %")
print("zoom list:", entries)

buttons["直線"].queryAction().doAction(0)
wait_for(lambda: checked(buttons["直線"]), "the line tool pressed", 5)
print("line-course list:", pick_entry("直線の向き", "縦線"))
buttons["範囲選択"].queryAction().doAction(0)
wait_for(lambda: checked(buttons["範囲選択"]), "the range selection pressed again", 5)

# The design sheet's dialog announces the printer by its name (with a
# printer queue to name: DESKTOP_ROAD_QUEUE).
queue = os.environ.get("DESKTOP_ROAD_QUEUE")
if queue:
    bx, by, bw, bh = wait_for(lambda: button(app, "設計用紙"), "the design sheet button").queryComponent().getExtents(
        pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", "--sync", bx + bw // 2, by + bh // 2)
    xdotool("click", 1)
    dialog = wait_for(lambda: next((w for w in app if w.name == "設計用紙の印刷"), None), "the design sheet dialog", 10)
    printer = wait_for(lambda: pyatspi.findDescendant(
        dialog, lambda a: a.getRole() == pyatspi.ROLE_LABEL and a.name == queue), f"the printer {queue} announced", 5)
    captions = [target.name for relation in printer.getRelationSet()
                if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY
                for target in (relation.getTarget(i) for i in range(relation.getNTargets()))]
    if captions != ["プリンタ："]:
        fail(f"the printer's label is labelled by {captions}")
    shot(os.environ.get("DESKTOP_ROAD_SHOT", "").replace(".png", "-design-sheet.png"))
    cancel = wait_for(lambda: pyatspi.findDescendant(
        dialog, lambda a: a.name == "キャンセル" and a.getRole() == pyatspi.ROLE_PUSH_BUTTON), "キャンセル", 5)
    cancel.queryAction().doAction(0)
    wait_for(lambda: all(w.name != "設計用紙の印刷" for w in app), "the design sheet dialog closed", 10)
    print("the design sheet dialog names the printer", queue, "labelled プリンタ：")
else:
    print("no printer queue: the printer's name is not read")

# The sheet's steps and refusals and the options dialog, on the same table's edge.
sys.path.insert(0, os.path.dirname(os.path.realpath(__file__)))
import desktop_road_sheets  # noqa: E402
desktop_road_sheets.run(app, (edge, probe_y))
