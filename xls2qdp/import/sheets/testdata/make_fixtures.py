#!/usr/bin/python3
# SPDX-License-Identifier: MIT
# Makes the workbook fixtures of the sheet reader tests, once, with LibreOffice
# (soffice), from flat OpenDocument sources (.fods): cells.fods is written by
# hand, the declaration sheets are written by this script. Run it in this
# folder:  ./make_fixtures.py
# LibreOffice recalculates formulas on loading (a profile of our own asks for
# it); its .xls export keeps text results of formulas only when converting from
# .xlsx, so .xls files are made from the .xlsx ones.
import html
import os
import shutil
import subprocess
import tempfile

HEADER = ["Rodzaj_listy", "PESEL", "Nazwisko", "Imię", "Nazwisko_rodowe", "Data_urodzenia",
          "Płeć", "Tytuł_ubezp", "Data_zgłoszenia", "Nr_wyboru", "Status_podopiecznego"]

def cell(value):
    """value: None, text, number, ('date', 'YYYY-MM-DD'), ('formula', 'of:=...', number),
    ('dateformula', 'of:=...', 'YYYY-MM-DD')"""
    if value is None:
        return '<table:table-cell/>'
    if isinstance(value, str):
        paragraphs = ''.join('<text:p>%s</text:p>' % html.escape(p, quote=False) for p in value.split('\n'))
        # Runs of blanks must be written as text:s to survive.
        paragraphs = paragraphs.replace('  ', ' <text:s/>')
        return '<table:table-cell office:value-type="string">%s</table:table-cell>' % paragraphs
    if isinstance(value, (int, float)):
        return '<table:table-cell office:value-type="float" office:value="%r"><text:p>%r</text:p></table:table-cell>' % (value, value)
    kind = value[0]
    if kind == 'date':
        return ('<table:table-cell table:style-name="ce1" office:value-type="date" office:date-value="%s">'
                '<text:p>%s</text:p></table:table-cell>' % (value[1], value[1]))
    if kind == 'formula':
        return ('<table:table-cell table:formula="%s" office:value-type="float" office:value="%r">'
                '<text:p>%r</text:p></table:table-cell>' % (html.escape(value[1]), value[2], value[2]))
    if kind == 'dateformula':
        return ('<table:table-cell table:style-name="ce1" table:formula="%s" office:value-type="date" '
                'office:date-value="%s"><text:p>%s</text:p></table:table-cell>' % (html.escape(value[1]), value[2], value[2]))
    raise ValueError(value)

def fods(rows):
    """rows: {row number: [values from column A]}"""
    out = []
    last = 0
    for number in sorted(rows):
        if number > last + 1:
            out.append('<table:table-row table:number-rows-repeated="%d"><table:table-cell/></table:table-row>' % (number - last - 1))
        out.append('<table:table-row>%s</table:table-row>' % ''.join(cell(v) for v in rows[number]))
        last = number
    return '''<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0" xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0" xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
<number:date-style style:name="N1"><number:day number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:year number:style="long"/></number:date-style>
<style:style style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>
</office:automatic-styles>
<office:body><office:spreadsheet><table:table table:name="Deklaracje">
%s
</table:table></office:spreadsheet></office:body></office:document>
''' % '\n'.join(out)

def declaration(**columns):
    """A row of 38 cells from column letters."""
    row = [None] * 38
    for letters, value in columns.items():
        index = 0
        for ch in letters:
            index = index * 26 + ord(ch) - ord('A') + 1
        row[index - 1] = value
    return row

TITLE = {1: ["Deklaracje POZ – przychodnia testowa"], 3: ["Stan na:", ('date', '2026-01-15')]}

