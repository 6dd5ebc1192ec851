#pragma once
// The one back end that draws pages of primitives: on screen, on a printer, into a PDF.
#include "platform/report/pages.h"

#include <QtCore/QList>

class QPainter;
class QPaintDevice;

namespace zr::report {

class Document;

// Draws the page with its top-left corner at the painter's origin, dotsPerMm device units to
// the millimetre.
void paintPage(QPainter &painter, const Page &page, double dotsPerMm);

// Writes every page into a PDF file; false (and nothing left behind) when the file cannot be
// written.
bool writePdf(const Document &doc, const QString &path, QString *error = nullptr);
// Several reports one after the other in one file (a slip per master record).
bool writePdf(const QList<const Document *> &docs, const QString &path, QString *error = nullptr);

// The family a template face is drawn with: faces of the original's fonts ("宋体", "黑体" ...)
// map to the installed CJK faces.
QString resolveFontFamily(const QString &face);

} // namespace zr::report
