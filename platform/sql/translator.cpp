#include "platform/sql/translator.h"

#include "platform/sql/errors.h"
#include "platform/sql/values.h"

#include <sqlite3.h>

namespace zr::sql {
namespace {

bool isWordChar(QChar c) {
  return c.isLetterOrNumber() || c == u'_' || c == u'$' || c.unicode() >= 0x80;
}

[[noreturn]] void syntax(const QString &what, QStringView sql) {
  throw EngineError(records::other(SQLITE_ERROR, what), sql.toString());
}

bool kw(const Token &t, QStringView word) {
  return t.kind == Token::Word && t.text.compare(word, Qt::CaseInsensitive) == 0;
}

bool isComparison(const Token &t) {
  if (t.kind != Token::Op)
    return false;
  return t.text == u"=" || t.text == u"<>" || t.text == u"!=" || t.text == u"<" || t.text == u">" ||
         t.text == u"<=" || t.text == u">=" || t.text == u"==";
}

// Words that end a table reference rather than name its alias.
bool isClauseWord(const Token &t) {
  static const char16_t *words[] = {u"WHERE",  u"ORDER",     u"GROUP", u"HAVING", u"LEFT",    u"RIGHT",
                                    u"INNER",  u"OUTER",     u"CROSS", u"JOIN",   u"ON",      u"SET",
                                    u"VALUES", u"UNION",     u"LIMIT", u"SELECT", u"NATURAL", u"USING",
                                    u"EXCEPT", u"INTERSECT", u"FULL",  u"DEFAULT"};
  for (const char16_t *w : words)
    if (kw(t, w))
      return true;
  return false;
}

class Translator {
public:
  Translator(QStringView sql, const Catalog &cat) : m_sql(sql), m_cat(cat), m_t(tokenize(sql)) {}

  Translation run() {
    collectTables();
    markWrites();
    markComparisons();
    nameRewrittenColumns();
    rewriteFunctions(0, m_t.size());
    Translation tr;
    for (const Token &t : m_t)
      tr.sql += t.text;
    tr.params = m_params;
    tr.tables = m_tableList;
    const qsizetype first = next(-1);
    tr.readsRows = first < m_t.size() && (kw(m_t[first], u"SELECT") || kw(m_t[first], u"WITH"));
    return tr;
  }

private:
  QStringView m_sql;
  const Catalog &m_cat;
  QList<Token> m_t;
  QHash<QString, QString> m_alias; // alias or table name (upper) -> table name
  QStringList m_tableList;
  QHash<QString, ParamTarget> m_params;

  qsizetype next(qsizetype i) const {
    ++i;
    while (i < m_t.size() && m_t[i].kind == Token::Space)
      ++i;
    return i;
  }
  qsizetype prev(qsizetype i) const {
    --i;
    while (i >= 0 && m_t[i].kind == Token::Space)
      --i;
    return i;
  }
  bool at(qsizetype i, Token::Kind k) const { return i >= 0 && i < m_t.size() && m_t[i].kind == k; }
  bool atKw(qsizetype i, QStringView w) const { return i >= 0 && i < m_t.size() && kw(m_t[i], w); }

  static QString nameOf(const Token &t) {
    if (t.kind == Token::QuotedName)
      return t.value;
    return t.text;
  }

  void addTable(const QString &name, const QString &alias) {
    const TableDef *td = m_cat.table(name);
    const QString real = td ? td->name : name;
    m_alias.insert(name.toUpper(), real);
    if (!alias.isEmpty())
      m_alias.insert(alias.toUpper(), real);
    if (!m_tableList.contains(real, Qt::CaseInsensitive))
      m_tableList.append(real);
  }

  // Reads "name [AS] [alias]" at i; returns the index after it.
  qsizetype tableRef(qsizetype i) {
    if (!(at(i, Token::Word) || at(i, Token::QuotedName)) || isClauseWord(m_t[i]))
      return i;
    const QString name = nameOf(m_t[i]);
    qsizetype j = next(i);
    QString alias;
    if (atKw(j, u"AS"))
      j = next(j);
    if ((at(j, Token::Word) && !isClauseWord(m_t[j])) || at(j, Token::QuotedName)) {
      alias = nameOf(m_t[j]);
      j = next(j);
    }
    addTable(name, alias);
    return j;
  }

