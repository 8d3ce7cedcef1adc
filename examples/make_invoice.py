#!/usr/bin/python3
"""Writes the bundled example: an invoice form (invoice.zrk), three pages of
data (invoice.dat) and the company logo (logo.bmp). Files are Shift-JIS with
CR LF line ends, as the designer writes them."""
import os
from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
COLUMNS, ROWS = 80, 60


def field(c1, c2, row, tag="", font=None, **flags):
    items = [f"FIELD LOCATE=({c1}, {row})-({c2}, {row})"]
    if tag:
        items.append(f'TAG="{tag}"')
    if font:
        items.append(f'FONT="{font[0]}"-{font[1]}')
    for key in ("TCOLOR",):
        if key in flags:
            items.append(f"{key}={flags.pop(key)}")
    const = flags.pop("CONST", None)
    items += [f"{k}=ON" for k, v in flags.items() if v]
    if const is not None:
        items.append(f'\n\t  CONST="{const}"')
    return ", ".join(items) + ";"


lines = [
    "//", "//\t請求書の見本帳票", "//",
    'BASE TITLE="請求書", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=60, LMARGIN=10, TMARGIN=12, '
    'FONT="ＭＳ 明朝"-10, LTYPE=1-2, TCOLOR=#000000, LCOLOR=#1F3A60, MCOLOR=#DCE6F2;',
    field(22, 57, 2, font=("ＭＳ ゴシック", 13), WIDE=True, CENTER=True, CONST="請求書"),
    field(3, 40, 6, "CUSTOMER", ("ＭＳ ゴシック", 12)),
    field(41, 44, 6, font=("ＭＳ ゴシック", 12), CONST="御中"),
    field(56, 63, 6, CONST="請求番号"),
    field(65, 78, 6, "NUMBER"),
    field(56, 63, 7, CONST="発行日"),
    field(65, 78, 7, "DATE"),
    field(4, 17, 10, font=("ＭＳ ゴシック", 11), CONST="ご請求金額"),
    field(19, 38, 10, "TOTAL", ("ＭＳ ゴシック", 11), WIDE=True),
    field(4, 11, 14, font=("ＭＳ ゴシック", 9), CENTER=True, CONST="品番"),
    field(13, 44, 14, font=("ＭＳ ゴシック", 9), CENTER=True, CONST="品名"),
    field(46, 52, 14, font=("ＭＳ ゴシック", 9), CENTER=True, CONST="数量"),
    field(54, 63, 14, font=("ＭＳ ゴシック", 9), CENTER=True, CONST="単価"),
    field(65, 77, 14, font=("ＭＳ ゴシック", 9), CENTER=True, CONST="金額"),
]
for row in range(15, 35):
    lines.append(field(4, 11, row, font=("ＭＳ ゴシック", 9)))
    lines.append(field(65, 77, row, MINUS=True))
lines += [
    field(54, 63, 36, CONST="小計"),
    field(54, 63, 37, CONST="消費税"),
    field(54, 63, 38, font=("ＭＳ ゴシック", 10), CONST="合計"),
    field(65, 77, 38, font=("ＭＳ ゴシック", 10), TCOLOR="#C00000"),
    field(4, 12, 41, font=("ＭＳ ゴシック", 9), CONST="備考"),
    field(46, 78, 52, font=("ＭＳ Ｐゴシック", 9), CONST="株式会社　見本商事"),
    field(46, 78, 53, font=("ＭＳ Ｐゴシック", 8), CONST="〒100-0001 千代田区見本町1-2-3"),
    field(46, 78, 54, font=("ＭＳ Ｐゴシック", 8), CONST="TEL 03-0000-0000"),
    field(3, 78, 58, font=("ＭＳ 明朝", 8), SPACE=True, CONST="お振込手数料は貴社にてご負担願います"),
    'BITMAP LOCATE=(69, 1)-(78, 4), FILE="logo.bmp";',
    "LINE LOCATE=(3, 7)-(44, 7), COURSE=H, LTYPE=1-3;",
    "RECT LOCATE=(3, 9)-(40, 11), LTYPE=1-4, MESH=BOTH;",
    "RECT LOCATE=(3, 14)-(78, 14), MESH=ON;",
    "RECT LOCATE=(3, 14)-(78, 34), LTYPE=1-4;",
    "LINE LOCATE=(3, 15)-(78, 15), COURSE=H, LTYPE=1-1;",
    "LINE LOCATE=(3, 16)-(78, 16), COURSE=H, LTYPE=4-1, LOOP=V-18-1;",
    "LINE LOCATE=(12, 14)-(12, 34), COURSE=V, LTYPE=1-1, LOOP=H-0-0;",
    "LINE LOCATE=(45, 14)-(45, 34), COURSE=V, LTYPE=1-1;",
    "LINE LOCATE=(53, 14)-(53, 34), COURSE=V, LTYPE=1-1;",
    "LINE LOCATE=(64, 14)-(64, 34), COURSE=V, LTYPE=1-1;",
    "RECT LOCATE=(53, 36)-(78, 38), LTYPE=1-2;",
    "LINE LOCATE=(53, 38)-(78, 38), COURSE=H, LTYPE=2-2;",
    "RECT LOCATE=(3, 41)-(78, 48), LTYPE=3-1;",
    "LINE LOCATE=(44, 51)-(44, 55), COURSE=V, LTYPE=5-1;",
    "LINE LOCATE=(3, 57)-(78, 57), COURSE=H, LTYPE=6-1;",
]

