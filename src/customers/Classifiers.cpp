#include "Classifiers.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"

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
    , m_row(info().table, info().keyField, info().fields)
{
}

void TboClassifier::openNew(const QString &initialName, const QVariantMap &defaults)
{
    m_row.setNew(m_db.newKey(info().keyProcedure, info().keyOutput));
    for (const QString &f : info().nameFields)
        m_row.setValue(f, initialName);
    if (m_kind == TClassifier::PlaceKind) {
        m_row.setValue(QStringLiteral("stand"), 1);
        m_row.setValue(QStringLiteral("disabled"), 0);
    } else if (m_kind == TClassifier::Place) {
        m_row.setValue(QStringLiteral("inaddress"), 1);
        m_row.setValue(QStringLiteral("usehighlevel"), 1);
    }
    for (auto it = defaults.cbegin(); it != defaults.cend(); ++it)
        m_row.setValue(it.key(), it.value());
}

void TboClassifier::open(int key)
{
    if (!m_row.load(m_db, key))
        throw std::logic_error(QStringLiteral("%1 has no row %2").arg(info().table).arg(key).toStdString());
    if (m_kind == TClassifier::Place) {
        const QVariant kind = m_row.value(QStringLiteral("placekind"));
        if (!kind.isNull()
            && !TxQuery::scalar(m_db, QStringLiteral("SELECT 1 FROM fin_placekind WHERE placekindkey = ?"), {kind}).isValid())
            throw std::runtime_error(tr("Тип места отстутсвует в справочнике").toStdString());
    }
}

void TboClassifier::write()
{
    if (m_kind == TClassifier::Place) {
        // A place put below itself would cut its branch off the tree.
        const QVariant parent = m_row.value(QStringLiteral("parent"));
        if (!parent.isNull()
            && TxQuery::scalar(m_db, QStringLiteral("SELECT fin_f_tree_under(1, ?, ?) FROM rdb$database"), {parent, key()})
                       .toInt()
                   == 1)
            throw EDatabaseError(tr("Нарушена иерархия в населенных пунктах"));
    }
    m_row.write(m_db);
}

void TboClassifier::save()
{
    runInTransaction(m_db, [this] { write(); });
    m_row.confirm();
}

} // namespace korvex::customers
