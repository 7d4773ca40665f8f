#!/usr/bin/env python3
"""Makes the spreadsheets of the spreadsheet-source tests with real producers:
XlsxWriter (python3-xlsxwriter) and openpyxl (python3-openpyxl) for XLSX, odfpy
(python3-odf) for ODS, msoffcrypto-tool (python3-msoffcrypto-tool) for a workbook
encrypted with a password.

    fogli.py tipi OUT.xlsx|OUT.ods      the typed sheets of the tests
    fogli.py openpyxl OUT.xlsx          the same first sheet, written by openpyxl
    fogli.py righe N OUT.xlsx|OUT.ods|OUT.csv   N rows of 5 columns
    fogli.py cifrato OUT.xlsx           the container of a password-encrypted workbook

Debian 12 has no producer that encrypts a workbook (msoffcrypto-tool 5.0 only decrypts),
so "cifrato" writes the OLE compound file that Excel and LibreOffice write for one: a
header, a FAT sector and a directory naming the streams EncryptionInfo and
EncryptedPackage (empty here: the reader refuses the file by these names).

Exits with 3 and a message when the producer is not installed."""
import csv
import datetime
import sys

# The typed sheet: codes with leading zeros, non-ASCII text, numbers, dates, times,
# booleans, an empty header, a repeated header, formulas with cached results, an
# empty row and a merged cell; then an empty sheet and a short one.
INTESTAZIONE = ["Codice", "Nome", "Prezzo", "Arrivo", "Ora", "Attivo", "", "nome", "Totale"]
RIGHE = [
    ["00123", "Caffè", 12.5, datetime.datetime(2024, 3, 1), datetime.time(8, 30), True, None, "x", ("=C2*2", 25)],
    ["00456", "Tè verde", 3, datetime.datetime(2024, 12, 31, 18, 45), datetime.time(23, 59, 59), False, 7, "y",
     ("=IF(C3>5,\"caro\",\"economico\")", "economico")],
    ["00789", "Città ✓ 東京", 12.5, datetime.datetime(2024, 3, 2), None, True, None, None, ("=C4*2", 25)],
    None,
    ["01000", "Ultimo", 1000000, datetime.datetime(1999, 12, 31), datetime.time(12, 0), False, None, "unito", None],
    ["01001", None, None, None, None, None, None, None, None],
]
# text that the XML of every format escapes
TESTO_XML = "uno & <due> \"tre\""
UNIONE = (6, 7, 7, 8)  # rows 6-7 (1-based) of columns H-I: "unito" spans the four cells


def manca(nome):
    print("the producer %s is not installed" % nome)
    sys.exit(3)


def xlsx_tipi(uscita):
    try:
        import xlsxwriter
    except ImportError:
        manca("python3-xlsxwriter")
    wb = xlsxwriter.Workbook(uscita)
    data = wb.add_format({"num_format": "dd/mm/yyyy"})
    dataora = wb.add_format({"num_format": "yyyy-mm-dd hh:mm"})
    ora = wb.add_format({"num_format": "hh:mm:ss"})
    ws = wb.add_worksheet("Articoli")
    ws.write_row(0, 0, INTESTAZIONE)
    for r, riga in enumerate(RIGHE, start=1):
        if riga is None:
            continue
        for c, v in enumerate(riga):
            if v is None:
                continue
            if isinstance(v, tuple):
                ws.write_formula(r, c, v[0], None, v[1])
            elif isinstance(v, bool):
                ws.write_boolean(r, c, v)
            elif isinstance(v, str):
                ws.write_string(r, c, v)
            elif isinstance(v, datetime.datetime):
                ws.write_datetime(r, c, v, dataora if v.hour or v.minute else data)
            elif isinstance(v, datetime.time):
                ws.write_datetime(r, c, v, ora)
            else:
                ws.write_number(r, c, v)
    r0, c0, r1, c1 = UNIONE
    ws.merge_range(r0 - 1, c0, r1 - 1, c1, "unito")
    wb.add_worksheet("Vuoto")
    ws = wb.add_worksheet("Città")
    ws.write_row(0, 0, ["Numero", "Numero"])
    ws.write_row(1, 0, [1, TESTO_XML])
    wb.close()