  void collectTables() {
    for (qsizetype i = 0; i < m_t.size(); ++i) {
      if (m_t[i].kind != Token::Word)
        continue;
      if (kw(m_t[i], u"FROM")) {
        qsizetype j = next(i);
        while (true) {
          const qsizetype after = tableRef(j);
          if (after == j || !at(after, Token::Comma))
            break;
          j = next(after);
        }
      } else if (kw(m_t[i], u"JOIN") || kw(m_t[i], u"UPDATE")) {
        tableRef(next(i));
      } else if (kw(m_t[i], u"INTO")) {
        const qsizetype j = next(i);
        if (at(j, Token::Word) || at(j, Token::QuotedName))
          addTable(nameOf(m_t[j]), {});
      }
    }
  }

  // The column a reference ending at i names ("COL" or "ALIAS.COL"), or nullptr.
  const ColumnDef *columnAt(qsizetype i, qsizetype *start = nullptr) const {
    if (!(at(i, Token::Word) || at(i, Token::QuotedName)))
      return nullptr;
    const QString col = nameOf(m_t[i]);
    const qsizetype d = prev(i);
    if (at(d, Token::Dot)) {
      const qsizetype q = prev(d);
      if (!(at(q, Token::Word) || at(q, Token::QuotedName)))
        return nullptr;
      if (start)
        *start = q;
      const QString table = m_alias.value(nameOf(m_t[q]).toUpper(), nameOf(m_t[q]));
      const TableDef *td = m_cat.table(table);
      return td ? td->column(col) : nullptr;
    }
    if (start)
      *start = i;
    for (const QString &tn : m_tableList)
      if (const TableDef *td = m_cat.table(tn))
        if (const ColumnDef *c = td->column(col))
          return c;
    return nullptr;
  }

  // A column reference starting at i: returns the column and sets end to its last token.
  const ColumnDef *columnFrom(qsizetype i, qsizetype *end) const {
    if (!(at(i, Token::Word) || at(i, Token::QuotedName)))
      return nullptr;
    const qsizetype d = next(i);
    if (at(d, Token::Dot)) {
      const qsizetype c = next(d);
      *end = c;
      return columnAt(c);
    }
    *end = i;
    const qsizetype p = prev(i);
    if (at(p, Token::Dot))
      return nullptr;
    return columnAt(i);
  }

  void setLiteral(qsizetype i, const QVariant &v) {
    Token &t = m_t[i];
    t.kind = Token::Other;
    if (!v.isValid() || v.isNull())
      t.text = QStringLiteral("NULL");
    else if (v.typeId() == QMetaType::Double)
      t.text = shortestNumber(v.toDouble());
    else if (v.typeId() == QMetaType::LongLong)
      t.text = QString::number(v.toLongLong());
    else
      t.text = sqlQuote(v.toString());
  }

  // A single-token value written into a column.
  void writeValue(qsizetype i, qsizetype end, const ColumnDef &c) {
    if (next(i) != end)
      return; // an expression: the column's own checks still apply when it is stored
    const Token &t = m_t[i];
    if (t.kind == Token::String) {
      if (c.kind == ColumnKind::Blob)
        return;
      setLiteral(i, normaliseForColumn(c, t.value));
    } else if (t.kind == Token::Param && t.text != u"?") {
      m_params.insert(t.text.mid(1).toUpper(), ParamTarget{c, true});
    }
  }

  // Value items between open (a '(' or a word) and the matching close, split at commas.
  QList<std::pair<qsizetype, qsizetype>> items(qsizetype open, qsizetype *close) const {
    QList<std::pair<qsizetype, qsizetype>> out;
    int depth = 0;
    qsizetype start = next(open);
    for (qsizetype i = open + 1; i < m_t.size(); ++i) {
      const Token &t = m_t[i];
      if (t.kind == Token::LParen)
        ++depth;
      else if (t.kind == Token::RParen) {
        if (depth == 0) {
          out.append({start, i});
          *close = i;
          return out;
        }
        --depth;
      } else if (t.kind == Token::Comma && depth == 0) {
        out.append({start, i});
        start = next(i);
      }
    }
    *close = m_t.size();
    return out;
  }

