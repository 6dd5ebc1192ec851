#include "db/errortext.h"

namespace zr::db {

QString translatedMessage(const zr::sql::ErrorRecord &r) {
  struct Row {
    int code, cat, sub;
    const char16_t *text;
  };
  static const Row rows[] = {
      {9734, 38, 6, u"其它的数据库表中存在对该纪录的引用,纪录不能删除"},
      {10770, 42, 18, u"数据库打开过程发生错误"},
      {9729, 38, 1, u"数据库主键重复"},
      {10763, 42, 11, u"数据已被其它用户修改,请重新查找刷新该记录,查看其它用户修改后的数据"},
      {10029, 39, 45, u"数据太大,不能保存数据"},
      {10243, 40, 3, u"有未关闭的数据表"},
  };
  for (const Row &row : rows)
    if (r.is(row.code, row.cat, row.sub))
      return QString::fromUtf16(row.text);
  return {};
}

QString technicalText(const zr::sql::EngineError &e) {
  const auto &r = e.first();
  return zr::sql::EngineError::className() % u":ErrorCode: (" % QString::number(r.errorCode) % u',' %
         QString::number(r.category) % u',' % QString::number(r.subCode) % u',' %
         QString::number(r.nativeCode) % u")\t" % r.message % u'\r';
}

QString messageFor(const zr::sql::EngineError &e) {
  const QString t = translatedMessage(e.first());
  if (!t.isEmpty())
    return t;
  return QString::fromUtf16(kGenericDatabaseError) % u'\n' % technicalText(e).trimmed();
}

QString messageFor(const zr::sql::ConversionError &e) {
  if (e.message().contains(u"is not a valid date"))
    return QStringLiteral("请按格式YYYY-MM-DD 输入日期");
  return e.message();
}

} // namespace zr::db
