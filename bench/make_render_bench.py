#!/usr/bin/python3
"""Writes the inputs of the rendering benchmark into a folder:

  render.zrk    a B4 landscape statement form, 180 x 60 cells: 60 fields in
                two faces at 9-12 pt (some WIDE, CENTER, SPACE, MINUS), 40 LINE
                statements (many repeated with LOOP) and 10 RECT statements;
  render.dat    N pages of row-mode data, about 2,000 characters a page,
                ASCII mixed with Japanese, Shift-JIS with CR LF;
  render.json   the content of the first pages as text runs, lines and fills
                in millimetres, for drawing the same amount of content with
                another PDF library (reportlab_pages.py).

The millimetre layout uses a plain grid (the page less 5 mm margins and 5 mm
allowances on each side); it matches the form in content, not to the pixel.

Usage: make_render_bench.py FOLDER PAGES [--layout-pages K]
"""
import argparse
import json
import os
import random
import sys

COLUMNS, ROWS = 180, 60
PAPER_W, PAPER_H = 364.0, 257.0
ORIGIN = 5.0
CELL_W = (PAPER_W - 2 * 5.0 - 2 * 5.0) / COLUMNS
CELL_H = (PAPER_H - 2 * 5.0 - 2 * 5.0) / ROWS
PT = 25.4 / 72.0

MINCHO, GOTHIC = "ＭＳ 明朝", "ＭＳ ゴシック"
BASE_FONT = (MINCHO, 9)
FACE_KEYS = {MINCHO: "mincho", GOTHIC: "gothic"}
BLACK = "#000000"


class Field:
    def __init__(self, c1, c2, row, font=BASE_FONT, const=None, tcolor=None, wide=False,
                 center=False, space=False, minus=False):
        self.c1, self.c2, self.row, self.font = c1, c2, row, font
        self.const, self.tcolor = const, tcolor
        self.wide, self.center, self.space, self.minus = wide, center, space, minus

    def statement(self):
        items = [f"FIELD LOCATE=({self.c1}, {self.row})-({self.c2}, {self.row})"]
        if self.font != BASE_FONT:
            items.append(f'FONT="{self.font[0]}"-{self.font[1]}')
        if self.tcolor:
            items.append(f"TCOLOR={self.tcolor}")
        for flag in ("wide", "center", "space", "minus"):
            if getattr(self, flag):
                items.append(f"{flag.upper()}=ON")
        if self.const is not None:
            items.append(f'CONST="{self.const}"')
        return ", ".join(items) + ";"


# Table columns of the detail area: (first, last, heading).
TABLE = [(4, 15, "品番"), (17, 62, "品名"), (64, 97, "規格"), (99, 106, "数量"),
         (108, 112, "単位"), (114, 126, "単価"), (128, 142, "金額"), (144, 177, "備考")]
DETAIL_FIRST, DETAIL_LAST = 11, 46
AMOUNT_FIELD_ROWS = range(11, 41)


def make_fields():
    g12, g11, g10, g9 = (GOTHIC, 12), (GOTHIC, 11), (GOTHIC, 10), (GOTHIC, 9)
    m10 = (MINCHO, 10)
    fields = [
        Field(70, 110, 2, g12, const="請求明細書", wide=True, center=True),
        Field(160, 176, 2, g9),
        Field(4, 60, 4, g12),
        Field(62, 66, 4, g12, const="御中"),
        Field(130, 141, 4, const="請求番号"),
        Field(143, 176, 4, m10),
        Field(130, 141, 5, const="発行日"),
        Field(143, 176, 5, m10),
        Field(143, 176, 6, m10),
        Field(4, 100, 5),
        Field(4, 40, 6),
        Field(4, 20, 7, g11, const="ご請求金額"),
        Field(22, 50, 7, g11, wide=True),
        Field(130, 176, 8, g10, space=True),
    ]
    fields += [Field(c1, c2, 10, g9, const=title, center=True) for c1, c2, title in TABLE]
    fields += [Field(128, 142, row, m10, minus=True) for row in AMOUNT_FIELD_ROWS]
    fields += [
        Field(114, 126, 48, const="小計"),
        Field(128, 142, 48, m10, minus=True),
        Field(114, 126, 49, const="消費税"),
        Field(128, 142, 49, m10, minus=True),
        Field(114, 126, 50, g11, const="合計"),
        Field(128, 142, 50, g11, tcolor="#C00000"),
        Field(4, 110, 52, g9),
        Field(4, 176, 58, const="お振込手数料は貴社にてご負担願います", space=True),
    ]
    return fields