  void markWrites() {
    const qsizetype first = next(-1);
    if (atKw(first, u"INSERT"))
      markInsert(first);
    else if (atKw(first, u"UPDATE"))
      markUpdate(first);
  }

  void markInsert(qsizetype i) {
    qsizetype j = next(i);
    if (!atKw(j, u"INTO"))
      return;
    j = next(j);
    if (!(at(j, Token::Word) || at(j, Token::QuotedName)))
      return;
    const TableDef *td = m_cat.table(nameOf(m_t[j]));
    if (!td)
      return;
    j = next(j);
    QList<const ColumnDef *> cols;
    if (at(j, Token::LParen)) {
      qsizetype close = 0;
      for (auto [s, e] : items(j, &close)) {
        const ColumnDef *c = (next(s) == e) ? td->column(nameOf(m_t[s])) : nullptr;
        cols.append(c);
      }
      j = next(close);
    } else {
      for (const ColumnDef &c : td->columns)
        cols.append(&c);
    }
    if (!atKw(j, u"VALUES"))
      return;
    j = next(j);
    while (at(j, Token::LParen)) {
      qsizetype close = 0;
      const auto vals = items(j, &close);
      for (qsizetype k = 0; k < vals.size() && k < cols.size(); ++k)
        if (cols[k])
          writeValue(vals[k].first, vals[k].second, *cols[k]);
      j = next(close);
      if (!at(j, Token::Comma))
        break;
      j = next(j);
    }
  }

  void markUpdate(qsizetype i) {
    qsizetype j = next(i);
    if (!(at(j, Token::Word) || at(j, Token::QuotedName)))
      return;
    const TableDef *td = m_cat.table(nameOf(m_t[j]));
    while (j < m_t.size() && !atKw(j, u"SET"))
      j = next(j);
    if (!td || j >= m_t.size())
      return;
    j = next(j);
    while (j < m_t.size()) {
      // col = value, up to a comma or WHERE at depth 0
      qsizetype colEnd = j;
      const qsizetype d = next(j);
      if (at(d, Token::Dot))
        colEnd = next(d);
      const ColumnDef *c = td->column(nameOf(m_t[colEnd]));
      const qsizetype eq = next(colEnd);
      if (!(at(eq, Token::Op) && m_t[eq].text == u"="))
        return;
      const qsizetype vs = next(eq);
      int depth = 0;
      qsizetype k = vs;
      for (; k < m_t.size(); ++k) {
        const Token &t = m_t[k];
        if (t.kind == Token::LParen)
          ++depth;
        else if (t.kind == Token::RParen)
          --depth;
        else if (depth == 0 && (t.kind == Token::Comma || kw(t, u"WHERE") || t.kind == Token::Semicolon))
          break;
      }
      if (c)
        writeValue(vs, k, *c);
      if (k >= m_t.size() || m_t[k].kind != Token::Comma)
        return;
      j = next(k);
    }
  }

  // A literal or parameter meeting a column in a comparison, BETWEEN or IN list.
  void compared(qsizetype i, const ColumnDef &c) {
    Token &t = m_t[i];
    if (t.kind == Token::Param && t.text != u"?") {
      const QString n = t.text.mid(1).toUpper();
      if (!m_params.contains(n))
        m_params.insert(n, ParamTarget{c, false});
      return;
    }
    if (t.kind != Token::String || c.kind != ColumnKind::Date)
      return;
    if (!looksLikeDialectDate(t.value))
      return; // other text keeps its meaning: it is compared as written
    if (auto iso = parseDate(t.value))
      setLiteral(i, *iso);
    else
      throw ConversionError(u'\'' % t.value % u"' is not a valid date");
  }

