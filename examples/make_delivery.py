#!/usr/bin/python3
"""Writes the small example of the data file: a delivery slip (納品書) in row
mode (delivery.zrk, delivery.dat, two pages) and the same slip in tag mode
(delivery-tags.zrk, delivery-tags.dat, one page). Shift-JIS with CR LF line
ends, as the designer writes them."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
COLUMNS, ROWS = 60, 16
GOTHIC = '"ＭＳ ゴシック"'


def form(tag_mode):
    def field(c1, c2, row, tag, extra=""):
        key = f'TAG="{tag}", ' if tag else ""
        return f"FIELD LOCATE=({c1}, {row})-({c2}, {row}), {key}{extra}".rstrip(", ") + ";"

    t = (lambda name: name) if tag_mode else (lambda name: "")
    lines = [
        "//\t納品書の見本帳票（データファイルの説明用）",
        f'BASE TITLE="納品書", SIZE=A5, DIRECTION=L, COLUMN={COLUMNS}, ROW={ROWS}, LMARGIN=10, '
        f'TMARGIN=10, FONT="ＭＳ 明朝"-10, LTYPE=1-2, TCOLOR=#000000, LCOLOR=#000000, '
        f"MCOLOR=#E0E0E0{', TAGMODE=ON' if tag_mode else ''};",
        field(21, 40, 1, t("TITLE"), f"FONT={GOTHIC}-14, WIDE=ON, CENTER=ON"),
        field(3, 30, 3, "CUSTOMER", f"FONT={GOTHIC}-11"),
        field(45, 58, 2, "DATE"),
        field(45, 58, 13, "TOTAL", f"FONT={GOTHIC}-11"),
        "RECT LOCATE=(2, 5)-(59, 5), MESH=ON;",
        "RECT LOCATE=(2, 5)-(59, 11), LTYPE=1-3;",
        "LINE LOCATE=(35, 5)-(35, 11), COURSE=V, LTYPE=1-1;",
        "LINE LOCATE=(44, 5)-(44, 11), COURSE=V, LTYPE=1-1;",
        "LINE LOCATE=(36, 13)-(59, 13), COURSE=H, LTYPE=1-1;",
    ]
    # The item names: one field a row in row mode; in tag mode the one field
    # serves every line tagged ITEM, on whatever row the line stands.
    for row in [6] if tag_mode else range(6, 11):
        lines.insert(-5, field(3, 34, row, t("ITEM"), f"FONT={GOTHIC}-10"))
    return lines


def put(row, col, text, width=None):
    data = text.encode("cp932")
    if width is not None:
        data = data.rjust(width)
    row[col - 1:col - 1 + len(data)] = data


def page(customer, date, items):
    rows = [bytearray(b" " * COLUMNS) for _ in range(ROWS)]
    put(rows[0], 21, "納品書")
    put(rows[2], 3, customer + "　御中")
    put(rows[1], 45, date)
    put(rows[4], 3, "品名")
    put(rows[4], 36, "数量")
    put(rows[4], 45, "金額")
    total = 0
    for i, (name, qty, price) in enumerate(items):
        put(rows[5 + i], 3, name)
        put(rows[5 + i], 36, f"{qty:,}", 7)
        put(rows[5 + i], 45, f"{qty * price:,}", 13)
        total += qty * price
    put(rows[12], 36, "合計")
    put(rows[12], 45, f"\\{total:,}", 13)
    put(rows[14], 3, "上記の通り納品いたしました。")
    return [bytes(r).rstrip() for r in rows]


pages = page("株式会社　見本商店", "2026年12月 8日",
             [("連続伝票　２枚複写", 12, 4800), ("宛名ラベル　１２面", 30, 290)])
pages += page("南北工業株式会社", "2026年12月 9日", [("ファイルボックス", 20, 420)])


def write(name, lines):
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(b"\r\n".join(lines) + b"\r\n")


write("delivery.zrk", [line.encode("cp932") for line in form(False)])
write("delivery.dat", pages)

# Tag mode: bytes 1 to 8 name the field the line fills ("|" may close the
# name), the text starts at byte 9 as column 1, and the line's place on the
# page still gives its row. A line for no field carries eight blanks.
tags = {0: "TITLE", 1: "DATE", 2: "CUSTOMER", 5: "ITEM", 6: "ITEM", 12: "TOTAL"}
tagged = [(tags.get(i, "").ljust(7) + "|")[:8].encode("cp932") + line for i, line in enumerate(pages[:ROWS])]
write("delivery-tags.zrk", [line.encode("cp932") for line in form(True)])
write("delivery-tags.dat", tagged)
