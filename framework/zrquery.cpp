#include "framework/zrquery.h"

#include "db/sqltext.h"
#include "framework/messages.h"
#include "framework/zrdatasource.h"
#include "platform/sql/translator.h"
#include "platform/sql/values.h"
#include "platform/ui/prompter.h"

#include <QtCore/QDateTime>
#include <QtWidgets/QWidget>

namespace zr::fw {

using zr::data::Abort;
using zr::data::Field;
using zr::data::State;
using zr::sql::Token;

namespace {

QString text(const QVariant &v) {
  if (!v.isValid() || v.isNull())
    return {};
  if (v.typeId() == QMetaType::Double)
    return zr::sql::shortestNumber(v.toDouble());
  return v.toString();
}

// 'YYYY-MM-DD' as the dialect's literal 'MM/DD/YYYY'.
QString dialectDate(const QString &iso) {
  const auto d = zr::sql::parseDate(iso);
  if (!d)
    return iso;
  return d->mid(5, 2) % u'/' % d->mid(8, 2) % u'/' % d->left(4);
}

bool isNumber(const QString &s, double *out = nullptr) {
  bool ok = false;
  const double d = QString(s).remove(u',').trimmed().toDouble(&ok);
  if (out)
    *out = d;
  return ok;
}

QString controlText(QWidget *w) {
  if (!w)
    return {};
  const QVariant t = w->property("text");
  if (t.isValid())
    return t.toString();
  const QVariant c = w->property("currentText");
  return c.isValid() ? c.toString() : QString();
}

} // namespace

TZRQuery::TZRQuery(QObject *parent) : zr::data::Dataset(parent) {}

void TZRQuery::setTableName(const QString &name, bool loading) {
  m_tableName = name;
  if (!loading)
    setSql(u"SELECT  *  FROM  " + name);
}

// ---- A. opening

bool TZRQuery::OpenData() {
  if (QyDetail)
    QyDetail->close();
  if (!isActive()) {
    disableControls();
    if (LoadGridLayout)
      LoadGridLayout();
    try {
      open();
    } catch (const std::exception &) {
      enableControls();
      warn(QStringLiteral("数据库操作过程发生错误"));
      return false;
    }
    for (int i = 0; i < fieldCount(); ++i) {
      Field *f = field(i);
      const TFieldsData *entry = nullptr;
      for (const TFieldsData &c : m_columns)
        if (c.FieldName.compare(f->name(), Qt::CaseInsensitive) == 0)
          entry = &c;
      if (!entry) {
        if (fieldCount() >= 2)
          f->visible = false;
        continue;
      }
      if (f->tag == 0) {
        if (entry->DataKind == u"N")
          f->displayWidth = 13;
        else if (entry->DataKind == u"D")
          f->displayWidth = 10;
      }
      f->displayLabel = entry->Caption;
      if (entry->Width > 0)
        f->displayWidth = entry->Width;
      f->visible = entry->Visible;
      if (entry->Width == -1) {
        f->visible = true;
        f->displayWidth = 0;
      }
    }
    enableControls();
  }
  doAfterScroll();
  return true;
}

void TZRQuery::CloseData() {
  close();
}

// ---- B. adding and generated values

bool TZRQuery::AddRecord() {
  if (BatchMode && ZRDS)
    ZRDS->ActiveColor = false;
  try {
    append();
  } catch (const Abort &) {
    resumeSwitching();
    return false;
  }
  for (TCheckData &c : m_checks)
    for (TCheckFieldsData &item : c.Items)
      item.OldValue = QVariant();
  m_generated.clear();
  m_askedYes.clear();
  setGridsEnabled(false);
  if (GenerateOnAdd)
    for (const TInsertData &d : m_defaults)
      if (!applyDefault(d)) {
        cancel();
        setGridsEnabled(true);
        resumeSwitching();
        return false;
      }
  if (!BatchMode && Window) {
    QWidget *w = Window->findChild<QWidget *>(ActiveControl);
    if (w && w->property("Tag").toInt() != 5)
      focusWidget(w);
  }
  return true;
}

void TZRQuery::doBeforeInsert() {
  if (QyMaster && QyMaster->isEmpty()) {
    warn(QStringLiteral("主数据库页面没有数据纪录，从数据页面不能有新的纪录"));
    throw Abort{};
  }
  if (QyMaster && QyMaster->ActiveStatus && !statusAllows(*QyMaster, u"add"_qs, true))
    throw Abort{};
  zr::data::Dataset::doBeforeInsert();
}

bool TZRQuery::GenerateAll() {
  for (const TInsertData &d : m_defaults)
    if (!applyDefault(d)) {
      zr::ui::prompter().message({nullptr, QStringLiteral("错误信息"), QStringLiteral("数据插入错误"),
                                  zr::ui::Icon::Error, zr::ui::Buttons::Ok, true});
      return false;
    }
  return true;
}

bool TZRQuery::GenerateField(const QString &name) {
  for (const TInsertData &d : m_defaults) {
    const QString k = d.Kind.toUpper();
    if (d.FieldName.compare(name, Qt::CaseInsensitive) == 0 &&
        (k == u"C" || k == u"T" || k == u"Y" || k == u"M" || k == u"D"))
      if (!applyDefault(d))
        return false;
  }
  return true;
}

bool TZRQuery::applyDefault(const TInsertData &d) {
  Field *f = findField(d.FieldName);
  if (!f)
    return true;
  const QString kind = d.Kind.toUpper();
  const bool needsTable = kind == u"C" || kind == u"Y" || kind == u"M" || kind == u"D";
  if (needsTable && m_tableName.isEmpty()) {
    warn(objectName() + u"必须有一个表名");
    return false;
  }
  QString value;
  if (kind == u"A") {
    if (d.Value.isEmpty()) {
      warn(d.Caption + u"字段需插入的值是空的");
      return false;
    }
    value = d.Value;
  } else if (kind == u"T") {
    // A time key never repeats within a run: a second key in the same second takes the next one.
    QDateTime now = QDateTime::currentDateTime();
    QString stamp = now.toString(u"yyMMddHHmmss");
    while (!m_lastTimeKey.isEmpty() && stamp <= m_lastTimeKey) {
      now = now.addSecs(1);
      stamp = now.toString(u"yyMMddHHmmss");
    }
    m_lastTimeKey = stamp;
    value = d.Prefix + stamp;
  } else if (kind == u"L") {
    f->setValue(d.Value == u"是");
    return true;
  } else if (kind == u"B") {
    const Field *src = d.SourceDataSet ? d.SourceDataSet->findField(d.Value) : nullptr;
    f->setValue(src ? src->value() : QVariant());
    return true;
  } else if (needsTable) {
    if (!counterValue(d, &value))
      return false;
  } else {
    return true;
  }
  f->setValue(value);
  m_generated.insert(f->name().toUpper(), value);
  return true;
}

// The largest existing number plus one, never a counter of its own (C, Y, M, D).
bool TZRQuery::counterValue(const TInsertData &d, QString *out) {
  const QString kind = d.Kind.toUpper();
  const QString col = d.FieldName;
  const QString p = d.Prefix;
  const int n = int(p.size());
  QString datePart;
  if (kind == u"Y")
    datePart = NumberMonth.left(4);
  else if (kind == u"M")
    datePart = NumberMonth;
  else if (kind == u"D") {
    if (NumberDate.isEmpty()) {
      warn(QStringLiteral("没有Day值"));
      return false;
    }
    datePart = NumberDate;
  }
  const int digits = d.Digits - (kind == u"C" ? 0 : int(datePart.size()));
  QStringList where;
  if (n > 0)
    where << u"SubString(" % col % u" FROM 1 FOR " % QString::number(n) % u") = " % zr::db::quote(p);
  if (!datePart.isEmpty())
    where << u"SubString(" % col % u" FROM " % QString::number(n + 1) % u" FOR " %
                 QString::number(datePart.size()) % u") = " % zr::db::quote(datePart);
  QString sql;
  const int start = n + int(datePart.size()) + 1;
  if (d.Digits > 0 && digits > 0) {
    const QString piece =
        u"SubString(" % col % u" FROM " % QString::number(start) % u" FOR " % QString::number(digits) % u')';
    // only numbers take part: a hand-typed number with letters does not stop the counting
    where << u"NOT (" % piece % u" GLOB '*[^0-9]*') AND " % piece % u" <> ''";
    sql = u"SELECT MAX(" % piece % u") From " % m_tableName;
  } else if (d.Digits > 0) {
    warn(QStringLiteral("数据插入错误"));
    return false;
  } else {
    sql = u"SELECT MAX(" % col % u") From " % m_tableName;
  }
  if (!where.isEmpty())
    sql += u" WHERE " % where.join(u" AND ");
  if (!d.Condition.trimmed().isEmpty())
    sql += (where.isEmpty() ? u" WHERE "_qs : u" AND "_qs) + d.Condition;
  QVariant answer;
  try {
    zr::sql::Query q(*database(), sql);
    if (q.next())
      answer = q.value(0);
  } catch (const std::exception &) {
    reportError();
    return false;
  }
  if (d.Digits > 0) {
    // a shorter number counts as padded with zeros on the right, as it always did
    const QString current = QString(text(answer) + u"000000000").left(digits);
    const qlonglong next = text(answer).isEmpty() ? 1 : current.toLongLong() + 1;
    qlonglong limit = 1;
    for (int i = 0; i < digits; ++i)
      limit *= 10;
    if (next >= limit) {
      warn(QStringLiteral("数据插入错误"));
      return false;
    }
    *out = p + datePart + QString::number(next).rightJustified(digits, u'0');
  } else {
    double v = 0;
    isNumber(text(answer), &v);
    *out = p + QString::number(qlonglong(v) + 1);
  }
  return true;
}

// ---- C. saving

bool TZRQuery::ValidateRecord() {
  return validateColumns() && runChecks();
}

bool TZRQuery::validateColumns() {
  for (const TFieldsData &c : m_columns) {
    Field *f = findField(c.FieldName);
    if (!f)
      continue;
    const QString v = text(f->value()).trimmed();
    QWidget *focus = c.Control ? c.Control : editorFor(c.FieldName);
    if (c.Required && v.isEmpty() && controlText(c.Control).trimmed().isEmpty()) {
      warn(c.Caption + u"必须有一个值");
      focusWidget(focus);
      return false;
    }
    if (v.isEmpty())
      continue;
    if (c.DataKind == u"N" && !isNumber(v)) {
      warn(c.Caption + u"是错误的数据");
      focusWidget(focus);
      return false;
    }
    if (c.DataKind == u"D") {
      const auto iso = zr::sql::parseDate(v);
      if (!iso) {
        warn(c.Caption + u"是错误的数据");
        focusWidget(focus);
        return false;
      }
      if (*iso != v)
        f->setValue(*iso);
    }
  }
  return true;
}

QString TZRQuery::literalFor(const QVariant &v, const QString &kind) const {
  const QString s = text(v);
  if (kind == u"N") {
    double d = 0;
    return isNumber(s, &d) ? zr::sql::shortestNumber(d) : QStringLiteral("NULL");
  }
  if (kind == u"D")
    return zr::db::quote(dialectDate(s));
  return zr::db::quote(s);
}

bool TZRQuery::runChecks() {
  const bool isNew = state() == State::Insert;
  for (const TCheckData &c : m_checks) {
    if (ReducedChecks && !c.RunAlways)
      continue;
    if (c.SelectSql.isEmpty())
      continue;
    bool skip = false;
    auto build = [&](bool *changed) -> QString {
      QStringList parts;
      *changed = isNew;
      for (const TCheckFieldsData &item : c.Items) {
        if (item.FieldName.isEmpty() || item.ColumnName.isEmpty())
          continue;
        const Field *f = findField(item.FieldName);
        const QVariant value = !item.FixedValue.isEmpty() ? QVariant(item.FixedValue)
                               : f                        ? f->value()
                                                          : QVariant();
        const QString s = text(value).trimmed();
        if (s.isEmpty()) {
          if (c.SkipIfEmpty)
            skip = true;
          parts << item.ColumnName + u" IS NULL";
        } else if (item.DataKind == u"N") {
          parts << item.ColumnName % u"=" % literalFor(value, item.DataKind);
        } else {
          parts << item.ColumnName % u"=" % literalFor(value, item.DataKind);
        }
        if (s != text(item.OldValue).trimmed())
          *changed = true;
      }
      return c.SelectSql + parts.join(u" and ") + c.ExtraCondition;
    };
    bool changed = false;
    QString sql = build(&changed);
    if (skip)
      continue;
    if (c.Unique && !changed)
      continue;
    auto run = [&](QVariantList *row) -> std::optional<bool> {
      try {
        zr::sql::Query q(*database(), sql);
        const bool found = q.next();
        if (found && row)
          for (int i = 0; i < q.columnCount(); ++i)
            row->append(q.value(i));
        return found;
      } catch (const std::exception &) {
        warn(QStringLiteral("数据库操作过程发生错误"));
        return std::nullopt;
      }
    };
    QVariantList found;
    auto result = run(&found);
    if (!result)
      return false;
    bool failed = c.Unique ? *result : !*result;
    // A generated key that meanwhile exists is generated again, once, while adding only and
    // only while it still holds the generated value.
    if (failed && c.Unique && isNew && !c.KeyField.isEmpty()) {
      const Field *kf = findField(c.KeyField);
      const auto gen = m_generated.constFind(c.KeyField.toUpper());
      if (kf && gen != m_generated.constEnd() && text(kf->value()) == *gen && GenerateField(c.KeyField)) {
        sql = build(&changed);
        result = run(nullptr);
        if (!result)
          return false;
        failed = *result;
      }
    }
    QWidget *focus = c.FocusControl ? c.FocusControl : editorFor(c.KeyField);
    if (failed) {
      if (!c.AskOnly) {
        if (CollectMessages) {
          const QString line = c.Message + u"\n\r";
          if (!CheckMessages.contains(line))
            CheckMessages += line;
        } else {
          warn(c.Message);
        }
        focusWidget(focus);
        return false;
      }
      if (!m_askedYes.contains(sql)) {
        if (!confirm(c.Message)) {
          focusWidget(focus);
          return false;
        }
        m_askedYes.insert(sql);
      }
      continue;
    }
    if (!c.Unique && !c.FillFields.isEmpty()) {
      const QStringList targets = c.FillFields.split(u',', Qt::SkipEmptyParts);
      for (qsizetype i = 0; i < targets.size() && i < found.size(); ++i)
        if (Field *t = findField(targets[i].trimmed()))
          t->setValue(found[i]);
    }
  }
  return true;
}

QString TZRQuery::updateStatement(QString sql) const {
  if (!UpDateTable || m_tableName.isEmpty())
    return sql;
  const QList<Token> t = zr::sql::tokenize(sql);
  QString out;
  bool replaceNext = false;
  for (qsizetype i = 0; i < t.size(); ++i) {
    const Token &k = t[i];
    if (replaceNext && (k.kind == Token::Word || k.kind == Token::QuotedName)) {
      out += m_tableName;
      replaceNext = false;
      continue;
    }
    if (k.kind == Token::Word && (k.text.compare(u"INTO", Qt::CaseInsensitive) == 0 ||
                                  k.text.compare(u"UPDATE", Qt::CaseInsensitive) == 0 ||
                                  (k.text.compare(u"FROM", Qt::CaseInsensitive) == 0 &&
                                   out.trimmed().endsWith(u"DELETE", Qt::CaseInsensitive))))
      replaceNext = true;
    out += k.text;
  }
  return out;
}

// ---- G. the key condition

QString TZRQuery::KeyCondition() {
  const bool adding = state() == State::Insert;
  QStringList parts;
  auto add = [&](const QString &column, const Field *f) {
    const QVariant v = adding || !isEditing() ? f->value() : f->oldValue();
    if (text(v).trimmed().isEmpty())
      parts << column + u" IS NULL"; // a blank key part is NULL in the table
    else
      parts << column % u" = " % literalFor(v, f->dataKind());
  };
  const QString modify = updateStatement(updateObject().modifySql);
  const QList<Token> t = zr::sql::tokenize(modify);
  qsizetype where = -1;
  for (qsizetype i = 0; i < t.size(); ++i)
    if (t[i].kind == Token::Word && t[i].text.compare(u"WHERE", Qt::CaseInsensitive) == 0)
      where = i;
  if (where >= 0) {
    QList<qsizetype> idx;
    for (qsizetype i = where + 1; i < t.size(); ++i)
      if (t[i].kind != Token::Space)
        idx << i;
    for (qsizetype k = 0; k + 2 < idx.size(); ++k) {
      const Token &c = t[idx[k]], &op = t[idx[k + 1]], &p = t[idx[k + 2]];
      if ((c.kind == Token::Word || c.kind == Token::QuotedName) && op.kind == Token::Op && op.text == u"=" &&
          p.kind == Token::Param && p.text.startsWith(u":OLD_", Qt::CaseInsensitive)) {
        if (const Field *f = findField(p.text.mid(5)))
          add(c.text, f);
      }
    }
  } else if (database() && !m_tableName.isEmpty()) {
    // without an update object the table's own key locates the row
    if (const auto *td = database()->catalog().table(m_tableName))
      for (const QString &k : td->key)
        if (const Field *f = findField(k))
          add(k, f);
  }
  return parts.join(u" AND ");
}

bool TZRQuery::SaveRecord() {
  if (!isEditing())
    return false;
  Saved = false;
  const bool isNew = state() == State::Insert;
  if (GenerateOnSave && isNew)
    for (const TInsertData &d : m_defaults)
      if (!applyDefault(d)) {
        warn(QStringLiteral("自动数据生成过程发生错误"));
        return false;
      }
  if (!BatchMode && !SkipValidation && !ValidateRecord())
    return false;
  try {
    zr::data::Dataset::doBeforePost(); // the window's handler, once per save
  } catch (const Abort &) {
    return false;
  }
  m_inSave = true;
  bool ok = true;
  try {
    if (DeferWrite) {
      post();
    } else if (ApplyThroughCache || m_tableName.isEmpty() || KeyCondition().isEmpty()) {
      post();
      applyUpdates();
    } else {
      ok = writeRecord();
    }
  } catch (const Abort &) {
    ok = false;
  } catch (const std::exception &) {
    reportError();
    ok = false;
  }
  m_inSave = false;
  if (!ok)
    return false;
  setGridsEnabled(true);
  resumeSwitching();
  if (RefreshFooter)
    RefreshFooter();
  Saved = true;
  BatchMode = false;
  ReducedChecks = false;
  return true;
}

void TZRQuery::doBeforePost() {
  if (!m_inSave)
    zr::data::Dataset::doBeforePost();
}

// The record and nothing else, in one transaction: re-read by key, then update or insert.
bool TZRQuery::writeRecord() {
  const bool isNew = state() == State::Insert;
  const QString key = KeyCondition();
  zr::sql::Database &db = *database();
  const auto *td = db.catalog().table(m_tableName);
  QStringList cols;
  for (int i = 0; i < fieldCount(); ++i)
    if (!td || td->column(field(i)->name()))
      cols << field(i)->name();
  qint64 rowid = 0;
  try {
    zr::sql::Transaction tx(db);
    bool found = false;
    {
      zr::sql::Query sel(db, u"SELECT * FROM " % m_tableName % u"  WHERE " % key);
      found = sel.next();
    }
    if (found && isNew)
      throw zr::sql::EngineError(zr::sql::records::keyViolation(u"Key violation: " % key));
    if (!found && !isNew) {
      warn(QStringLiteral("该记录已被其它用户删除或在其它窗口被删除"));
      return false;
    }
    QStringList marks, sets;
    for (qsizetype i = 0; i < cols.size(); ++i) {
      marks << u":P" % QString::number(i);
      sets << cols[i] % u" = :P" % QString::number(i);
    }
    const QString sql =
        isNew ? QString(u"INSERT INTO " % m_tableName % u" (" % cols.join(u',') % u") VALUES(" %
                        marks.join(u',') % u')')
              : QString(u"UPDATE " % m_tableName % u" SET " % sets.join(u", ") % u"  WHERE " % key);
    zr::sql::Query w(db, sql);
    for (qsizetype i = 0; i < cols.size(); ++i)
      w.bind(u"P" % QString::number(i), findField(cols[i])->value());
    w.exec();
    {
      const QString after = KeyCondition();
      zr::sql::Query again(db, u"SELECT rowid FROM " % m_tableName % u"  WHERE " % (isNew ? after : key));
      if (isNew && !again.next()) {
        warn(QStringLiteral("数据保存过程发生错误,可能数据库索引已损坏，请先修复损坏的数据库索引"));
        return false;
      }
      if (isNew)
        rowid = again.value(0).toLongLong();
    }
    tx.commit();
  } catch (const zr::sql::EngineError &) {
    reportError();
    return false;
  } catch (const zr::sql::ConversionError &) {
    reportError();
    return false;
  } catch (const std::exception &) {
    warn(QStringLiteral("数据保存过程发生错误"));
    return false;
  }
  post();
  commitUpdates();
  if (rowid)
    setCurrentRowid(rowid);
  return true;
}

// ---- D. deleting

bool TZRQuery::deleteDetails() {
  if (DetailTable.isEmpty())
    return true;
  if (QyDetail)
    QyDetail->close();
  if (KeyValue.isEmpty()) {
    warn(QStringLiteral("没有KeyValue 属性"));
    return false;
  }
  const Field *f = findField(KeyValue);
  try {
    database()->exec(u"DELETE FROM " % DetailTable % u" WHERE " % KeyValue % u" = " %
                     zr::db::quote(f ? text(f->value()) : QString()));
  } catch (const std::exception &) {
    warn(DetailDError + u"删除过程发生错误");
    return false;
  }
  return true;
}

bool TZRQuery::DeleteRecord() {
  if (!isActive() || isEmpty())
    return false;
  if (!statusAllows(*this, u"delete"_qs, false))
    return false;
  if (QyMaster && QyMaster->ActiveStatus && !statusAllows(*QyMaster, u"delete"_qs, true))
    return false;
  if (!SkipDeleteConfirm && !confirm(QStringLiteral("请确认是否删除")))
    return false;
  SkipDeleteConfirm = false;
  const QString key = KeyCondition();
  if (!m_tableName.isEmpty() && !key.isEmpty() && !DeferWrite && !ApplyThroughCache) {
    // the record, its detail rows and the delete itself stand or fall together
    try {
      zr::sql::Transaction tx(*database());
      if (!deleteDetails())
        return false;
      database()->exec(u"DELETE FROM " % m_tableName % u"  WHERE " % key);
      tx.commit();
    } catch (const std::exception &) {
      warn(QStringLiteral("数据删除过程发生错误"));
      return false;
    }
    try {
      remove();
    } catch (const Abort &) {
    }
    commitUpdates();
  } else {
    if (!deleteDetails())
      return false;
    try {
      remove();
      if (!DeferWrite)
        applyUpdates();
    } catch (const Abort &) {
      return false;
    } catch (const std::exception &) {
      reportError();
      return false;
    }
  }
  BatchMode = false;
  ReducedChecks = false;
  Saved = true;
  return true;
}

// ---- F. status rules

bool TZRQuery::statusAllows(const zr::data::Dataset &ds, const QString &action, bool master) {
  const auto *q = qobject_cast<const TZRQuery *>(&ds);
  if (!q || !q->ActiveStatus)
    return true;
  const Field *f = ds.findField(u"STATUS"_qs);
  if (!f)
    return true;
  const QString status = text(f->value());
  const bool forbiddenList = !q->m_statusEditEnd.isEmpty();
  bool allowed = true;
  if (forbiddenList)
    allowed = !q->m_statusEditEnd.contains(status);
  else if (!q->m_statusEdit.isEmpty())
    allowed = q->m_statusEdit.contains(status);
  if (allowed)
    return true;
  QString msg;
  if (!master) {
    if (action == u"edit")
      msg = (forbiddenList ? u"状态为： “"_qs : u"状态为： “ "_qs) % status % u" ”  " % u"的记录不能编辑";
    else
      msg = (forbiddenList ? u"状态为：  “ "_qs : u"状态为： “ "_qs) % status % u" ”  " % u" 的记录不能删除";
  } else if (action == u"add") {
    msg = !StatusMsg.isEmpty() ? QString(StatusMsg % u"的状态是 “" % status % u" ” , 不能增加新的记录")
                               : QString(u"主档纪录状态为：  “" % status % u" ”  " % u"的从档不能增加新记录");
  } else if (action == u"edit") {
    msg = !StatusMsg.isEmpty() ? QString(StatusMsg % u"的状态是 “" % status % u" ” , 不能修改记录")
                               : QString(u"主档纪录状态为： “ " % status % u" ”  " % u"的记录不能编辑");
  } else {
    msg = !StatusMsg.isEmpty() ? QString(StatusMsg % u"的状态是 “ " % status % u" ” , 该记录不能删除")
                               : QString(u"主档纪录状态为： “ " % status % u" ”  " % u" 的记录不能删除");
  }
  warn(msg);
  return false;
}

// ---- J. editing, K. cancel

bool TZRQuery::EditRecord() {
  if (!isActive() || isEmpty() || isEditing())
    return false;
  try {
    edit();
  } catch (const Abort &) {
    return false;
  } catch (const std::exception &) {
    reportError();
    return false;
  }
  setGridsEnabled(false);
  m_askedYes.clear();
  m_generated.clear();
  for (TCheckData &c : m_checks)
    for (TCheckFieldsData &item : c.Items)
      if (const Field *f = item.FieldName.isEmpty() ? nullptr : findField(item.FieldName))
        item.OldValue = f->value();
  if (!BatchMode) {
    if (NotEdit)
      NotEdit = false;
    else
      for (const TEditData &s : m_stamps)
        if (Field *f = findField(s.FieldName))
          f->setValue(s.Value);
    if (Window)
      if (QWidget *w = Window->findChild<QWidget *>(ActiveControl))
        w->setProperty("FocusColor", ColorOnFocus);
  }
  return true;
}

void TZRQuery::doBeforeEdit() {
  if (!statusAllows(*this, u"edit"_qs, false))
    throw Abort{};
  if (QyMaster && QyMaster->ActiveStatus && !statusAllows(*QyMaster, u"edit"_qs, true))
    throw Abort{};
  zr::data::Dataset::doBeforeEdit();
}

bool TZRQuery::CancelRecord() {
  if (!isEditing())
    return false;
  cancel();
  setGridsEnabled(true);
  resumeSwitching();
  if (RefreshFooter)
    RefreshFooter();
  BatchMode = false;
  return true;
}

// ---- I. detail refresh, L. update errors

void TZRQuery::doAfterScroll() {
  if (ChildOpen.Enabled && ChildOpen.Detail) {
    ChildOpen.Detail->close();
    QStringList parts;
    for (const auto &l : ChildOpen.Links) {
      const Field *f = findField(l.MasterField);
      parts << l.DetailField % u" = " % literalFor(f ? f->value() : QVariant(), l.Kind);
    }
    ChildOpen.Detail->setSql(ChildOpen.DetailSql + parts.join(u" and "));
    try {
      ChildOpen.Detail->open();
    } catch (const std::exception &) {
      reportError();
    }
  }
  zr::data::Dataset::doAfterScroll();
}

void TZRQuery::doUpdateError(const std::exception &e) {
  zr::data::Dataset::doUpdateError(e);
  if (!isEmpty() && !isEditing()) {
    NotEdit = true;
    try {
      edit();
    } catch (...) {
    }
  }
}

// ---- helpers

void TZRQuery::setGridsEnabled(bool on) {
  for (QWidget *g : {DBGride.data(), DBNGride.data()})
    if (g && g->property("Tag").toInt() != 1)
      g->setEnabled(on);
  emit gridsEnabled(on);
}

void TZRQuery::resumeSwitching() {
  if (ZRDS) {
    ZRDS->ActiveColor = true;
    ZRDS->switchControls();
  }
}

QWidget *TZRQuery::editorFor(const QString &name) const {
  if (!Window || name.isEmpty())
    return nullptr;
  for (QWidget *w : Window->findChildren<QWidget *>())
    if (w->property("DataField").toString().compare(name, Qt::CaseInsensitive) == 0)
      return w;
  return nullptr;
}

void TZRQuery::focusWidget(QWidget *w) const {
  if (w && !BatchMode)
    w->setFocus(Qt::OtherFocusReason);
}

void TZRQuery::FocusField(const QString &name) {
  focusWidget(editorFor(name));
}

} // namespace zr::fw