  void markComparisons() {
    for (qsizetype i = 0; i < m_t.size(); ++i) {
      const Token::Kind k = m_t[i].kind;
      if (k == Token::Word || k == Token::QuotedName) {
        qsizetype end = 0;
        const ColumnDef *c = columnFrom(i, &end);
        if (!c)
          continue;
        qsizetype j = next(end);
        if (j < m_t.size() && isComparison(m_t[j])) {
          compared(next(j), *c);
        } else {
          if (atKw(j, u"NOT"))
            j = next(j);
          if (atKw(j, u"BETWEEN")) {
            const qsizetype a = next(j);
            compared(a, *c);
            const qsizetype andTok = next(a);
            if (atKw(andTok, u"AND"))
              compared(next(andTok), *c);
          } else if (atKw(j, u"IN") && at(next(j), Token::LParen)) {
            qsizetype close = 0;
            for (auto [s, e] : items(next(j), &close))
              if (next(s) == e)
                compared(s, *c);
          }
        }
        i = end;
      } else if (k == Token::String || k == Token::Param) {
        const qsizetype op = next(i);
        if (op < m_t.size() && isComparison(m_t[op])) {
          qsizetype end = 0;
          if (const ColumnDef *c = columnFrom(next(op), &end))
            compared(i, *c);
        }
      }
    }
  }

  // A select-list item that is rewritten keeps the name it was written with, so a dataset finds
  // "SUBSTRING(X FROM 1 FOR 3)" under that name.
  void nameRewrittenColumns() {
    const qsizetype first = next(-1);
    if (!atKw(first, u"SELECT"))
      return;
    QList<std::pair<qsizetype, qsizetype>> list;
    int depth = 0;
    qsizetype start = next(first);
    if (atKw(start, u"DISTINCT") || atKw(start, u"ALL"))
      start = next(start);
    qsizetype i = start;
    for (; i < m_t.size(); ++i) {
      const Token &t = m_t[i];
      if (t.kind == Token::LParen)
        ++depth;
      else if (t.kind == Token::RParen)
        --depth;
      else if (depth == 0 && t.kind == Token::Comma) {
        list.append({start, i});
        start = next(i);
      } else if (depth == 0 && kw(t, u"FROM"))
        break;
    }
    list.append({start, i});
    for (qsizetype k = list.size() - 1; k >= 0; --k) {
      auto [s, e] = list[k];
      qsizetype last = prev(e);
      if (last < s)
        continue;
      bool rewritten = false;
      for (qsizetype j = s; j <= last; ++j)
        if (kw(m_t[j], u"SUBSTRING") || kw(m_t[j], u"EXTRACT"))
          rewritten = true;
      // an alias already names it: "... AS N" or "... N" after a closing parenthesis
      const bool named = at(last, Token::Word) && (atKw(prev(last), u"AS") || at(prev(last), Token::RParen));
      if (!rewritten || named)
        continue;
      const QString original = joined(s, last + 1);
      m_t.insert(last + 1, Token{Token::Other,
                                 u" AS \"" % QString(original).replace(u'"', QStringLiteral("\"\"")) % u'"',
                                 {}});
    }
  }

  qsizetype matching(qsizetype open) const {
    int depth = 0;
    for (qsizetype i = open; i < m_t.size(); ++i) {
      if (m_t[i].kind == Token::LParen)
        ++depth;
      else if (m_t[i].kind == Token::RParen && --depth == 0)
        return i;
    }
    syntax(QStringLiteral("missing ) in statement"), m_sql);
  }

  QString joined(qsizetype from, qsizetype to) const {
    QString s;
    for (qsizetype i = from; i < to; ++i)
      s += m_t[i].text;
    return s.trimmed();
  }

  // Replaces tokens [from, to] by one token holding text.
  void replace(qsizetype from, qsizetype to, const QString &text) {
    Token t{Token::Other, text, {}};
    m_t.remove(from, to - from + 1);
    m_t.insert(from, t);
  }