def make_lines():
    """LINE statements as (c1, r1, c2, r2, course, ltype, width, loop)."""
    lines = [
        (4, 1, 176, 1, "H", 6, 1, None),
        (4, 3, 176, 3, "H", 5, 1, None),
        (4, 5, 66, 5, "H", 1, 3, None),
        (130, 5, 176, 5, "H", 3, 1, ("V", 1, 1)),
        (4, 7, 50, 7, "H", 1, 1, None),
        (4, 8, 50, 8, "H", 1, 4, None),
        (130, 9, 176, 9, "H", 2, 1, None),
        (3, 10, 178, 10, "H", 1, 3, None),
        (3, 11, 178, 11, "H", 1, 2, None),
        (3, 12, 178, 12, "H", 4, 1, ("V", 34, 1)),
        (3, 47, 178, 47, "H", 1, 3, None),
    ]
    edges = [3, 16, 63, 98, 107, 113, 127, 143, 178]
    for c in edges:
        width = 3 if c in (3, 178) else 1
        lines.append((c, 10, c, 46, "V", 1, width, None))
    lines += [
        (131, 11, 131, 46, "V", 4, 1, ("H", 3, 3)),
        (80, 11, 80, 46, "V", 4, 1, ("H", 1, 8)),
        (113, 48, 178, 48, "H", 1, 1, ("V", 3, 1)),
        (113, 48, 113, 50, "V", 1, 1, None),
        (127, 48, 127, 50, "V", 1, 1, None),
        (143, 48, 143, 50, "V", 1, 1, None),
        (178, 48, 178, 50, "V", 1, 1, None),
        (128, 51, 142, 51, "H", 1, 2, None),
        (150, 53, 157, 56, "LU", 1, 1, None),
        (150, 53, 157, 56, "RU", 1, 1, None),
        (4, 53, 110, 53, "H", 3, 1, ("V", 3, 1)),
        (4, 59, 176, 59, "H", 6, 2, None),
        (4, 60, 176, 60, "H", 5, 1, None),
        (1, 1, 1, 60, "V", 5, 1, ("H", 1, 179)),
        (60, 48, 60, 50, "V", 1, 1, ("H", 1, 20)),
        (4, 49, 60, 49, "H", 1, 2, ("V", 1, 1)),
        (120, 1, 120, 3, "V", 3, 1, None),
        (150, 52, 176, 52, "H", 1, 2, None),
        (4, 57, 110, 57, "H", 4, 1, None),
        (142, 4, 142, 6, "V", 1, 1, None),
    ]
    assert len(lines) == 40, len(lines)
    return lines


def make_rects():
    """RECT statements as (c1, r1, c2, r2, ltype, width, mesh, mcolor, loop)."""
    rects = [
        (68, 1, 112, 3, 1, 3, "BOTH", None, None),
        (3, 10, 178, 10, 1, 3, "ON", None, None),
        (3, 10, 178, 46, 1, 4, None, None, None),
        (4, 7, 50, 7, 1, 1, "ON", "#E8E8E8", None),
        (113, 50, 178, 50, 1, 2, "BOTH", None, None),
        (3, 52, 111, 57, 3, 1, None, None, None),
        (150, 52, 157, 57, 1, 2, None, None, ("H", 2, 9)),
        (128, 12, 142, 12, 1, 1, "ON", "#F0F0F0", ("V", 16, 2)),
        (128, 4, 177, 6, 1, 1, None, None, None),
        (1, 1, 180, 60, 1, 5, None, None, None),
    ]
    assert len(rects) == 10
    return rects


