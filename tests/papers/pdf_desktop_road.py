#!/usr/bin/python3
"""Answers the print dialogs of the running designer over AT-SPI on a
desktop without any printer: the design sheet's dialog must name
"PDF ファイル" as its printer; its OK opens Qt's print dialog, where the PDF
file entry must be the printer chosen, the file name is typed and 印刷
pressed. Then the toolbar's 印刷 opens the runtime's print dialog, answered
the same way. Arguments: the sheet's PDF and the form's PDF. Exits 1 with a
reason on the first failure. With PDF_ROAD_SHOT set, the sheet's dialog and
the print dialogs are saved beside it."""
import os
import subprocess
import sys
import time

import pyatspi

sys.path.insert(0, os.path.join(os.path.dirname(os.path.realpath(__file__)), "..", "support"))
from atspi_road import fail, wait_for  # noqa: E402

DIALOG_ROLES = (pyatspi.ROLE_DIALOG, pyatspi.ROLE_FRAME, pyatspi.ROLE_WINDOW)


def designer():
    return next((a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "tabrik"), None)


def window(app, names):
    return next((w for w in app if w.name in names and w.getRole() in DIALOG_ROLES), None)


def find(root, role, test=lambda a: True):
    return pyatspi.findDescendant(root, lambda a: a.getRole() == role and test(a))


def shot(suffix):
    """With PDF_ROAD_SHOT set (a .png path), the screen is saved beside it."""
    path = os.environ.get("PDF_ROAD_SHOT")
    if path:
        from PIL import ImageGrab
        ImageGrab.grab(xdisplay=os.environ["DISPLAY"]).save(path.replace(".png", suffix + ".png"))


def press(accessible):
    """A click with the mouse: a button that opens a modal dialog answers the
    bus only once that dialog has closed."""
    x, y, w, h = accessible.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    subprocess.run(["xdotool", "mousemove", "--sync", str(x + w // 2), str(y + h // 2), "click", "1"], check=True)


def text_of(accessible):
    try:
        return accessible.queryText().getText(0, -1)
    except NotImplementedError:
        return ""


PRINT_TITLES = ("印刷", "Print")


def answer_print_dialog(app, path):
    """Qt's print dialog: the PDF file entry chosen (the only one without a
    printer), the file name typed over the bus, then its print button."""
    dialog = wait_for(lambda: window(app, PRINT_TITLES), "the print dialog")
    printers = wait_for(lambda: find(dialog, pyatspi.ROLE_COMBO_BOX, lambda a: "PDF" in a.name or any(
        "PDF" in (c.name or "") for c in a)), "the printer list offering a PDF file", 5)
    print("printer list:", printers.name)
    name = wait_for(lambda: find(dialog, pyatspi.ROLE_TEXT, lambda a: text_of(a).endswith(".pdf")),
                    "the output file name", 5)
    name.queryEditableText().setTextContents(path)
    shot("-print-dialog")
    ok = wait_for(lambda: find(dialog, pyatspi.ROLE_PUSH_BUTTON, lambda a: a.name.startswith(PRINT_TITLES)),
                  "the print button", 5)
    press(ok)
    wait_for(lambda: window(app, PRINT_TITLES) is None, "the print dialog closed", 10)


sheet_pdf, form_pdf = sys.argv[1], sys.argv[2]
app = wait_for(designer, "the tabrik application")
wait_for(lambda: next((w for w in app if w.name.startswith("Tabrik [")), None), "the designer's window")

press(wait_for(lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, lambda a: a.name == "設計用紙"), "the design sheet button"))
sheet = wait_for(lambda: window(app, ("設計用紙の印刷",)), "the design sheet dialog")
wait_for(lambda: find(sheet, pyatspi.ROLE_LABEL, lambda a: a.name == "PDF ファイル"), "the printer named PDF ファイル", 5)
shot("-sheet-dialog")
press(wait_for(lambda: find(sheet, pyatspi.ROLE_PUSH_BUTTON, lambda a: a.name == "OK"), "the sheet's OK", 5))
answer_print_dialog(app, sheet_pdf)
wait_for(lambda: window(app, ("設計用紙の印刷",)) is None, "the design sheet dialog closed", 10)
wait_for(lambda: os.path.exists(sheet_pdf), "the sheet's PDF", 20)
print("the design sheet written to", sheet_pdf)

press(wait_for(lambda: find(app, pyatspi.ROLE_PUSH_BUTTON, lambda a: a.name == "印刷"), "the print button"))
answer_print_dialog(app, form_pdf)
wait_for(lambda: os.path.exists(form_pdf) and os.path.getsize(form_pdf) > 0, "the form's PDF", 30)
time.sleep(1)
print("the form printed to", form_pdf)