def ods_tipi(uscita):
    try:
        from odf.opendocument import OpenDocumentSpreadsheet
        from odf.table import Table, TableRow, TableCell, CoveredTableCell, TableHeaderRows, TableRowGroup
        from odf.text import P
    except ImportError:
        manca("python3-odf")
    doc = OpenDocumentSpreadsheet()

    def cella(v):
        if v is None:
            return TableCell()
        if isinstance(v, tuple):
            f, risultato = v
            f = "of:=" + f[1:].replace("C2", "[.C2]").replace("C3", "[.C3]").replace("C4", "[.C4]")
            if isinstance(risultato, str):
                c = TableCell(formula=f, valuetype="string", stringvalue=risultato)
            else:
                c = TableCell(formula=f, valuetype="float", value=risultato)
            testo = str(risultato)
        elif isinstance(v, bool):
            c = TableCell(valuetype="boolean", booleanvalue="true" if v else "false")
            testo = "TRUE" if v else "FALSE"
        elif isinstance(v, str):
            c = TableCell(valuetype="string")
            testo = v
        elif isinstance(v, datetime.datetime):
            testo = v.isoformat() if v.hour or v.minute else v.date().isoformat()
            c = TableCell(valuetype="date", datevalue=testo)
        elif isinstance(v, datetime.time):
            testo = "PT%02dH%02dM%02dS" % (v.hour, v.minute, v.second)
            c = TableCell(valuetype="time", timevalue=testo)
        else:
            c = TableCell(valuetype="float", value=v)
            testo = str(v)
        c.addElement(P(text=testo))
        return c

    t = Table(name="Articoli")
    # the header row as repeated print titles, the rows after it in a group (as LibreOffice
    # writes them)
    gruppi = {1: TableHeaderRows(), 2: TableRowGroup()}
    for g in gruppi.values():
        t.addElement(g)
    righe = [INTESTAZIONE] + RIGHE
    r0, c0, r1, c1 = UNIONE
    for r, riga in enumerate(righe, start=1):
        tr = TableRow()
        for c, v in enumerate(riga or [None]):
            if r == r0 and c == c0:
                cc = TableCell(valuetype="string", numberrowsspanned=r1 - r0 + 1, numbercolumnsspanned=c1 - c0 + 1)
                cc.addElement(P(text=v))
                tr.addElement(cc)
            elif r0 <= r <= r1 and c0 <= c <= c1:
                tr.addElement(CoveredTableCell())
            else:
                tr.addElement(cella(v if v != "" else None))
        gruppi[min(r, 2)].addElement(tr)
    doc.spreadsheet.addElement(t)
    doc.spreadsheet.addElement(Table(name="Vuoto"))
    t = Table(name="Città")
    for riga in (["Numero", "Numero"], [1, TESTO_XML]):
        tr = TableRow()
        for v in riga:
            tr.addElement(cella(v))
        t.addElement(tr)
    doc.spreadsheet.addElement(t)
    doc.save(uscita)


def openpyxl_tipi(uscita):
    try:
        import openpyxl
    except ImportError:
        manca("python3-openpyxl")
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Articoli"
    ws.append(INTESTAZIONE)
    for riga in RIGHE:
        # openpyxl keeps no results of formulas
        ws.append([(v[0] if isinstance(v, tuple) else v) for v in (riga or [None])])
    r0, c0, r1, c1 = UNIONE
    ws.merge_cells(start_row=r0, start_column=c0 + 1, end_row=r1, end_column=c1 + 1)
    wb.create_sheet("Vuoto")
    ws = wb.create_sheet("Città")
    ws.append(["Numero", "Numero"])
    ws.append([1, TESTO_XML])
    wb.save(uscita)


