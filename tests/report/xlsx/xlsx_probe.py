#!/usr/bin/env python3
"""An independent reader and maker of .xlsx files for the export tests.

  xlsx_probe.py dump FILE           every sheet, then its filled cells as
                                    REF=repr(value) [number format]
  xlsx_probe.py make FILE [protect] a workbook with sheets "Data" and
                                    "Other"; "Data" protected on request
"""
import sys

import openpyxl


def dump(path):
    workbook = openpyxl.load_workbook(path)
    for sheet in workbook.worksheets:
        print(f"[{sheet.title}]")
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is None:
                    continue
                line = f"{cell.coordinate}={cell.value!r}"
                if isinstance(cell.value, (int, float)):
                    line += f" {cell.number_format}"
                print(line)


def make(path, protect):
    workbook = openpyxl.Workbook()
    data = workbook.active
    data.title = "Data"
    data["A1"] = "keep A1"
    data["C2"] = "inside"
    data["B3"] = 7
    data["F2"] = "right of block"
    data["B9"] = "below"
    if protect:
        data.protection.sheet = True
    other = workbook.create_sheet("Other")
    other["A1"] = "other"
    other["B2"] = 42
    workbook.save(path)


if __name__ == "__main__":
    if sys.argv[1] == "dump":
        dump(sys.argv[2])
    else:
        make(sys.argv[2], len(sys.argv) > 3 and sys.argv[3] == "protect")