with open(os.path.join(HERE, "invoice.zrk"), "wb") as out:
    out.write(("\r\n".join(lines) + "\r\n").encode("cp932"))


def put(row_text, col, text, width=None, right=False):
    """Places text (Shift-JIS bytes) at a 1-based column of a row buffer."""
    data = text.encode("cp932")
    if width is not None and right:
        data = data.rjust(width)
    row_text[col - 1:col - 1 + len(data)] = data


customers = ["株式会社　東西物産", "南北工業株式会社", "有限会社　中央商会"]
products = [("A-1001", "帳票用紙　連続伝票　２枚複写", 12, 4800),
            ("A-1002", "ドットプリンタ用リボン", 6, 1350),
            ("B-2040", "ファイルボックス　Ａ４縦", 20, 420),
            ("C-0007", "値引き（年間契約）", 1, -5000),
            ("D-3100", "保守サービス　月額", 1, 15000),
            ("E-0550", "宛名ラベル　１２面", 30, 290)]
pages = []
for p, customer in enumerate(customers):
    rows = [bytearray(b" " * COLUMNS) for _ in range(ROWS)]
    put(rows[5], 3, customer)
    put(rows[5], 65, f"INV-2026-{1201 + p:04d}")
    put(rows[6], 65, f"2026年12月{7 + p:2d}日")
    subtotal = 0
    for i in range(6 + 4 * p):
        code, name, qty, price = products[(i + p) % len(products)]
        amount = qty * price
        subtotal += amount
        r = rows[14 + i]
        put(r, 4, code)
        put(r, 13, name)
        put(r, 46, f"{qty:,}", 7, True)
        put(r, 54, f"{price:,}", 10, True)
        put(r, 65, f"{amount:,}", 13, True)
    tax = subtotal // 10
    put(rows[35], 65, f"{subtotal:,}", 13, True)
    put(rows[36], 65, f"{tax:,}", 13, True)
    put(rows[37], 65, f"{subtotal + tax:,}", 13, True)
    put(rows[9], 19, f"\\{subtotal + tax:,}-")
    put(rows[41], 4, "毎度お引き立てを賜り、誠にありがとうございます。")
    put(rows[42], 4, "お支払期限：　2027年1月31日　　振込先：見本銀行　本店営業部　普通 1234567")
    pages += [bytes(r).rstrip() for r in rows]

with open(os.path.join(HERE, "invoice.dat"), "wb") as out:
    out.write(b"\r\n".join(pages) + b"\r\n")

img = Image.new("RGB", (160, 64), (255, 255, 255))
d = ImageDraw.Draw(img)
d.rectangle([2, 2, 157, 61], outline=(31, 58, 96), width=3)
d.ellipse([10, 10, 54, 54], fill=(31, 58, 96))
d.ellipse([22, 22, 42, 42], fill=(220, 230, 242))
for k in range(5):
    d.rectangle([66, 14 + 8 * k, 148 - 12 * k, 18 + 8 * k], fill=(31, 58, 96))
img.save(os.path.join(HERE, "logo.bmp"))