  // Rightmost first, so an inner call is rewritten before the call around it.
  void rewriteFunctions(qsizetype, qsizetype) {
    for (qsizetype i = m_t.size() - 1; i >= 0; --i) {
      if (m_t[i].kind != Token::Word)
        continue;
      const bool sub = kw(m_t[i], u"SUBSTRING");
      const bool ext = kw(m_t[i], u"EXTRACT");
      if (!sub && !ext)
        continue;
      const qsizetype open = next(i);
      if (!at(open, Token::LParen))
        continue;
      const qsizetype close = matching(open);
      // split at FROM and FOR of this level
      qsizetype from = -1, forPos = -1;
      int depth = 0;
      for (qsizetype k = open + 1; k < close; ++k) {
        if (m_t[k].kind == Token::LParen)
          ++depth;
        else if (m_t[k].kind == Token::RParen)
          --depth;
        else if (depth == 0 && kw(m_t[k], u"FROM") && from < 0)
          from = k;
        else if (depth == 0 && kw(m_t[k], u"FOR") && forPos < 0)
          forPos = k;
      }
      if (sub) {
        if (from < 0)
          continue; // SUBSTRING(x, a, b) is already SQLite's form
        if (tryPrefixRange(i, open, from, forPos, close))
          continue;
        QString text =
            u"substr(" % joined(open + 1, from) % u", " % joined(from + 1, forPos < 0 ? close : forPos);
        if (forPos >= 0)
          text += u", " % joined(forPos + 1, close);
        replace(i, close, text + u')');
      } else {
        if (from < 0)
          syntax(QStringLiteral("EXTRACT needs FROM"), m_sql);
        const QString unit = joined(open + 1, from).toUpper();
        const QString arg = joined(from + 1, close);
        QString text;
        if (unit == u"YEAR")
          text = u"CAST(substr(" % arg % u", 1, 4) AS INTEGER)";
        else if (unit == u"MONTH")
          text = u"CAST(substr(" % arg % u", 6, 2) AS INTEGER)";
        else if (unit == u"DAY")
          text = u"CAST(substr(" % arg % u", 9, 2) AS INTEGER)";
        else
          syntax(u"EXTRACT of " % unit % u" is not supported", m_sql);
        replace(i, close, text);
      }
    }
  }