def loop_text(loop):
    return f", LOOP={loop[0]}-{loop[1]}-{loop[2]}" if loop else ""


def form_text(fields, lines, rects):
    out = [
        "//",
        "//\t描画ベンチマーク用の帳票（B4横 180桁 x 60行）",
        "//",
        'BASE TITLE="請求明細書ベンチマーク", SIZE=B4, DIRECTION=L, COLUMN=180, ROW=60, '
        'LMARGIN=5, TMARGIN=5, FONT="ＭＳ 明朝"-9, LTYPE=1-3, TCOLOR=#000000, LCOLOR=#000000, '
        "MCOLOR=#C0C0C0;",
    ]
    out += [f.statement() for f in fields]
    for c1, r1, c2, r2, course, ltype, width, loop in lines:
        out.append(f"LINE LOCATE=({c1}, {r1})-({c2}, {r2}), COURSE={course}, "
                   f"LTYPE={ltype}-{width}{loop_text(loop)};")
    for c1, r1, c2, r2, ltype, width, mesh, mcolor, loop in rects:
        items = [f"RECT LOCATE=({c1}, {r1})-({c2}, {r2})", f"LTYPE={ltype}-{width}"]
        if mesh:
            items.append(f"MESH={mesh}")
        if mcolor:
            items.append(f"MCOLOR={mcolor}")
        out.append(", ".join(items) + loop_text(loop) + ";")
    return "\r\n".join(out) + "\r\n"


# ---------------------------------------------------------------- data pages

COMPANIES = ["株式会社　東西物産", "南北工業株式会社", "有限会社　中央商会", "山川精機株式会社",
             "株式会社　北斗システム", "海原水産株式会社", "合同会社　緑化計画", "株式会社　青葉印刷"]
ADDRESSES = ["〒100-0001 東京都千代田区見本町1-2-3 見本ビル5F", "〒530-0001 大阪府大阪市北区例示町4-5-6",
             "〒460-0008 愛知県名古屋市中区試験町7-8-9", "〒060-0042 北海道札幌市中央区仮置町10-11"]
PRODUCTS = ["帳票用紙　連続伝票　２枚複写", "ドットプリンタ用リボン", "ファイルボックス　Ａ４縦",
            "宛名ラベル　１２面", "保守サービス　月額", "値引き（年間契約）", "トナーカートリッジ　黒",
            "コピー用紙　再生紙", "封筒　長形３号　白", "ボールペン　０．７ｍｍ", "クリアファイル",
            "納品書　３枚複写　１００組", "感熱ロール紙　５８ｍｍ", "事務用椅子　肘付き"]
ITEM_NOTES = ["A4 500枚x5冊", "W300xD450mm", "黒 10本入", "Ｂ４横　ミシン目", "1000枚/箱", "Model ZX-220",
         "ロット No.A2231", "青・赤 各5", "70kg 白色度80", "LT-58/40"]
UNITS = ["個", "箱", "冊", "本", "式", "枚", "台"]
NOTES = ["納期：2027/01/15", "別途見積", "分納２回目", "特価品", "返品不可", "在庫僅少",
         "代替品 No.B-5521", "", ""]
REMARKS = ["毎度お引き立てを賜り、誠にありがとうございます。",
           "お支払期限：2027年1月31日　振込先：見本銀行 本店営業部 普通 1234567",
           "本書に関するお問い合わせは営業部（03-0000-0000）までお願いいたします。",
           "価格は消費税抜きの金額です。端数は切り捨てております。"]
