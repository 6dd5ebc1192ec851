#pragma once
// Turns a statement of the local dialect into SQLite's. It works on tokens, never on a pattern
// over the whole text: SUBSTRING(x FROM a FOR b), EXTRACT(YEAR|MONTH|DAY FROM d), 'MM/DD/YYYY'
// literals where they meet a date column, and the values written to columns (blank text becomes
// NULL, trailing blanks go, dates and numbers are checked). A category prefix
// SUBSTRING(col FROM 1 FOR n) = 'lit' becomes an index range on col.
#include "platform/sql/tabledef.h"

#include <QtCore/QHash>
#include <QtCore/QString>

namespace zr::sql {

struct Token {
  enum Kind {
    Space,
    Word,
    QuotedName,
    String,
    Number,
    Param,
    Op,
    LParen,
    RParen,
    Comma,
    Dot,
    Semicolon,
    Other
  };
  Kind kind;
  QString text; // as written; for String the unquoted value is in value
  QString value;
};

// Splits a statement; throws EngineError on an unterminated string or name.
QList<Token> tokenize(QStringView sql);

// A named parameter and the column it meets: written into it, or compared with it.
struct ParamTarget {
  ColumnDef column;
  bool write = false;
};

struct Translation {
  QString sql;
  QHash<QString, ParamTarget> params; // by upper-case name without ':'
  QStringList tables;                 // tables the statement names, as written in the catalog
  bool readsRows = false;             // a SELECT
};

// Throws ConversionError when a literal written to or compared with a date or number column is
// not one, EngineError on a malformed SUBSTRING or EXTRACT.
Translation translate(QStringView sql, const Catalog &catalog);

// A string literal of SQLite: single quotes, inner quotes doubled.
QString sqlQuote(QStringView value);

} // namespace zr::sql