  // SUBSTRING(col FROM 1 FOR n) = 'lit' with lit n characters long selects the strings that
  // start with lit: in the column's GBK order those are exactly [lit, upper) where upper is lit
  // with its last character replaced by the next one, or lit followed by the largest code point
  // (no stored text holds U+10FFFF: GBK cannot encode it). SQLite walks that range on the index.
  bool tryPrefixRange(qsizetype i, qsizetype open, qsizetype from, qsizetype forPos, qsizetype close) {
    if (forPos < 0)
      return false;
    const qsizetype c1 = next(open);
    qsizetype colEnd = c1;
    if (at(next(c1), Token::Dot))
      colEnd = next(next(c1));
    if (next(colEnd) != from)
      return false;
    const ColumnDef *col = columnAt(colEnd);
    if (!col || col->kind != ColumnKind::Text)
      return false;
    const qsizetype one = next(from);
    if (!(at(one, Token::Number) && m_t[one].text == u"1" && next(one) == forPos))
      return false;
    const qsizetype n = next(forPos);
    if (!at(n, Token::Number) || next(n) != close)
      return false;
    const qsizetype eq = next(close);
    if (!(at(eq, Token::Op) && m_t[eq].text == u"="))
      return false;
    const qsizetype lit = next(eq);
    if (!at(lit, Token::String))
      return false;
    const QString value = m_t[lit].value;
    bool ok = false;
    const int len = m_t[n].text.toInt(&ok);
    if (!ok || len <= 0 || value.isEmpty() || value.toUcs4().size() != len)
      return false;
    // the operators around must not bind tighter than the comparison
    const qsizetype before = prev(i);
    if (!(before < 0 || at(before, Token::LParen) || atKw(before, u"WHERE") || atKw(before, u"AND") ||
          atKw(before, u"OR") || atKw(before, u"NOT") || atKw(before, u"ON") || atKw(before, u"HAVING")))
      return false;
    const qsizetype after = next(lit);
    if (!(after >= m_t.size() || at(after, Token::RParen) || at(after, Token::Semicolon) ||
          atKw(after, u"AND") || atKw(after, u"OR") || atKw(after, u"ORDER") || atKw(after, u"GROUP")))
      return false;
    const QString colText = joined(c1, colEnd + 1);
    // A last character in ASCII has its successor right after it in GBK order ('201' -> '202'),
    // the tightest bound; any other takes the largest code point after the prefix.
    const QChar lastChar = value.back();
    const QString upper =
        (lastChar.unicode() >= 0x20 && lastChar.unicode() < 0x7E)
            ? QString(value.left(value.size() - 1) + QChar(char16_t(lastChar.unicode() + 1)))
            : QString(value + QString::fromUcs4(U"\U0010FFFF", 1));
    replace(i, lit,
            u'(' % colText % u" >= " % sqlQuote(value) % u" AND " % colText % u" < " % sqlQuote(upper) %
                u')');
    return true;
  }
};

} // namespace

QString sqlQuote(QStringView v) {
  QString s;
  s.reserve(v.size() + 2);
  s += u'\'';
  for (QChar c : v) {
    if (c == u'\'')
      s += u'\'';
    s += c;
  }
  s += u'\'';
  return s;
}

QList<Token> tokenize(QStringView sql) {
  QList<Token> out;
  const qsizetype n = sql.size();
  qsizetype i = 0;
  auto push = [&](Token::Kind k, qsizetype from, qsizetype to, QString value = {}) {
    out.append(Token{k, sql.mid(from, to - from).toString(), std::move(value)});
  };
  while (i < n) {
    const QChar c = sql[i];
    const qsizetype s = i;
    if (c.isSpace()) {
      while (i < n && sql[i].isSpace())
        ++i;
      push(Token::Space, s, i);
    } else if (c == u'-' && i + 1 < n && sql[i + 1] == u'-') {
      while (i < n && sql[i] != u'\n')
        ++i;
      push(Token::Space, s, i);
    } else if (c == u'/' && i + 1 < n && sql[i + 1] == u'*') {
      const qsizetype e = sql.indexOf(u"*/", i + 2);
      i = e < 0 ? n : e + 2;
      push(Token::Space, s, i);
    } else if (c == u'\'') {
      QString value;
      ++i;
      while (true) {
        if (i >= n)
          syntax(QStringLiteral("unterminated string literal"), sql);
        if (sql[i] == u'\'') {
          if (i + 1 < n && sql[i + 1] == u'\'') {
            value += u'\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += sql[i++];
      }
      push(Token::String, s, i, value);
    } else if (c == u'"' || c == u'[' || c == u'`') {
      const QChar close = c == u'[' ? u']' : c;
      QString value;
      ++i;
      while (true) {
        if (i >= n)
          syntax(QStringLiteral("unterminated quoted name"), sql);
        if (sql[i] == close) {
          if (close != u']' && i + 1 < n && sql[i + 1] == close) {
            value += close;
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        value += sql[i++];
      }
      // SQLite quotes names with double quotes only
      out.append(Token{Token::QuotedName,
                       u'"' % QString(value).replace(QStringLiteral("\""), QStringLiteral("\"\"")) % u'"',
                       value});
    } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
      while (i < n && (sql[i].isDigit() || sql[i] == u'.'))
        ++i;
      if (i < n && (sql[i] == u'e' || sql[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < n && (sql[j] == u'+' || sql[j] == u'-'))
          ++j;
        if (j < n && sql[j].isDigit()) {
          i = j;
          while (i < n && sql[i].isDigit())
            ++i;
        }
      }
      push(Token::Number, s, i);
    } else if (c == u':' && i + 1 < n && isWordChar(sql[i + 1])) {
      ++i;
      while (i < n && isWordChar(sql[i]))
        ++i;
      push(Token::Param, s, i);
    } else if (c == u'?') {
      ++i;
      while (i < n && sql[i].isDigit())
        ++i;
      push(Token::Param, s, i);
    } else if (isWordChar(c)) {
      while (i < n && isWordChar(sql[i]))
        ++i;
      push(Token::Word, s, i);
    } else if (c == u'(') {
      push(Token::LParen, s, ++i);
    } else if (c == u')') {
      push(Token::RParen, s, ++i);
    } else if (c == u',') {
      push(Token::Comma, s, ++i);
    } else if (c == u'.') {
      push(Token::Dot, s, ++i);
    } else if (c == u';') {
      push(Token::Semicolon, s, ++i);
    } else {
      static const char16_t *two[] = {u"<=", u">=", u"<>", u"!=", u"==", u"||"};
      for (const char16_t *op : two)
        if (sql.mid(i, 2) == QStringView(op)) {
          i += 2;
          break;
        }
      if (i == s)
        ++i;
      push(Token::Op, s, i);
    }
  }
  return out;
}

Translation translate(QStringView sql, const Catalog &catalog) {
  return Translator(sql, catalog).run();
}

} // namespace zr::sql
