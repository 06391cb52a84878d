#!/usr/bin/python3
"""Reads a spreadsheet file with an independent reader and prints its cells as JSON.

Usage: readsheet.py xls|xlsx|csv|plaincsv FILE

Output: a list of sheets {"name": ..., "rows": [[cell, ...], ...]}, where a cell is null (empty),
a number, or {"s": text}. CSV gives one sheet whose cells are all text, and fails unless the file
starts with a UTF-8 byte-order mark; a cell beginning with an apostrophe loses that one, which the
program puts before a text a spreadsheet would take for a formula ("plaincsv": a file without a mark
or apostrophes, taken as it stands).
"""
import csv
import io
import json
import sys


def read_xls(path):
    import xlrd
    book = xlrd.open_workbook(path)
    sheets = []
    for sheet in book.sheets():
        rows = []
        for r in range(sheet.nrows):
            row = []
            for c in range(sheet.ncols):
                cell = sheet.cell(r, c)
                if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                    row.append(None)
                elif cell.ctype == xlrd.XL_CELL_NUMBER:
                    row.append(cell.value)
                elif cell.ctype == xlrd.XL_CELL_TEXT:
                    row.append({"s": cell.value})
                else:
                    sys.exit("unexpected cell type %d in %s at row %d, column %d" % (cell.ctype, sheet.name, r, c))
            rows.append(row)
        sheets.append({"name": sheet.name, "rows": rows})
    return sheets


def read_xlsx(path):
    import openpyxl
    # openpyxl hands over the format's escapes (_xHHHH_, how a workbook carries a CR, for one) as they
    # stand; the spreadsheet programs read them as the characters they stand for.
    from openpyxl.utils.escape import unescape
    book = openpyxl.load_workbook(path, read_only=True)
    sheets = []
    for sheet in book.worksheets:
        rows = []
        for values in sheet.iter_rows(values_only=True):
            row = []
            for v in values:
                if v is None:
                    row.append(None)
                elif isinstance(v, (int, float)) and not isinstance(v, bool):
                    row.append(v)
                elif isinstance(v, str):
                    row.append({"s": unescape(v)})
                else:
                    sys.exit("unexpected value %r in %s" % (v, sheet.title))
            rows.append(row)
        sheets.append({"name": sheet.title, "rows": rows})
    return sheets


def read_csv(path, bom=True):
    with open(path, "rb") as f:
        data = f.read()
    if bom:
        if not data.startswith(b"\xef\xbb\xbf"):
            sys.exit("no UTF-8 byte-order mark")
        data = data[3:]
    text = data.decode("utf-8")
    rows = [[{"s": v[1:] if bom and v.startswith("'") else v} for v in row]
            for row in csv.reader(io.StringIO(text, newline=""), strict=True)]
    return [{"name": "", "rows": rows}]


def main():
    kind, path = sys.argv[1], sys.argv[2]
    reader = {"xls": read_xls, "xlsx": read_xlsx, "csv": read_csv,
              "plaincsv": lambda p: read_csv(p, bom=False)}[kind]
    json.dump(reader(path), sys.stdout, ensure_ascii=False)


main()
