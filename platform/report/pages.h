#pragma once
// A rendered page: primitives with positions in millimetres from the sheet's top-left corner.
// Screen, printer and PDF all draw these through one painter back end (pagepainter.h).
#include <QtCore/QLineF>
#include <QtCore/QList>
#include <QtCore/QRectF>
#include <QtCore/QString>

namespace zr::report {

struct TextBox {
  QRectF rect; // the cell, mm
  QString text;
  QString font;
  double size = 9; // points
  bool bold = false;
  int flags = 0; // Qt::Alignment | Qt::TextWordWrap
};

struct Page {
  double width = 210, height = 297; // sheet, mm
  QList<TextBox> texts;
  QList<QLineF> lines; // cell borders, mm, hairline width
};

} // namespace zr::report