STAFF = ["山田", "佐藤", "鈴木", "高橋", "田中", "渡辺"]
DEPTS = ["営業部　第二課", "管理部　経理課", "東京支店", "大阪営業所"]


def put(row, col, text, width=None):
    """Writes text (Shift-JIS) at a 1-based column, right-aligned in width."""
    data = text.encode("cp932")
    if width is not None:
        data = data.rjust(width)
    assert col - 1 + len(data) <= COLUMNS, text
    row[col - 1:col - 1 + len(data)] = data


def make_body(rng, variant):
    """One page of data without its page number: 60 rows of bytes."""
    rows = [bytearray(b" " * COLUMNS) for _ in range(ROWS)]
    put(rows[3], 4, rng.choice(COMPANIES))
    put(rows[3], 143, f"INV-2026-{rng.randrange(100000):05d}-{variant:03d}")
    put(rows[4], 143, f"2026年{rng.randrange(1, 13):2d}月{rng.randrange(1, 29):2d}日")
    put(rows[4], 4, rng.choice(ADDRESSES))
    put(rows[5], 143, f"担当：{rng.choice(STAFF)}（内線 {rng.randrange(100, 999)}）")
    put(rows[5], 4, f"TEL 03-{rng.randrange(10000):04d}-{rng.randrange(10000):04d}")
    put(rows[7], 130, rng.choice(DEPTS))
    subtotal = 0
    for r in range(DETAIL_FIRST - 1, DETAIL_LAST):
        if rng.random() < 0.05:
            continue
        row = rows[r]
        qty = rng.randrange(1, 500)
        price = rng.randrange(50, 80000)
        amount = qty * price * (-1 if rng.random() < 0.08 else 1)
        subtotal += amount
        put(row, 4, f"{rng.choice('ABCDE')}-{rng.randrange(100000):05d}")
        put(row, 17, rng.choice(PRODUCTS))
        put(row, 64, rng.choice(ITEM_NOTES))
        put(row, 99, f"{qty:,}", 8)
        put(row, 108, rng.choice(UNITS))
        put(row, 114, f"{price:,}", 13)
        put(row, 128, f"{amount:,}", 15)
        put(row, 144, rng.choice(NOTES))
    tax = subtotal // 10
    put(rows[6], 22, f"\\{subtotal + tax:,}-")
    put(rows[47], 128, f"{subtotal:,}", 15)
    put(rows[48], 128, f"{tax:,}", 15)
    put(rows[49], 128, f"{subtotal + tax:,}", 15)
    put(rows[51], 4, rng.choice(REMARKS))
    for k in range(4):
        put(rows[52 + k], 5, REMARKS[(variant + k) % len(REMARKS)])
    return rows


def page_number_row(page):
    row = bytearray(b" " * COLUMNS)
    put(row, 160, f"No. {page:07d}")
    return row


def page_rows(bodies, page):
    rows = list(bodies[(page - 1) % len(bodies)])
    rows[1] = page_number_row(page)
    return rows


def count_chars(rows):
    return sum(len(bytes(r).decode("cp932").replace(" ", "").replace("\u3000", "")) for r in rows)


def write_data(path, bodies, pages):
    with open(path, "wb") as out:
        chunk = []
        for page in range(1, pages + 1):
            chunk.extend(bytes(r).rstrip() for r in page_rows(bodies, page))
            if len(chunk) >= 60 * 200:
                out.write(b"\r\n".join(chunk) + b"\r\n")
                chunk = []
        if chunk:
            out.write(b"\r\n".join(chunk) + b"\r\n")


# ------------------------------------------------------- millimetre layout


def is_lead(byte):
    return 0x81 <= byte <= 0x9F or 0xE0 <= byte <= 0xFC


def characters(data):
    """Splits Shift-JIS bytes into characters (1 or 2 bytes each)."""
    out, i = [], 0
    while i < len(data):
        n = 2 if is_lead(data[i]) and i + 1 < len(data) else 1
        out.append(data[i:i + n])
        i += n
    return out


