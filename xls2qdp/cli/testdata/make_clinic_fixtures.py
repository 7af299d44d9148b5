#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Makes the clinic workbook fixtures of the command-line tests, once: small
# sheets as clinics keep them, each showing one way a real workbook goes
# wrong. The sheets are written as flat OpenDocument (.fods) and saved by
# LibreOffice (soffice) as .ods, .xls, .xlsx or .csv, as a clinic's own
# spreadsheet program would save them; formula.xlsx is written directly, as a
# program that stores formulas without their results writes it. Run it in
# this folder:  ./make_clinic_fixtures.py
import html
import os
import shutil
import subprocess
import tempfile
import zipfile

TEMPLATE = ["Rodzaj_listy", "PESEL", "Nazwisko", "Imię", "Nazwisko_rodowe", "Data_urodzenia",
            "Płeć", "Tytuł_ubezp", "Data_zgłoszenia", "Nr_wyboru", "Status_podopiecznego",
            "Uczeń_student", "Rok_szkolny", "Cudzoziemiec", "Bezdomny", "Kod_poczt_zam",
            "Miejscowość_zam", "Ulica_zam", "Nr_domu_zam", "Nr_lokalu_zam", "Gmina_zam",
            "Telefon_zam", "Kod_poczt_zamieszk", "Miejscowość_zamieszk", "Ulica_zamieszk",
            "Nr_domu_zamieszk", "Nr_lokalu_zamieszk", "Gmina_zamieszk", "Telefon_zamieszk",
            "Nr_prawa_lek", "PESEL_lek", "Nazwisko_lek", "Imiona_lek", "Nazwisko_zgł", "Imię_zgł",
            "PESEL_zgł", "Data_ur_zgł", "Cudzoziemiec_zgł"]
TITLE = {1: ["Deklaracje POZ – przychodnia"], 3: ["Stan na:", "15-01-2026"]}

# Date cells in three display forms: the program's own, and the two a Polish
# spreadsheet uses (its CSV files keep the displayed text).
DATE_STYLES = {'date': 'ce1', 'date.': 'ce2', 'date/': 'ce3'}


def cell(value):
    """None, text, number, (style, 'YYYY-MM-DD') for a date cell."""
    if value is None:
        return '<table:table-cell/>'
    if isinstance(value, str):
        text = html.escape(value, quote=False)
        return '<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>' % text
    if isinstance(value, (int, float)):
        return ('<table:table-cell office:value-type="float" office:value="%r"><text:p>%r</text:p>'
                '</table:table-cell>' % (value, value))
    return ('<table:table-cell table:style-name="%s" office:value-type="date" office:date-value="%s">'
            '<text:p>%s</text:p></table:table-cell>' % (DATE_STYLES[value[0]], value[1], value[1]))


def table(name, rows):
    out, last = [], 0
    for number in sorted(rows):
        if number > last + 1:
            out.append('<table:table-row table:number-rows-repeated="%d"><table:table-cell/>'
                       '</table:table-row>' % (number - last - 1))
        out.append('<table:table-row>%s</table:table-row>' % ''.join(cell(v) for v in rows[number]))
        last = number
    if not out:
        out.append('<table:table-row><table:table-cell/></table:table-row>')
    return '<table:table table:name="%s">%s</table:table>' % (html.escape(name), '\n'.join(out))


def date_style(name, separator, order):
    parts = {'d': '<number:day number:style="long"/>', 'm': '<number:month number:style="long"/>',
             'y': '<number:year number:style="long"/>'}
    inner = ('<number:text>%s</number:text>' % separator).join(parts[p] for p in order)
    return '<number:date-style style:name="%s">%s</number:date-style>' % (name, inner)


def fods(sheets):
    """sheets: [(name, {row number: [values from column A]})]"""
    return '''<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
%s
%s
%s
<style:style style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>
<style:style style:name="ce2" style:family="table-cell" style:data-style-name="N2"/>
<style:style style:name="ce3" style:family="table-cell" style:data-style-name="N3"/>
</office:automatic-styles>
<office:body><office:spreadsheet>
%s
</office:spreadsheet></office:body></office:document>
''' % (date_style('N1', '-', 'dmy'), date_style('N2', '.', 'dmy'), date_style('N3', '/', 'dmy'),
       '\n'.join(table(name, rows) for name, rows in sheets))


def row(**columns):
    """38 cells from column letters."""
    cells = [None] * 38
    for letters, value in columns.items():
        index = 0
        for ch in letters:
            index = index * 26 + ord(ch) - ord('A') + 1
        cells[index - 1] = value
    return cells


def sheet(*data, header=TEMPLATE):
    rows = dict(TITLE)
    rows[6] = list(header)
    for number, cells in data:
        rows[number] = cells
    return rows


