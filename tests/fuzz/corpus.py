#!/usr/bin/env python3
"""Makes the starting inputs of the fuzz targets that are not copies of the samples.

    python3 tests/fuzz/corpus.py       (from the checkout, after cartigo-print wrote
                                        corpus/file_stampa/esempio.ant)

- corpus/mdb/: page 0 of Jet 3, Jet 4 and ACE databases, with and without a password;
- regressioni/file_stampa/: print files whose picture declares a size its bytes cannot
  hold (5000 x 6000 RGBA, 4000 x 4000 16-bit RGBA, 11000 x 11000 grey): the reader once
  took nearly 2 GB decoding them.
"""
import os
import struct
import zlib

QUI = os.path.dirname(os.path.abspath(__file__))


def rc4(chiave, dati):
    s = list(range(256))
    j = 0
    for i in range(256):
        j = (j + s[i] + chiave[i % len(chiave)]) & 0xFF
        s[i], s[j] = s[j], s[i]
    out = bytearray()
    a = j = 0
    for b in dati:
        a = (a + 1) & 0xFF
        j = (j + s[a]) & 0xFF
        s[a], s[j] = s[j], s[a]
        out.append(b ^ s[(s[a] + s[j]) & 0xFF])
    return bytes(out)


def pagina0(versione, password, ace=False):
    p = bytearray(2048 if versione == 0 else 4096)
    p[0:4] = b"\x00\x01\x00\x00"
    p[4:19] = b"Standard ACE DB" if ace else b"Standard Jet DB"
    p[0x14] = versione
    lunghezza = 126 if versione == 0 else 128
    chiaro = bytearray(lunghezza)
    if versione == 0:
        pw = password.encode("latin-1")[:20]
        chiaro[0x42 - 0x18:0x42 - 0x18 + len(pw)] = pw
    else:
        data = 45000.5  # the creation date masks the password
        chiaro[0x72 - 0x18:0x72 - 0x18 + 8] = struct.pack("<d", data)
        maschera = struct.pack("<i", int(data))
        pw = password.encode("utf-16-le")[:40]
        for i, b in enumerate(pw):
            chiaro[0x42 - 0x18 + i] = b ^ maschera[i % 4]
    p[0x18:0x18 + lunghezza] = rc4(b"\xc7\xda\x39\x6b", bytes(chiaro))
    return bytes(p)


def blocco(tipo, dati):
    corpo = tipo + dati
    return struct.pack(">I", len(dati)) + corpo + struct.pack(">I", zlib.crc32(corpo))


def png_troncato(w, h, bit, colore):
    ihdr = struct.pack(">IIBBBBB", w, h, bit, colore, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + blocco(b"IHDR", ihdr) +
            blocco(b"IDAT", zlib.compress(bytes(200000))) + blocco(b"IEND", b""))


def con_immagine(file, png):
    inizio = file.index(b"\x89PNG")
    lunghezza = struct.unpack(">I", file[inizio - 4:inizio])[0]
    return file[:inizio - 4] + struct.pack(">I", len(png)) + png + file[inizio + lunghezza:]


def scrivi(percorso, dati):
    os.makedirs(os.path.dirname(percorso), exist_ok=True)
    with open(percorso, "wb") as f:
        f.write(dati)


for nome, pagina in {
    "jet3.mdb": pagina0(0, ""),
    "jet3-password.mdb": pagina0(0, "segreto"),
    "jet4.mdb": pagina0(1, ""),
    "jet4-password.mdb": pagina0(1, "Password1"),
    "ace.accdb": pagina0(2, "", ace=True),
}.items():
    scrivi(os.path.join(QUI, "corpus", "mdb", nome), pagina)

with open(os.path.join(QUI, "corpus", "file_stampa", "esempio.ant"), "rb") as f:
    esempio = f.read()
for nome, png in {
    "bomba-rgba-5000x6000.ant": png_troncato(5000, 6000, 8, 6),
    "bomba-rgba16-4000x4000.ant": png_troncato(4000, 4000, 16, 6),
    "bomba-grigio-11000x11000.ant": png_troncato(11000, 11000, 8, 0),
}.items():
    scrivi(os.path.join(QUI, "regressioni", "file_stampa", nome), con_immagine(esempio, png))
