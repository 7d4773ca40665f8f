#pragma once
// Spreadsheets as data sources: an XLSX or ODS workbook, each sheet a table. The file
// is read by the spreadsheet reader program (cartigo-sheetreader, liborcus) in its own
// process; DatabaseJet copies the tables it writes into its working file.

#include <QString>

namespace cartigo {

// True for a workbook by its name (.xlsx, .xlsm, .ods) or by its contents: a ZIP
// package holding an OpenDocument spreadsheet or an Office Open XML workbook, or an
// Office Open XML workbook encrypted with a password (an OLE compound file that holds
// an encrypted package).
bool FileFoglio(const QString& percorso);
// True for an Office Open XML file encrypted with a password.
bool FoglioCifrato(const QString& percorso);
// The reader program: CARTIGO_SHEETREADER, else the one beside the running program or
// in its libexec folder.
QString PercorsoLettoreFogli();

}  // namespace cartigo
