"""The property sheet's steps, refusals and the options dialog on the real
desktop, run by desktop_road.py once the table's frame-only rectangle has
been found at a point of its drawn edge:

- typed input and ＜ 前 / 次 ＞: the question "変更を適用しますか？" (確認),
  キャンセル stays with the input, いいえ steps without storing it;
- an end column 95 on the 80-column form: OK is refused and the sheet says
  "終了列は1〜80の範囲で指定してください";
- オプション → 設定(&S)...: both options found by name, UpdateMove checked,
  OK; the next step then stores without asking, the title shows the
  modified marker, and Ctrl+S takes it away again.

With DESKTOP_ROAD_SHOT set, the question, the refusal and the options
dialog are saved beside it (-step-question.png, -refusal.png, -options.png)."""
import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "support"))
from atspi_road import fail, wait_for  # noqa: E402


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def shot(suffix):
    path = os.environ.get("DESKTOP_ROAD_SHOT")
    if path:
        from PIL import ImageGrab
        time.sleep(0.3)
        ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).save(path.replace(".png", suffix))


def window(app, title):
    return next((w for w in app if w.name == title), None)


def child(parent, name, role=None):
    return pyatspi.findDescendant(parent, lambda a: a.name == name and (role is None or a.getRole() == role))


def text_of(accessible):
    return accessible.queryText().getText(0, -1)


def click_on(accessible):
    # A button that opens a modal question is clicked with the mouse: an
    # action over the bus would wait for the question to be answered.
    x, y, w, h = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", "--sync", x + w // 2, y + h // 2)
    xdotool("click", 1)


def press(parent, name):
    wait_for(lambda: child(parent, name, pyatspi.ROLE_PUSH_BUTTON), name, 5).queryAction().doAction(0)


def checked(accessible):
    accessible.clearCache()
    return accessible.getState().contains(pyatspi.STATE_CHECKED)


def open_rect_sheet(app, point):
    xdotool("mousemove", "--sync", *point)
    xdotool("click", "--repeat", "2", "--delay", "80", 1)
    return wait_for(lambda: window(app, "四角形の詳細"), "the rectangle's sheet")


def answer_question(app, answer):
    question = wait_for(lambda: window(app, "確認"), "the question before the step")
    if not child(question, "変更を適用しますか？"):
        fail(f"the question does not ask 変更を適用しますか？: {[c.name for c in question]}")
    shot("-step-question.png")
    press(question, answer)
    wait_for(lambda: window(app, "確認") is None, f"the question closed by {answer}")


def frame_title(app):
    return next((w.name for w in app if w.name.startswith("Tabrik [")), "")


def run(app, edge_point):
    sheet = open_rect_sheet(app, edge_point)
    start = wait_for(lambda: child(sheet, "開始行"), "the start row")
    shown = text_of(start)
    start.queryEditableText().setTextContents("13")
    click_on(child(sheet, "次 ＞", pyatspi.ROLE_PUSH_BUTTON))
    answer_question(app, "キャンセル")
    if text_of(start) != "13":
        fail(f"キャンセル left {text_of(start)} in the start row instead of the typed 13")
    click_on(child(sheet, "次 ＞", pyatspi.ROLE_PUSH_BUTTON))
    answer_question(app, "いいえ")
    if "*" in frame_title(app):
        fail(f"いいえ stored the typed row: the title says {frame_title(app)}")
    print("a step over typed input asked 変更を適用しますか？; キャンセル stayed, いいえ stepped without storing")

    end = wait_for(lambda: child(sheet, "終了列"), "the end column")
    end.queryEditableText().setTextContents("95")
    press(sheet, "OK")
    expected = "終了列は1〜80の範囲で指定してください"
    refusal = wait_for(lambda: child(sheet, "入力の誤り"), "the refusal beside the buttons", 5)
    wait_for(lambda: refusal.clearCache() or refusal.description == expected, f"the reason {expected}", 5)
    shot("-refusal.png")
    press(sheet, "キャンセル")
    wait_for(lambda: window(app, "四角形の詳細") is None, "the rectangle's sheet closed")
    print("end column 95 refused with the reason", expected)

    xdotool("key", "--clearmodifiers", "alt+o")
    time.sleep(0.5)
    xdotool("key", "s")
    options = wait_for(lambda: window(app, "設定"), "the options dialog")
    keep = wait_for(lambda: child(options, "部品の作成後も同じ部品を続けて作成する", pyatspi.ROLE_CHECK_BOX), "ModeKeep", 5)
    update = wait_for(lambda: child(options, "前／次への移動時に変更を保存する", pyatspi.ROLE_CHECK_BOX), "UpdateMove", 5)
    if checked(keep) or checked(update):
        fail("the options do not start as the settings file says (both off)")
    update.queryAction().doAction(0)
    wait_for(lambda: checked(update), "UpdateMove checked", 5)
    shot("-options.png")
    press(options, "OK")
    wait_for(lambda: window(app, "設定") is None, "the options dialog closed")

    sheet = open_rect_sheet(app, edge_point)
    start = wait_for(lambda: child(sheet, "開始行"), "the start row")
    start.queryEditableText().setTextContents(str(int(shown) - 1))
    click_on(child(sheet, "次 ＞", pyatspi.ROLE_PUSH_BUTTON))
    time.sleep(1.5)
    if window(app, "確認") is not None:
        fail("UpdateMove on, and the step still asks")
    press(sheet, "キャンセル")
    wait_for(lambda: window(app, "四角形の詳細") is None, "the rectangle's sheet closed")
    wait_for(lambda: "*" in frame_title(app), "the modified marker in the title after a stored step", 5)
    xdotool("key", "--clearmodifiers", "ctrl+s")
    wait_for(lambda: frame_title(app) == "Tabrik [請求書]", "the title without the marker after saving", 5)
    print("UpdateMove set in 設定: the step stored without asking; the title marked the change until Ctrl+S")
