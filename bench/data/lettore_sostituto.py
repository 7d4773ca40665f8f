#!/usr/bin/env python3
"""A stand-in for cartigo-mdbreader: hands over a real catalogue (a SQLite file the real
reader wrote, named by CATALOGO) and an "Order Details" of RIGHE rows made up as it goes
(row i: i, i % 77 + 1, 12.5 + i % 100, i % 50, 0.05), in the reader's stream of rows
(data/FlussoRighe.h), or with FORMATO=sqlite as the SQLite file earlier readers wrote.
Progress lines as the reader's, one a second; the rows written out every 64 KB.

    lettore_sostituto.py [--memoria BYTES] catalogo|tabelle FILE OUT [NAME...]
"""
import os, shutil, sqlite3, struct, sys, time

arg = sys.argv[1:]
if arg[:1] == ["--memoria"]:
    arg = arg[2:]
modo, _, uscita = arg[:3]
righe = int(os.environ.get("RIGHE", "1000000"))
if modo == "catalogo":
    shutil.copyfile(os.environ["CATALOGO"], uscita)
    print("OK", flush=True)
    sys.exit(0)

ultimo = time.monotonic()
def progresso(n):
    global ultimo
    ora = time.monotonic()
    if ora - ultimo >= 1:
        ultimo = ora
        print(f"P {n}", flush=True)
        return True
    return False

print("P 1", flush=True)
if os.environ.get("FORMATO") == "sqlite":
    if os.path.exists(uscita):
        os.unlink(uscita)
    db = sqlite3.connect(uscita)
    db.execute("PRAGMA journal_mode=OFF")
    db.execute('CREATE TABLE "Order Details" (c0, c1, c2, c3, c4)')
    def tutte():
        for i in range(1, righe + 1):
            if i % 4096 == 0:
                progresso(i)
            yield (i, i % 77 + 1, 12.5 + i % 100, i % 50, 0.05)
    db.executemany('INSERT INTO "Order Details" VALUES (?, ?, ?, ?, ?)', tutte())
    db.commit()
    db.close()
else:
    riga = struct.Struct("<ccqcqcdcqcd")
    with open(uscita, "wb", buffering=0) as f:
        nome = b"Order Details"
        f.write(b"CRIGHE1\n" + b"T" + struct.pack("<I", len(nome)) + nome + struct.pack("<IQ", 5, righe))
        pezzo = bytearray()
        for i in range(1, righe + 1):
            pezzo += riga.pack(b"R", b"I", i, b"I", i % 77 + 1, b"F", 12.5 + i % 100, b"I", i % 50, b"F", 0.05)
            if len(pezzo) >= 65536 or (i % 4096 == 0 and progresso(i)):
                f.write(pezzo)
                pezzo.clear()
        f.write(bytes(pezzo) + b"Z" + struct.pack("<Q", righe))
print("OK", flush=True)
