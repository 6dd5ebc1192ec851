#include "controls/find/findconditions.h"

#include "db/sqltext.h"
#include "platform/sql/values.h"

namespace zr::ctl {

QList<FindRelation> defaultRelations() {
  return {{QStringLiteral("Like"), QStringLiteral("相似")},
          {QStringLiteral("="), QStringLiteral("等于")},
          {QStringLiteral("<>"), QStringLiteral("不等于")},
          {QStringLiteral("<="), QStringLiteral("小于等于")},
          {QStringLiteral(">="), QStringLiteral("大于等于")}};
}

QList<FindColumn> findColumns(const zr::fw::TFieldsDataArray &columns) {
  QList<FindColumn> out;
  for (const auto &c : columns) {
    if (c.Caption.isEmpty() || c.FindKind.trimmed().isEmpty())
      continue;
    out.append({c.FieldName, c.Caption, c.DataKind.isEmpty() ? QStringLiteral("C") : c.DataKind,
                c.FindKind.trimmed().toUpper(), c.ValueList.split(u';', Qt::SkipEmptyParts), c.TableAlias});
  }
  return out;
}

FindRefusal FindConditions::piece(const FindColumn &c, const FindRelation *r, const QString &rawValue,
                                  const QString &popup, bool fixed, QString *piece, QString *line) {
  const QString value = rawValue.trimmed();
  const QString col = c.expression();
  const QString kind = c.findKind;
  if (!r && kind != u"BS" && kind != u"BF")
    return {QStringLiteral("必须有一个查找关系"), FindFocus::Relation};
  const QString op = r ? r->op : QStringLiteral("=");
  const QString word = fixed || !r ? QStringLiteral("等于") : r->word;
  auto normal = [&](QString *out) -> FindRefusal {
    if (value.isEmpty())
      return {QStringLiteral("必须有一个查找的值"), FindFocus::Value};
    if (op.compare(u"Like", Qt::CaseInsensitive) == 0) {
      *out = col % u" Like  " % zr::db::quote(QString(u'%' + value + u'%'));
    } else if (c.dataKind == u"C") {
      *out = col % u' ' % op % u' ' % zr::db::quote(value);
    } else {
      // a number goes in unquoted, so it must be one
      const auto n = zr::db::number(value);
      if (!n)
        return {QStringLiteral("必须有一个查找的值"), FindFocus::Value};
      *out = col % u' ' % op % u' ' % *n;
    }
    return {};
  };
  if (kind == u"D") {
    if (value.isEmpty())
      return {QStringLiteral("必须有一个查找的日期"), FindFocus::Value};
    const auto iso = zr::sql::parseDate(value);
    if (value.size() != 10 || !iso || *iso != value)
      return {QStringLiteral("错误的日期格式,正确的日期格式如2000年8月8日是:“2000-08-08”"), FindFocus::Value};
    if (c.dataKind == u"C") {
      *piece = col % u' ' % op % u' ' % zr::db::quote(value);
    } else {
      const QString number = QString(value).remove(u'-');
      *piece = u"(10000 * EXTRACT(YEAR FROM " % col % u")" % u" +100 * EXTRACT(Month FROM " % col % u"))" %
               u" + EXTRACT(DAY FROM " % col % u")" % u' ' % op % u' ' % number;
    }
  } else if (kind == u"BS") {
    if (value.isEmpty())
      return {QStringLiteral("必须有一个查找的值"), FindFocus::Value};
    *piece = popup.isEmpty() ? col % u" = " % zr::db::quote(value) : popup;
  } else if (kind == u"BF") {
    if (value.isEmpty() && popup.isEmpty())
      return {QStringLiteral("必须有一个查找的值"), FindFocus::Value};
    const qsizetype at = popup.indexOf(u'@');
    const qsizetype star = popup.indexOf(u'*');
    if (at >= 0) {
      *piece = popup.left(at);
    } else if (star >= 0) {
      QString p;
      if (auto refusal = normal(&p); refusal.refused())
        return refusal;
      *piece = QString(popup.left(star) + p + popup.mid(star + 1)).trimmed();
    } else if (!popup.isEmpty()) {
      *piece = popup;
    } else if (auto refusal = normal(piece); refusal.refused()) {
      return refusal;
    }
    if (at >= 0)
      fixed = true;
  } else if (auto refusal = normal(piece); refusal.refused()) {
    return refusal;
  }
  *line = fixed ? QString(u' ' % c.caption % u" 等于 " % value)
                : QString(u' ' % c.caption % u' ' % word % u' ' % value);
  return {};
}

FindRefusal FindConditions::add(const FindColumn &c, const FindRelation *r, const QString &value, Join join,
                                const QString &popup, bool fixed) {
  QString piece, line;
  if (auto refusal = FindConditions::piece(c, r, value, popup, fixed, &piece, &line); refusal.refused())
    return refusal;
  if (m_pieces.isEmpty()) {
    m_pieces << piece;
    m_lines << line;
    return {};
  }
  if (join == Join::None)
    return {QStringLiteral("必须有一个查找逻辑"), FindFocus::Join};
  const bool andJoin = join == Join::And;
  m_pieces << (andJoin ? u" and "_qs : u" or "_qs) + piece;
  m_lines << (andJoin ? u" 并且 "_qs : u" 或着 "_qs) + line.mid(1);
  return {};
}

void FindConditions::remove(int i) {
  if (i < 0 || i >= m_lines.size())
    return;
  m_lines.removeAt(i);
  m_pieces.removeAt(i);
  if (!m_lines.isEmpty()) {
    QString &first = m_lines.first();
    const QString trimmed = first.trimmed();
    if (trimmed.startsWith(u"并且 ") || trimmed.startsWith(u"或着 "))
      first = u' ' + trimmed.mid(3);
    QString &p = m_pieces.first();
    if (p.startsWith(u" and "))
      p = p.mid(5);
    else if (p.startsWith(u" or "))
      p = p.mid(4);
  }
}

FindRefusal FindConditions::confirm() {
  if (m_pieces.isEmpty())
    return {QStringLiteral("没有查找表达式"), FindFocus::Column};
  QString &p = m_pieces.first();
  if (p.startsWith(u" or "))
    p = p.mid(4);
  else if (p.startsWith(u" and "))
    p = p.mid(5);
  return {};
}

void FindConditions::reset() {
  m_lines.clear();
  m_pieces.clear();
}

} // namespace zr::ctl
