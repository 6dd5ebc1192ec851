#include "platform/report/pagepainter.h"

#include "platform/report/reportruntime.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtGui/QFontDatabase>
#include <QtGui/QPageSize>
#include <QtGui/QPainter>
#include <QtGui/QPdfWriter>

namespace zr::report {

QString resolveFontFamily(const QString &face) {
  static QHash<QString, QString> cache;
  const auto it = cache.constFind(face);
  if (it != cache.constEnd())
    return *it;
  // Serif faces for the Song styles, sans for the Hei styles; the face itself when installed.
  QString family = face;
  const QStringList installed = QFontDatabase::families();
  if (!installed.contains(face)) {
    const bool sans = face.contains(u"黑") || face.contains(u"雅黑") || face.contains(u"幼圆");
    const QStringList wanted = sans ? QStringList{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Zen Hei")}
                                    : QStringList{QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC"),
                                                  QStringLiteral("WenQuanYi Zen Hei")};
    for (const QString &w : wanted)
      if (installed.contains(w)) {
        family = w;
        break;
      }
  }
  cache.insert(face, family);
  return family;
}

void paintPage(QPainter &painter, const Page &page, double k) {
  painter.save();
  QPen pen(Qt::black);
  pen.setWidthF(std::max(1.0, 0.2 * k)); // 0.2 mm rules, at least one device dot
  painter.setPen(pen);
  QList<QLineF> lines;
  lines.reserve(page.lines.size());
  for (const QLineF &l : page.lines)
    lines.append(QLineF(l.p1() * k, l.p2() * k));
  painter.drawLines(lines);

  const double dpi = painter.device()->logicalDpiY();
  QFont font;
  QString lastFace;
  double lastSize = -1;
  bool lastBold = false;
  const double pad = 0.8 * k; // text stays clear of the rules
  for (const TextBox &t : page.texts) {
    if (t.font != lastFace || t.size != lastSize || t.bold != lastBold) {
      font = QFont(resolveFontFamily(t.font));
      // Points are 1/72 inch; the device's own dpi would scale them again, so undo it.
      font.setPointSizeF(std::max(0.1, t.size * 25.4 / 72.0 * k * 72.0 / dpi));
      font.setBold(t.bold);
      painter.setFont(font);
      lastFace = t.font;
      lastSize = t.size;
      lastBold = t.bold;
    }
    const QRectF r(t.rect.x() * k + pad, t.rect.y() * k, t.rect.width() * k - 2 * pad, t.rect.height() * k);
    painter.drawText(r, t.flags, t.text);
  }
  painter.restore();
}

bool writePdf(const Document &doc, const QString &path, QString *error) { return writePdf(QList<const Document *>{&doc}, path, error); }

bool writePdf(const QList<const Document *> &docs, const QString &path, QString *error) {
  const QString tmp = path + u".tmp";
  if (docs.isEmpty())
    return false;
  {
    QPdfWriter writer(tmp);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QSizeF(docs[0]->pageWidth(), docs[0]->pageHeight()), QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setCreator(QStringLiteral("卓睿典藏库房管理系统"));
    QPainter painter;
    if (!painter.begin(&writer)) {
      QFile::remove(tmp);
      if (error)
        *error = u"不能写入文件: " % path;
      return false;
    }
    const double k = writer.resolution() / 25.4;
    bool first = true;
    for (const Document *doc : docs)
      for (int i = 0; i < doc->pageCount(); ++i) {
        if (!first)
          writer.newPage();
        first = false;
        paintPage(painter, doc->page(i), k);
      }
    painter.end();
  }
  QFile::remove(path);
  if (!QFile::rename(tmp, path)) {
    QFile::remove(tmp);
    if (error)
      *error = u"不能写入文件: " % path;
    return false;
  }
  return true;
}

} // namespace zr::report
