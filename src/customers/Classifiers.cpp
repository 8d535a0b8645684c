#include "Classifiers.h"

#include "db/xDatabase.h"
#include "db/xBusinessError.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xTransaction.h"

#include <stdexcept>

namespace korvex::customers {

using namespace korvex::db;

const TClassifierInfo &TClassifiers::info(TClassifier kind)
{
    static const TClassifierInfo infos[] = {
        {QStringLiteral("fin_propertykind"), QStringLiteral("propertykindkey"), QStringLiteral("cst_p_propertykind_kindkey"),
         QStringLiteral("propertykindkey"), {QStringLiteral("name")}, {QStringLiteral("name")},
         tr("Форма собственности"), tr("Удалить?"), tr("Форма собственности уже используется"), {}, {}},
        {QStringLiteral("fin_companykind"), QStringLiteral("companykindkey"), QStringLiteral("cst_p_companykind_kindkey"),
         QStringLiteral("companykindkey"), {QStringLiteral("name"), QStringLiteral("fullname")}, {QStringLiteral("name")},
         tr("Тип компании"), tr("Удалить?"), tr("Тип компании уже используется"), {}, {}},
        {QStringLiteral("fin_branch"), QStringLiteral("branchkey"), QStringLiteral("cst_p_branchkey"),
         QStringLiteral("branchkey"), {QStringLiteral("name")}, {QStringLiteral("name")},
         tr("Отрасль"), tr("Удалить"), tr("Отрасль уже используется"), {}, {}},
        {QStringLiteral("fin_actcategory"), QStringLiteral("actcategorykey"), QStringLiteral("cst_p_actcategorykey"),
         QStringLiteral("actcategorykey"), {QStringLiteral("name")}, {QStringLiteral("name")},
         tr("Вид деятельности"), tr("Удалить"), tr("Вид деятельности уже используется"), {},
         tr("Cann't save data to the database. May be the current record is used by another user.")},
        {QStringLiteral("fin_placekind"), QStringLiteral("placekindkey"), QStringLiteral("cst_p_placekindkey"),
         QStringLiteral("placekindkey"),
         {QStringLiteral("grade"), QStringLiteral("parent"), QStringLiteral("abbr"), QStringLiteral("name"),
          QStringLiteral("stand"), QStringLiteral("disabled")},
         {QStringLiteral("name"), QStringLiteral("abbr")},
         tr("Тип месторасположения"), tr("Удалить тип места?"), tr("Невозможно удалить тип, т.к. он уже используется"),
         {}, {}},
        {QStringLiteral("fin_place"), QStringLiteral("placekey"), QStringLiteral("cst_p_placekey"),
         QStringLiteral("placekey"),
         {QStringLiteral("parent"), QStringLiteral("placekind"), QStringLiteral("name"), QStringLiteral("comment"),
          QStringLiteral("inaddress"), QStringLiteral("usehighlevel")},
         {QStringLiteral("name"), QStringLiteral("comment")},
         tr("Место"), {}, tr("Невозможно удалить уровень, т.к. он уже используется!"),
         tr("Невозможно удалить уровень, т.к. он уже используется в адресе!"),
         tr("Cann't save data to the database. May be the current record is used by another user.")},
    };
    return infos[int(kind)];
}

TboClassifier::TboClassifier(TxDatabase &db, TClassifier kind)
    : m_db(db)
    , m_kind(kind)
{
}

void TboClassifier::openNew(const QString &initialName, const TClassifierRecord &defaults)
{
    m_record = defaults;
    m_record.key = m_db.newKey(info().keyProcedure, info().keyOutput);
    m_stored = false;
    for (const QString &f : info().nameFields) {
        if (f == QLatin1String("name"))
            m_record.name = initialName;
        else if (f == QLatin1String("abbr"))
            m_record.abbr = initialName;
        else if (f == QLatin1String("comment"))
            m_record.comment = initialName;
    }
    if (m_kind == TClassifier::PlaceKind) {
        if (!defaults.stand)
            m_record.stand = 1;
        m_record.disabled = false;
    } else if (m_kind == TClassifier::Place) {
        m_record.inAddress = true;
        m_record.useHighLevel = true;
    }
}

void TboClassifier::open(int key)
{
    TxQuery q(m_db);
    q.exec(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = ?")
               .arg(info().fields.join(QStringLiteral(", ")), sqlIdentifier(info().table), sqlIdentifier(info().keyField)),
           {key});
    if (!q.next())
        throw std::logic_error(QStringLiteral("%1 has no row %2").arg(info().table).arg(key).toStdString());
    TClassifierRecord r;
    r.key = key;
    auto text = [&](const char *column) { return q.value(QString::fromLatin1(column)).toString().trimmed(); };
    auto flag = [&](const char *column) { return q.value(QString::fromLatin1(column)).toInt() != 0; };
    for (const QString &f : info().fields) {
        if (f == QLatin1String("name")) r.name = text("name");
        else if (f == QLatin1String("fullname")) r.fullname = text("fullname");
        else if (f == QLatin1String("abbr")) r.abbr = text("abbr");
        else if (f == QLatin1String("grade")) r.grade = optionalInt(q.value(f));
        else if (f == QLatin1String("parent")) r.parent = optionalInt(q.value(f));
        else if (f == QLatin1String("stand")) r.stand = optionalInt(q.value(f));
        else if (f == QLatin1String("disabled")) r.disabled = flag("disabled");
        else if (f == QLatin1String("placekind")) r.placeKind = optionalInt(q.value(f));
        else if (f == QLatin1String("comment")) r.comment = text("comment");
        else if (f == QLatin1String("inaddress")) r.inAddress = flag("inaddress");
        else if (f == QLatin1String("usehighlevel")) r.useHighLevel = flag("usehighlevel");
    }
    if (m_kind == TClassifier::Place && r.placeKind
        && !TxQuery::scalar(m_db, QStringLiteral("SELECT 1 FROM fin_placekind WHERE placekindkey = ?"), {*r.placeKind})
                .isValid())
        throw EBusinessError(tr("Тип места отстутсвует в справочнике"));
    m_record = r;
    m_stored = true;
}

QVariant TboClassifier::columnValue(const QString &column) const
{
    const TClassifierRecord &r = m_record;
    if (column == QLatin1String("name")) return nullableText(r.name);
    if (column == QLatin1String("fullname")) return nullableText(r.fullname);
    if (column == QLatin1String("abbr")) return nullableText(r.abbr);
    if (column == QLatin1String("grade")) return nullableInt(r.grade);
    if (column == QLatin1String("parent")) return nullableInt(r.parent);
    if (column == QLatin1String("stand")) return nullableInt(r.stand);
    if (column == QLatin1String("disabled")) return r.disabled ? 1 : 0;
    if (column == QLatin1String("placekind")) return nullableInt(r.placeKind);
    if (column == QLatin1String("comment")) return nullableText(r.comment);
    if (column == QLatin1String("inaddress")) return r.inAddress ? 1 : 0;
    if (column == QLatin1String("usehighlevel")) return r.useHighLevel ? 1 : 0;
    throw std::logic_error(QStringLiteral("%1: no member for column %2").arg(info().table, column).toStdString());
}

void TboClassifier::write()
{
    if (m_kind == TClassifier::Place && m_record.parent) {
        // A place put below itself would cut its branch off the tree.
        if (TxQuery::scalar(m_db, QStringLiteral("SELECT fin_f_tree_under(1, ?, ?) FROM rdb$database"),
                            {*m_record.parent, key()})
                .toInt()
            == 1)
            throw EBusinessError(tr("Нарушена иерархия в населенных пунктах"));
    }
    QVariantList values;
    for (const QString &f : info().fields)
        values << columnValue(f);
    TxWriteScope scope(m_db);
    if (m_stored) {
        if (updateRow(m_db, info().table, info().keyField, key(), info().fields, values) == 0)
            throw EDatabaseError(tr("Запись удалена другим пользователем"));
    } else {
        insertRow(m_db, info().table, info().keyField, key(), info().fields, values);
    }
    scope.commit();
}

void TboClassifier::save()
{
    runInTransaction(m_db, [this] { write(); });
    confirm();
}

} // namespace korvex::customers