def words(data):
    """(offset, bytes) of every word: runs between blanks and double-byte blanks."""
    out, i = [], 0
    while i < len(data):
        if data[i] == 0x20:
            i += 1
            continue
        if data[i] == 0x81 and i + 1 < len(data) and data[i + 1] == 0x40:
            i += 2
            continue
        start = i
        while i < len(data) and data[i] != 0x20 and not (
                data[i] == 0x81 and i + 1 < len(data) and data[i + 1] == 0x40):
            i += 2 if is_lead(data[i]) and i + 1 < len(data) else 1
        out.append((start, data[start:i]))
    return out


def spread_run(text, left, width, row, font, wide, color, minus=False):
    """One text run spread over [left, left + width) mm on a row, as the
    runtime spreads characters over their cells."""
    face, size = font
    chars = characters(text)
    avg = size * PT * 0.5 * (2 if wide else 1)  # advance of a half-width glyph
    gap = 0.0 if len(chars) == 1 else (width - len(text) * avg) / (len(chars) - 1)
    unicode_text = text.decode("cp932")
    if minus:
        unicode_text = unicode_text.replace("-", "△")
    scale = 2 if wide else 1
    top = ORIGIN + (row - 1) * CELL_H
    baseline = top + CELL_H / 2 + size * PT * 0.35
    # Character spacing is given in unscaled text space, in points.
    return [FACE_KEYS[face], size, scale, round(left, 3), round(baseline, 3),
            round(gap / PT / scale, 4), unicode_text, color or BLACK]


def page_runs(rows, fields):
    """Text runs of one page in the composition order: constants, fields, free text."""
    records = [bytearray(r) for r in rows]
    by_row = {}
    for f in fields:
        by_row.setdefault(f.row, []).append(f)
    runs = []
    for f in fields:
        if f.const is not None:
            w = f.c2 - f.c1 + 1
            data = f.const.encode("cp932")[:w].ljust(w)
            records[f.row - 1][f.c1 - 1:f.c2] = data
    for r, record in enumerate(records, start=1):
        for f in by_row.get(r, []):
            w = f.c2 - f.c1 + 1
            text = bytes(record[f.c1 - 1:f.c2]).rstrip(b" ")
            record[f.c1 - 1:f.c2] = b" " * w
            if not text:
                continue
            n = len(text)
            left = ORIGIN + (f.c1 - 1) * CELL_W
            width = w * CELL_W
            if f.wide and f.center:
                inner = n * 2 * CELL_W
                runs.append(spread_run(text, left + (width - inner) / 2, inner, r, f.font, True, f.tcolor))
            elif f.wide:
                runs.append(spread_run(text, left, width, r, f.font, True, f.tcolor))
            elif f.center:
                inner = n * CELL_W
                runs.append(spread_run(text, left + (width - inner) / 2, inner, r, f.font, False, f.tcolor))
            elif f.space:
                runs.append(spread_run(text, left, width, r, f.font, False, f.tcolor))
            else:
                for offset, word in words(text):
                    runs.append(spread_run(word, left + offset * CELL_W, len(word) * CELL_W, r, f.font,
                                           False, f.tcolor, f.minus))
        for offset, word in words(bytes(record)):
            runs.append(spread_run(word, ORIGIN + offset * CELL_W, len(word) * CELL_W, r, BASE_FONT,
                                   False, None))
    return runs


LINE_WIDTH_MM = {1: 0.05, 2: 0.08, 3: 0.12, 4: 0.17, 5: 0.25}
DASHES_MM = {1: None, 2: [0.1, 0.2], 3: [1.5, 0.8], 4: [0.25, 0.75], 5: [1.5, 0.5, 0.25, 0.5],
             6: [1.5, 0.5, 0.25, 0.5, 0.25, 0.5]}


