#!/usr/bin/env python3
"""Generates widgets/fonts/lcd_font_tables.cpp, the dot tables of the built-in LCD fonts.

Sources (see README.md for their licences):
  - misc-fixed 5x7, 5x8, 6x9 and 8x13 as BDF (xfonts-base, converted with pcf2bdf);
  - the character-LCD ROM tables A00 and A02 of @wokwi/elements (dist/esm/lcd1602-font-a0*.js);
  - the 10-row ROM shapes of char-lcd (javascript/char-lcd.js, list _jp.font).
make_lcd_fonts.sh fetches them into a scratch folder and runs this script.
"""
import argparse
import re
import sys
from pathlib import Path

# ---------------------------------------------------------------- sources


def parse_bdf(path):
    """Returns (glyphs by code point, font bounding box, ascent)."""
    glyphs, fbb, ascent = {}, None, None
    lines = Path(path).read_text(encoding="latin-1").splitlines()
    i = 0
    while i < len(lines):
        words = lines[i].split()
        if not words:
            i += 1
            continue
        if words[0] == "FONTBOUNDINGBOX":
            fbb = tuple(int(w) for w in words[1:5])
        elif words[0] == "FONT_ASCENT":
            ascent = int(words[1])
        elif words[0] == "STARTCHAR":
            enc, bbx, bitmap = None, None, []
            i += 1
            while lines[i] != "ENDCHAR":
                w = lines[i].split()
                if w[0] == "ENCODING":
                    enc = int(w[1])
                elif w[0] == "BBX":
                    bbx = tuple(int(x) for x in w[1:5])
                elif w[0] == "BITMAP":
                    i += 1
                    while lines[i] != "ENDCHAR":
                        bitmap.append(int(lines[i], 16))
                        i += 1
                    continue
                i += 1
            glyphs[enc] = (bbx, bitmap)
        i += 1
    return glyphs, fbb, ascent


def bdf_cell(font, code_point):
    """The glyph of code_point as a full cell of the font's bounding box, rows of 0/1."""
    glyphs, (cw, ch, cx, cy), ascent = font
    (w, h, xoff, yoff), bitmap = glyphs[code_point]
    cell = [[0] * cw for _ in range(ch)]
    nbytes = (w + 7) // 8
    top = ascent - (yoff + h)
    for r, bits in enumerate(bitmap):
        for c in range(w):
            if bits >> (nbytes * 8 - 1 - c) & 1:
                rr, cc = top + r, xoff - cx + c
                if not (0 <= rr < ch and 0 <= cc < cw):
                    sys.exit(f"glyph U+{code_point:04X} leaves its cell")
                cell[rr][cc] = 1
    return cell


def js_numbers(text):
    return [int(x) for x in re.findall(r"\d+", re.sub(r"/\*.*?\*/", "", text))]


def parse_wokwi_rom(path):
    """256 glyphs of 8 rows from an lcd1602 font module; bit 0 is the leftmost dot."""
    text = Path(path).read_text()
    values = js_numbers(text[text.index("[") + 1 : text.rindex("]")])
    if len(values) != 256 * 8:
        sys.exit(f"{path}: expected 2048 numbers, found {len(values)}")
    return [
        [[values[code * 8 + r] >> c & 1 for c in range(5)] for r in range(8)] for code in range(256)
    ]


def parse_char_lcd_jp(path):
    """256 glyphs of 10 rows from char-lcd's Japanese ROM; bit 4 is the leftmost dot."""
    text = Path(path).read_text()
    start = text.index("var _jp")
    body = text[text.index("font: [", start) + len("font: [") : text.index("cmap:", start)]
    body = re.sub(r"//[^\n]*", "", body)
    entries = re.findall(r"\[([^\[\]]*)\]", body)
    if len(entries) != 256:
        sys.exit(f"{path}: expected 256 glyphs, found {len(entries)}")
    glyphs = []
    for entry in entries:
        rows = [int(x) for x in re.findall(r"\d+", entry)]
        rows += [0] * (10 - len(rows))
        glyphs.append([[row >> (4 - c) & 1 for c in range(5)] for row in rows])
    return glyphs


# ---------------------------------------------------------------- fitting


def blank(cols, rows):
    return [[0] * cols for _ in range(rows)]


def pad_columns(cell, cols):
    return [row + [0] * (cols - len(row)) for row in cell]


def vertical_bar(code):
    """Codes 1..15: code 1 empty, 2k+1 the bottom k rows, 2k the bottom k-1 rows and half a row."""
    cell = blank(5, 7)
    full, half = (code - 1) // 2, code % 2 == 0
    for r in range(7 - full, 7):
        cell[r] = [1] * 5
    if half:
        cell[7 - full - 1] = [0, 1, 0, 1, 0]
    return cell


