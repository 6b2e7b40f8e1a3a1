#!/usr/bin/env python3
"""Makes a test PDF from a UTF-8 text with LibreOffice Writer: A4 pages, a running head, the page
number in the footer ("- N -"), one paragraph per line of the text; a line with '|' is a table row.

    python3 make_pdf.py sample.txt "文書管理規程（改正案）"   # writes sample.pdf
"""
import os
import subprocess
import sys
import tempfile
from xml.sax.saxutils import escape

source, head = sys.argv[1], sys.argv[2]
lines = open(source, encoding="utf-8").read().splitlines()

body = []
row_block = []


def flush_table():
    if not row_block:
        return
    columns = len(row_block[0])
    body.append('<table:table table:name="T" table:style-name="Tbl">')
    body.append('<table:table-column table:number-columns-repeated="%d"/>' % columns)
    for cells in row_block:
        body.append("<table:table-row>")
        for cell in cells:
            body.append('<table:table-cell office:value-type="string" table:style-name="Cell">'
                        '<text:p text:style-name="P">%s</text:p></table:table-cell>' % escape(cell))
        body.append("</table:table-row>")
    body.append("</table:table>")
    row_block.clear()


for line in lines:
    if "|" in line:
        row_block.append(line.split("|"))
        continue
    flush_table()
    body.append('<text:p text:style-name="P">%s</text:p>' % escape(line))
flush_table()

fodt = f"""<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 office:version="1.3" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:font-face-decls>
  <style:font-face style:name="DejaVu Serif" svg:font-family="'DejaVu Serif'" xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"/>
  <style:font-face style:name="IPAMincho" svg:font-family="IPAMincho" xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"/>
 </office:font-face-decls>
 <office:styles>
  <style:style style:name="P" style:family="paragraph">
   <style:paragraph-properties fo:text-align="justify" fo:margin-bottom="0.2cm"/>
   <style:text-properties style:font-name="DejaVu Serif" fo:font-size="15pt"
    style:font-name-asian="IPAMincho" style:font-size-asian="15pt" fo:language="en" fo:country="US"
    style:language-asian="ja" style:country-asian="JP"/>
  </style:style>
  <style:style style:name="Head" style:family="paragraph" style:parent-style-name="P">
   <style:paragraph-properties fo:text-align="end"/>
  </style:style>
  <style:style style:name="Foot" style:family="paragraph" style:parent-style-name="P">
   <style:paragraph-properties fo:text-align="center"/>
  </style:style>
 </office:styles>
 <office:automatic-styles>
  <style:page-layout style:name="A4">
   <style:page-layout-properties fo:page-width="21cm" fo:page-height="29.7cm"
    fo:margin-top="1.5cm" fo:margin-bottom="1.5cm" fo:margin-left="2.5cm" fo:margin-right="2.5cm"/>
   <style:header-style><style:header-footer-properties fo:min-height="0cm" fo:margin-bottom="0.8cm"/></style:header-style>
   <style:footer-style><style:header-footer-properties fo:min-height="0cm" fo:margin-top="0.8cm"/></style:footer-style>
  </style:page-layout>
  <style:style style:name="Tbl" style:family="table"><style:table-properties style:width="16cm" table:align="left"/></style:style>
  <style:style style:name="Cell" style:family="table-cell"><style:table-cell-properties fo:border="0.5pt solid #000000" fo:padding="0.1cm"/></style:style>
 </office:automatic-styles>
 <office:master-styles>
  <style:master-page style:name="Standard" style:page-layout-name="A4">
   <style:header><text:p text:style-name="Head">{escape(head)}</text:p></style:header>
   <style:footer><text:p text:style-name="Foot">- <text:page-number text:select-page="current">1</text:page-number> -</text:p></style:footer>
  </style:master-page>
 </office:master-styles>
 <office:body><office:text>
{chr(10).join(body)}
 </office:text></office:body>
</office:document>
"""

stem = os.path.splitext(os.path.basename(source))[0]
with tempfile.TemporaryDirectory() as work:
    path = os.path.join(work, stem + ".fodt")
    with open(path, "w", encoding="utf-8") as out:
        out.write(fodt)
    subprocess.run(["soffice", "--headless", "-env:UserInstallation=file://" + work + "/profile",
                    "--convert-to", "pdf", "--outdir", os.getcwd(), path], check=True,
                   stdout=subprocess.DEVNULL)
