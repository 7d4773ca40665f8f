#pragma once
// The pictures a label names: one rule finds their files (the path as written, else,
// when it is relative, from the label's folder), for the designer and the print job alike.

#include "label/DocumentoEtichetta.h"

#include <QImage>
#include <QString>
#include <QStringList>

namespace cartigo {

struct ImmagineLetta {
    QImage immagine;   // null when there is no picture
    QString file;      // the file found, empty when none
    QString problema;  // why a named picture cannot be had, for the user; empty otherwise
};

// Reads the picture `percorso` names. An empty path is no picture and no problem; a file
// that is missing, in a format without a decoder (WMF, EMF) or damaged gives a problem
// naming the path.
ImmagineLetta LeggiImmagine(const QString& percorso, const QString& cartellaEtichetta);

// The problems of the label's own pictures (not linked to a field) that have not been
// loaded, one line each, in the order of creation.
QStringList ProblemiImmagini(const DocumentoEtichetta& doc);

// A list of problems as one message: `intestazione`, then the problems one a line, at most
// `massimo` of them and a line saying how many more there are.
QString ElencoProblemi(const QString& intestazione, const QStringList& problemi, int massimo = 10);

// The picture file dialog's filter (Qt form): every picture the reader decodes, PNG first,
// then one entry per format, then all files.
QString FiltroImmagini();

}  // namespace cartigo