def righe(n, uscita):
    intestazione = ["Codice", "Nome", "Prezzo", "Arrivo", "Reparto"]
    def riga(i):
        return ["A%06d" % i, "Articolo %d" % i, (i % 1000) / 4, datetime.date(2000, 1, 1) + datetime.timedelta(days=i % 9000),
                "Reparto %d" % (i % 7)]
    if uscita.endswith(".csv"):
        with open(uscita, "w", newline="", encoding="utf-8") as f:
            w = csv.writer(f)
            w.writerow(intestazione)
            for i in range(1, n + 1):
                v = riga(i)
                w.writerow([v[0], v[1], v[2], v[3].isoformat(), v[4]])
    elif uscita.endswith(".xlsx"):
        try:
            import xlsxwriter
        except ImportError:
            manca("python3-xlsxwriter")
        # past 200,000 rows the rows go straight to the file, their text kept in the cells
        wb = xlsxwriter.Workbook(uscita, {"constant_memory": n > 200000})
        data = wb.add_format({"num_format": "yyyy-mm-dd"})
        ws = wb.add_worksheet("Articoli")
        ws.write_row(0, 0, intestazione)
        for i in range(1, n + 1):
            v = riga(i)
            ws.write_string(i, 0, v[0])
            ws.write_string(i, 1, v[1])
            ws.write_number(i, 2, v[2])
            ws.write_datetime(i, 3, datetime.datetime.combine(v[3], datetime.time()), data)
            ws.write_string(i, 4, v[4])
        wb.close()
    else:
        try:
            from odf.opendocument import OpenDocumentSpreadsheet
            from odf.table import Table, TableRow, TableCell
            from odf.text import P
        except ImportError:
            manca("python3-odf")
        doc = OpenDocumentSpreadsheet()
        t = Table(name="Articoli")
        def aggiungi(valori):
            tr = TableRow()
            for v in valori:
                if isinstance(v, str):
                    c = TableCell(valuetype="string")
                elif isinstance(v, datetime.date):
                    c = TableCell(valuetype="date", datevalue=v.isoformat())
                    v = v.isoformat()
                else:
                    c = TableCell(valuetype="float", value=v)
                c.addElement(P(text=str(v)))
                tr.addElement(c)
            t.addElement(tr)
        aggiungi(intestazione)
        for i in range(1, n + 1):
            aggiungi(riga(i))
        doc.spreadsheet.addElement(t)
        doc.save(uscita)


def cifrato(uscita):
    import struct
    fine = 0xFFFFFFFE
    libero = 0xFFFFFFFF
    intestazione = struct.pack("<8s16sHHHHH6sIIIIIIIII", bytes.fromhex("D0CF11E0A1B11AE1"), bytes(16), 0x3E, 3,
                               0xFFFE, 9, 6, bytes(6), 0, 1, 1, 0, 0x1000, fine, 0, fine, 0)
    intestazione += struct.pack("<I", 0) + struct.pack("<I", libero) * 108
    fat = struct.pack("<II", 0xFFFFFFFD, fine) + struct.pack("<I", libero) * 126

    def voce(nome, tipo, figlio=libero, destra=libero):
        n = (nome + "\0").encode("utf-16-le")
        return struct.pack("<64sHBBIII16sIQQIQ", n, len(n), tipo, 1, libero, destra, figlio, bytes(16), 0, 0, 0,
                           fine if tipo == 5 else 0, 0)

    cartella = (voce("Root Entry", 5, figlio=1) + voce("EncryptionInfo", 2, destra=2) + voce("EncryptedPackage", 2) +
                bytes(128))
    with open(uscita, "wb") as o:
        o.write(intestazione + fat + cartella)


if __name__ == "__main__":
    a = sys.argv[1:]
    if a[0] == "tipi":
        (xlsx_tipi if a[1].endswith(".xlsx") else ods_tipi)(a[1])
    elif a[0] == "openpyxl":
        openpyxl_tipi(a[1])
    elif a[0] == "righe":
        righe(int(a[1]), a[2])
    elif a[0] == "cifrato":
        cifrato(a[1])
    else:
        sys.exit(2)