def points(c1, r1, c2, r2):
    x1 = ORIGIN + (c1 - 1) * CELL_W + CELL_W / 2
    y1 = ORIGIN + (r1 - 1) * CELL_H
    return x1, y1, x1 + (c2 - c1) * CELL_W, y1 + (r2 - r1 + 1) * CELL_H


def copies(c1, r1, c2, r2, loop):
    if not loop:
        return [(c1, r1, c2, r2)]
    direction, count, pitch = loop
    if direction == "H":
        return [(c1 + k * pitch, r1, c2 + k * pitch, r2) for k in range(count + 1)]
    return [(c1, r1 + k * pitch, c2, r2 + k * pitch) for k in range(count + 1)]


def figures_mm(lines, rects):
    """Fills first, then segments, as the page is composed."""
    fills, segments = [], []
    r3 = lambda v: round(v, 3)
    for c1, r1, c2, r2, ltype, width, mesh, mcolor, loop in rects:
        for a, b, c, d in copies(c1, r1, c2, r2, loop):
            x1, y1, x2, y2 = points(a, b, c, d)
            if mesh in ("ON", "BOTH"):
                fills.append([r3(x1), r3(y1), r3(x2 - x1), r3(y2 - y1), mcolor or "#C0C0C0"])
            if mesh != "ON":
                for s in ((x1, y1, x1, y2), (x1, y2, x2, y2), (x2, y1, x2, y2), (x1, y1, x2, y1)):
                    segments.append([*map(r3, s), LINE_WIDTH_MM[width], DASHES_MM[ltype]])
    for c1, r1, c2, r2, course, ltype, width, loop in lines:
        if (course == "LU" and r2 < r1) or (course == "RU" and r1 < r2):
            r1, r2 = r2, r1
        for a, b, c, d in copies(c1, r1, c2, r2, loop):
            x1, y1, x2, y2 = points(a, b, c, d)
            if course == "H":
                y2 = y1
            segments.append([r3(x1), r3(y1), r3(x2), r3(y2), LINE_WIDTH_MM[width], DASHES_MM[ltype]])
    return fills, segments


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("pages", type=int)
    parser.add_argument("--layout-pages", type=int, default=8,
                        help="distinct pages described in render.json (default 8)")
    parser.add_argument("--seed", type=int, default=20261207)
    args = parser.parse_args()
    if args.pages < 1:
        parser.error("PAGES must be at least 1")
    os.makedirs(args.folder, exist_ok=True)

    fields, lines, rects = make_fields(), make_lines(), make_rects()
    with open(os.path.join(args.folder, "render.zrk"), "wb") as out:
        out.write(form_text(fields, lines, rects).encode("cp932"))

    rng = random.Random(args.seed)
    bodies = [make_body(rng, v) for v in range(32)]
    write_data(os.path.join(args.folder, "render.dat"), bodies, args.pages)

    layout_pages = [page_rows(bodies, p) for p in range(1, min(args.layout_pages, args.pages) + 1)]
    fills, segments = figures_mm(lines, rects)
    layout = {
        "paper_mm": [PAPER_W, PAPER_H],
        "cell_mm": [CELL_W, CELL_H],
        "fills": fills,
        "segments": segments,
        "pages": [page_runs(rows, fields) for rows in layout_pages],
    }
    with open(os.path.join(args.folder, "render.json"), "w", encoding="utf-8") as out:
        json.dump(layout, out, ensure_ascii=False, separators=(",", ":"))

    chars = sum(count_chars(b) for b in bodies) / len(bodies)
    runs = sum(len(p) for p in layout["pages"]) / len(layout["pages"])
    print(f"{args.folder}: {args.pages} pages, {len(fields)} fields, {len(lines)} lines, {len(rects)} rects; "
          f"about {chars:.0f} data characters and {runs:.0f} text runs a page, "
          f"{len(segments)} segments and {len(fills)} fills a page", file=sys.stderr)


if __name__ == "__main__":
    main()