# 60030512342: born 05-03-1960; 02270803624: born 08-07-2002; 70010112341: a doctor.
def kowalski(**more):
    cells = dict(A="L", B="60030512342", C="Kowalski", D="Jan", F=('date', '1960-03-05'), G="M",
                 H="P", I=('date', '2025-09-01'), J=1, N="N", O="N", P="31-042", Q="Kraków",
                 U="Kraków", AE="70010112341", AF="Lekarz", AG="Adam")
    cells.update(more)
    return row(**cells)


def shifted(cells):
    """A column typed in after K: everything from L on moves one to the right."""
    return cells[:11] + ["uwagi"] + cells[11:37]


FIXTURES = {
    'blank_row.ods': [("Deklaracje", sheet((7, kowalski()), (8, kowalski(C="Nowak")),
                                           (10, kowalski(C="Wiśniewski"))))],
    'header_only.xls': [("Deklaracje", sheet())],
    'polish_dates.csv': [("Deklaracje", sheet(
        (7, kowalski(F=('date.', '1960-03-05'), H="C", I="01/09/2025", AK="1961-04-06",
                     AH="Kowalska", AI="Anna")),
        (8, kowalski(C="Nowak", F="06.03.1960", I=('date/', '2025-09-02')))))],
    'numbers.xls': [("Deklaracje", sheet(
        (7, kowalski(B=2270803624, F=('date', '2002-07-08'), P=3470, W=12345)),
        (8, kowalski(C="Nowak", B="6003051234", AE="7001011234X"))))],
    'total_row.ods': [("Deklaracje", sheet((7, kowalski()), (8, row(A="Razem:", B=1))))],
    'pasted.ods': [("Deklaracje", sheet((7, kowalski(C="\u00a0Kowalski\u00a0", D="Jan\u2009")),
                                        (8, kowalski(C="Жуков", D="Muñoz"))))],
    'shifted.xls': [("Deklaracje", sheet(*[(7 + i, shifted(kowalski(C=name)))
                                           for i, name in enumerate(["Kowalski", "Nowak", "Wójcik"])],
                                         header=shifted(TEMPLATE)))],
    'odd_header.ods': [("Deklaracje", sheet((7, kowalski()),
                                            header=TEMPLATE[:16] + ["Kod_poczt_zam"] + TEMPLATE[17:]))],
    'second_sheet.xlsx': [("Instrukcja", {1: ["Deklaracje wpisuj w arkuszu obok."]}),
                          ("Deklaracje", sheet((7, kowalski())))],
    'second_sheet.ods': [("Instrukcja", {1: ["Deklaracje wpisuj w arkuszu obok."]}),
                         ("Deklaracje", sheet((7, kowalski())))],
    'second_sheet.xls': [("Instrukcja", {1: ["Deklaracje wpisuj w arkuszu obok."]}),
                         ("Deklaracje", sheet((7, kowalski())))],
    'wrong_header.xls': [("Deklaracje", sheet((7, kowalski()),
                                              header=TEMPLATE[:3] + ["Imie"] + TEMPLATE[4:]))],
    'empty.ods': [("Arkusz1", {})],
}

FORMATS = {'.ods': 'ods', '.xls': 'xls:MS Excel 97', '.xlsx': 'xlsx:Calc MS Excel 2007 XML',
           '.csv': 'csv:Text - txt - csv (StarCalc):59,34,76,1'}


def formula_xlsx(name):
    """Row 7 with a formula in E whose result the file does not hold."""
    def c(ref, text):
        return '<c r="%s" t="inlineStr"><is><t>%s</t></is></c>' % (ref, html.escape(text))
    header = ''.join(c('%s6' % chr(ord('A') + i), TEMPLATE[i]) for i in range(11))
    data = (c('A7', 'L') + c('B7', '60030512342') + c('C7', 'Kowalski') + c('D7', 'Jan') +
            '<c r="E7"><f>CONCATENATE(C7," ",D7)</f></c>')
    parts = {
        '[Content_Types].xml': '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>',
        '_rels/.rels': '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>',
        'xl/workbook.xml': '<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="Deklaracje" sheetId="1" r:id="rId1"/></sheets></workbook>',
        'xl/_rels/workbook.xml.rels': '<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/></Relationships>',
        'xl/worksheets/sheet1.xml': '<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="6">%s</row><row r="7">%s</row></sheetData></worksheet>' % (header, data),
    }
    with zipfile.ZipFile(name, 'w', zipfile.ZIP_DEFLATED) as z:
        for part, text in parts.items():
            z.writestr(part, text)


def main():
    with tempfile.TemporaryDirectory() as work:
        profile = os.path.join(work, 'profile')
        for name, sheets in FIXTURES.items():
            stem, extension = os.path.splitext(name)
            source = os.path.join(work, stem + '.fods')
            with open(source, 'w', encoding='utf-8') as f:
                f.write(fods(sheets))
            subprocess.run(['soffice', '-env:UserInstallation=file://' + profile, '--headless',
                            '--convert-to', FORMATS[extension], '--outdir', work, source],
                           check=True, capture_output=True)
            shutil.copy(os.path.join(work, name), name)
    formula_xlsx('formula.xlsx')


main()