def declarations():
    rows = dict(TITLE)
    # Header names differing only in case and surrounding blanks pass.
    rows[6] = ["  rodzaj_listy ", "PESEL", "NAZWISKO", "imię", "Nazwisko_rodowe", "data_urodzenia",
               "PŁEĆ", "tytuł_ubezp", "Data_zgłoszenia ", "nr_wyboru", "Status_podopiecznego"]
    rows[7] = declaration(A="L", B="85010112345", C="Kowalski", D="Jan", F=('date', '1960-03-05'), G="M",
                          H="P", I=('date', '2025-09-01'), J=('formula', 'of:=1+0', 1), N="N", O="N",
                          P="31-042", Q="Kraków", R="Floriańska", S=12, T="3A", U="Kraków",
                          V="12 345 67 89", AD=1234567, AE="64021875579", AF="Michalski", AG="Krzysztof",
                          AK=('dateformula', 'of:=DATE(1990;5;17)', '1990-05-17'))
    rows[8] = declaration(A="L", B=" 0 ", C="Nowak\nKowalska", D="Anna", F="05-03-1960", G="K", H="C",
                          I="01-09-2025", P=12345, Q="Gierałtów", U="Nowogrodziec", AH="Nowak",
                          AI="Piotr", AJ="60010112345", AK=('date', '1960-01-01'), AL="N")
    rows[9] = declaration(A="P", B=2270803628, C="Żółkiewska", D="Zofia  Anna", F="1960-03-05", G="K",
                          H="c", L="S", M=2004, P="1234", Q="Warszawa", U="Warszawa")
    rows[10] = declaration(A="L", C="Kovalenko", D="Olena", F=('date', '1988-11-30'), G="K", N="T")
    rows[11] = declaration(A="L", B="0", C="Wiśniewski", D="Łukasz", L="S", M="2004/05")
    # Only column E filled: the data end here, although more rows follow.
    rows[12] = declaration(E="Nazwisko rodowe bez reszty")
    rows[13] = declaration(A="L", B="99999999999", C="Za", D="Końcem")
    return rows

def header_variant(names):
    rows = dict(TITLE)
    rows[6] = names
    rows[7] = declaration(A="L", B="85010112345", C="Kowalski", D="Jan")
    return rows

def row7_empty():
    rows = dict(TITLE)
    rows[6] = list(HEADER)
    rows[8] = declaration(A="L", B="85010112345", C="Kowalski", D="Jan")
    return rows

PROFILE = '''<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance">
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="ODFRecalcMode" oor:op="fuse"><value>0</value></prop></item>
<item oor:path="/org.openoffice.Office.Calc/Formula/Load"><prop oor:name="OOXMLRecalcMode" oor:op="fuse"><value>0</value></prop></item>
</oor:items>
'''

def convert(profile, source, target_format, outdir):
    subprocess.run(['soffice', '-env:UserInstallation=file://' + profile, '--headless', '--convert-to',
                    target_format, '--outdir', outdir, source], check=True, capture_output=True)

def main():
    sources = {'declarations.fods': declarations(),
               'header_imie.fods': header_variant(HEADER[:3] + ["Imie"] + HEADER[4:]),
               'header_swapped.fods': header_variant(HEADER[:3] + [HEADER[4], HEADER[3]] + HEADER[5:]),
               'row7_empty.fods': row7_empty()}
    for name, rows in sources.items():
        with open(name, 'w', encoding='utf-8') as f:
            f.write(fods(rows))
    wanted = {'cells.fods': ['xlsx', 'ods', 'xls'], 'declarations.fods': ['xlsx', 'ods', 'xls'],
              'header_imie.fods': ['xlsx'], 'header_swapped.fods': ['ods'], 'row7_empty.fods': ['xls']}
    with tempfile.TemporaryDirectory() as work:
        profile = os.path.join(work, 'profile')
        os.makedirs(os.path.join(profile, 'user'))
        with open(os.path.join(profile, 'user', 'registrymodifications.xcu'), 'w') as f:
            f.write(PROFILE)
        for source, formats in wanted.items():
            stem = source[:-5]
            convert(profile, source, 'xlsx:Calc MS Excel 2007 XML', work)
            for fmt in formats:
                if fmt == 'xlsx':
                    shutil.copy(os.path.join(work, stem + '.xlsx'), stem + '.xlsx')
                elif fmt == 'ods':
                    convert(profile, source, 'ods', '.')
                else:
                    convert(profile, os.path.join(work, stem + '.xlsx'), 'xls:MS Excel 97', '.')

main()
