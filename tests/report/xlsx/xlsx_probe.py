#!/usr/bin/env python3
"""An independent reader and maker of .xlsx files for the export tests.

  xlsx_probe.py dump FILE           every sheet, then its filled cells as
                                    REF=repr(value) [number format]
  xlsx_probe.py parts FILE          the names of the package's parts
  xlsx_probe.py make FILE [OPTION]  a workbook with sheets "Data" and
                                    "Other"; OPTION "protect" protects
                                    "Data", "formula" gives it a formula
                                    listed in a calculation chain,
                                    "prefixed" writes "Other" with a
                                    namespace prefix, "broken" cuts the
                                    XML of "Data" short
"""
import shutil
import sys
import zipfile

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


def rewrite(path, edits, added=None):
    """Replaces text in the named parts and adds parts."""
    shutil.move(path, path + ".plain")
    with zipfile.ZipFile(path + ".plain") as source, zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as target:
        for name in source.namelist():
            content = source.read(name).decode()
            for old, new in edits.get(name, []):
                content = content.replace(old, new)
            target.writestr(name, content)
        for name, content in (added or {}).items():
            target.writestr(name, content)


def prefix_other_sheet(path):
    sheet = "xl/worksheets/sheet2.xml"
    content = zipfile.ZipFile(path).read(sheet).decode()
    prefixed = content.replace("<", "<x:").replace("<x:/", "</x:").replace("xmlns=", "xmlns:x=")
    rewrite(path, {sheet: [(content, prefixed)]})


def add_calculation_chain(path):
    """Adds the chain a spreadsheet program keeps of its formula cells."""
    edits = {
        "xl/_rels/workbook.xml.rels": [("</Relationships>",
                                        '<Relationship Id="rIdChain" Type="http://schemas.openxmlformats.org/'
                                        'officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/>'
                                        "</Relationships>")],
        "[Content_Types].xml": [("</Types>",
                                 '<Override PartName="/xl/calcChain.xml" ContentType="application/'
                                 'vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>')],
    }
    rewrite(path, edits, {"xl/calcChain.xml": '<calcChain xmlns="http://schemas.openxmlformats.org/'
                                              'spreadsheetml/2006/main"><c r="D3" i="1"/></calcChain>'})


def make(path, option):
    workbook = openpyxl.Workbook()
    data = workbook.active
    data.title = "Data"
    data["A1"] = "keep A1"
    data["C2"] = "inside"
    data["B3"] = 7
    data["B3"].number_format = "0.0"
    data["F2"] = "right of block"
    data["B9"] = "below"
    if option == "protect":
        data.protection.sheet = True
    if option == "formula":
        data["D3"] = "=B3*2"
    other = workbook.create_sheet("Other")
    other["A1"] = "other"
    other["B2"] = 42
    workbook.save(path)
    if option == "formula":
        add_calculation_chain(path)
    if option == "prefixed":
        prefix_other_sheet(path)
    if option == "broken":
        rewrite(path, {"xl/worksheets/sheet1.xml": [("</sheetData>", "")]})


if __name__ == "__main__":
    if sys.argv[1] == "dump":
        dump(sys.argv[2])
    elif sys.argv[1] == "parts":
        print("\n".join(sorted(zipfile.ZipFile(sys.argv[2]).namelist())))
    else:
        make(sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else "")