def horizontal_bar(code):
    """Codes 241..250: bars growing from the left in half-column steps (241 half a column)."""
    cell = blank(5, 7)
    halves = code - 240
    for c in range(halves // 2):
        for r in range(7):
            cell[r][c] = 1
    if halves % 2:
        for r in (1, 3, 5):
            cell[r][halves // 2] = 1
    return cell


def rom_5x7(a00, code):
    """A ROM glyph in 7 rows. Glyphs with a descender in row 7 move up when their top row is empty;
    the u with diaeresis drops the empty row under its dots instead."""
    glyph = a00[code]
    if any(glyph[7]) and not any(glyph[0]):
        return glyph[1:8]
    if code == 0xF5:
        return [glyph[0]] + glyph[2:8]
    return glyph[0:7]


def a02_5x7(a02, code):
    # The A02 table draws its glyphs one row lower than A00.
    return a02[code][1:8]


def make_hitachi(a00, a02):
    glyphs = []
    for code in range(256):
        if 1 <= code <= 15:
            glyphs.append(vertical_bar(code))
        elif code == 92:
            glyphs.append(a02_5x7(a02, code))
        elif 32 <= code <= 127:
            glyphs.append(rom_5x7(a00, code))
        elif 128 <= code <= 221 or code == 223:
            glyphs.append(rom_5x7(a00, code + 32))
        elif 241 <= code <= 250:
            glyphs.append(horizontal_bar(code))
        else:
            glyphs.append(blank(5, 7))
    return glyphs


def make_mat5x7(hitachi, a02):
    glyphs = hitachi[32:126] + [a02_5x7(a02, 126)]
    return glyphs


def make_hitachi2(hitachi, jp):
    glyphs = [hitachi[code] + blank(5, 3) for code in range(32, 194)]
    glyphs += [jp[code + 32] for code in range(194, 224)]
    return glyphs


CP437_LOW = "\u0000☺☻♥♦♣♠•◘○◙♂♀♪♫☼►◄↕‼¶§▬↨↑↓→←∟↔▲▼"


def cp437_code_point(code):
    if code < 32:
        return ord(CP437_LOW[code])
    if code == 127:
        return 0x2302
    return ord(bytes([code]).decode("cp437"))


def make_dos5x7(fixed5x7):
    glyphs = []
    for code in range(256):
        cp = cp437_code_point(code)
        glyphs.append(blank(5, 7) if cp in (0, 0xA0) else bdf_cell(fixed5x7, cp))
    return glyphs


def make_from_bdf(font, drop_top, cols):
    glyphs = []
    for code in range(32, 127):
        cell = bdf_cell(font, code)
        if drop_top:
            if any(cell[0]):
                sys.exit(f"code {code} uses the top row that should be always blank")
            cell = cell[1:]
        glyphs.append(pad_columns(cell, cols))
    return glyphs


# ---------------------------------------------------------------- output


def glyph_name(code, dos):
    if dos:
        ch = chr(cp437_code_point(code))
    else:
        ch = chr(code) if 32 <= code < 127 else ""
    if not ch.isprintable() or ch in "\\*/" or ch.isspace():
        return ""
    return " " + ch


def emit_table(out, name, cols, rows, first, glyphs, dos=False):
    last = first + len(glyphs) - 1
    out.append(f"const std::uint16_t k{name}Rows[] = {{")
    for i, glyph in enumerate(glyphs):
        if len(glyph) != rows or any(len(row) != cols for row in glyph):
            sys.exit(f"{name} glyph {first + i} is not {cols}x{rows}")
        values = ", ".join(
            "0x%03x" % sum(bit << (cols - 1 - c) for c, bit in enumerate(row)) for row in glyph
        )
        out.append(f"    /* {first + i:3d}{glyph_name(first + i, dos)} */ {values},")
    out.append("};")
    out.append("")
    return f"const LcdFontTable k{name} = {{{cols}, {rows}, {first}, {last}, k{name}Rows}};"


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--bdf-dir", required=True, help="folder with 5x7.bdf 5x8.bdf 6x9.bdf 8x13.bdf")
    parser.add_argument("--node-modules", required=True, help="node_modules with the two packages")
    parser.add_argument("--output", required=True)
    args = parser.parse_args()

    bdf = {n: parse_bdf(Path(args.bdf_dir) / f"{n}.bdf") for n in ("5x7", "5x8", "6x9", "8x13")}
    esm = Path(args.node_modules) / "@wokwi/elements/dist/esm"
    a00 = parse_wokwi_rom(esm / "lcd1602-font-a00.js")
    a02 = parse_wokwi_rom(esm / "lcd1602-font-a02.js")
    jp = parse_char_lcd_jp(Path(args.node_modules) / "char-lcd/javascript/char-lcd.js")

    hitachi = make_hitachi(a00, a02)
    out = [
        "// Generated by tools/fonts/make_lcd_fonts.py from misc-fixed (public domain) and the",
        "// character-LCD ROM tables of @wokwi/elements and char-lcd (MIT); see README.md.",
        "// Each glyph is its rows from top to bottom; the highest used bit is the leftmost dot.",
        '#include "lcd_font_tables.h"',
        "",
        "namespace lcdfonts {",
        "",
    ]
    tables = [
        emit_table(out, "Mat5x7", 5, 7, 32, make_mat5x7(hitachi, a02)),
        emit_table(out, "Mat5x8", 5, 8, 32, make_from_bdf(bdf["5x8"], False, 5)),
        emit_table(out, "Mat7x9", 7, 9, 32, make_from_bdf(bdf["6x9"], False, 7)),
        emit_table(out, "Mat9x12", 9, 12, 32, make_from_bdf(bdf["8x13"], True, 9)),
        emit_table(out, "Hitachi", 5, 7, 0, hitachi),
        emit_table(out, "Hitachi2", 5, 10, 32, make_hitachi2(hitachi, jp)),
        emit_table(out, "Dos5x7", 5, 7, 0, make_dos5x7(bdf["5x7"]), dos=True),
    ]
    out += tables + ["", "} // namespace lcdfonts", ""]
    Path(args.output).write_text("\n".join(out), encoding="utf-8")


if __name__ == "__main__":
    main()
