#include "referenceCommon.h"

#include "referenceDialogs.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "widgets/xPrompt.h"
#include "widgets/xSqlFilter.h"

#include <QCoreApplication>
#include <optional>

namespace korvex::reference {

using namespace korvex::db;

TReferenceDialogs::~TReferenceDialogs() = default;

bool TReferenceDialogs::currencyDialog(TboCurrency &, TCurrencyRecord &, bool)
{
    return false;
}

bool TReferenceDialogs::rateDialog(TboCurrency &, TRateRecord &, bool)
{
    return false;
}

bool TReferenceDialogs::objectDialog(TboRentObject &, TRentObjectRecord &, bool, int &)
{
    return false;
}

bool TReferenceDialogs::treeItemDialog(TboRentTreeItem &, TRentTreeRecord &, bool, int &)
{
    return false;
}

bool TReferenceDialogs::chooseObject(TboRentObject &, TObjectChoice &)
{
    return false;
}

bool TReferenceDialogs::serviceDialog(TboRentService &, TServiceRecord &, bool, int &)
{
    return false;
}

bool TReferenceDialogs::chooseServices(TboRentService &, QList<int> &)
{
    return false;
}

bool TReferenceDialogs::serviceCostDialog(TboRentServiceCost &, TServiceCostRecord &, bool, int &)
{
    return false;
}

bool confirmAndDelete(TxDatabase &db, korvex::widgets::TxPrompt &prompt, const TDeleteTexts &texts,
                      const QString &sql, const QVariantList &values)
{
    return confirmAndDelete(db, prompt, texts, QList<TDeleteStatement>{{sql, values}});
}

bool confirmAndDelete(TxDatabase &db, korvex::widgets::TxPrompt &prompt, const TDeleteTexts &texts,
                      const QList<TDeleteStatement> &statements)
{
    if (!prompt.confirm(texts.question, texts.questionCaption))
        return false;
    try {
        // Inside the caller's transaction a refused statement must not leave
        // the earlier ones done.
        TxWriteScope t(db);
        for (const TDeleteStatement &s : statements)
            TxQuery::execute(db, s.sql, s.values);
        t.commit();
    } catch (const EDatabaseError &e) {
        if (!e.isInUse())
            throw;
        prompt.warning(texts.inUse, texts.inUseCaption);
        return false;
    }
    return true;
}

TDeleteTexts recordDeleteTexts()
{
    auto tr = [](const char *s) { return QCoreApplication::translate("TboRentObject", s); };
    const QString caption = korvex::widgets::TxPrompt::attention();
    return {tr("Удалить запись?"), caption, tr("Данная запись уже где-то используется!"), caption};
}

QVariant nullableInt(const std::optional<int> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType::fromType<int>());
}

QVariant nullableDouble(const std::optional<double> &v)
{
    return v ? QVariant(*v) : QVariant(QMetaType::fromType<double>());
}

QVariant nullableText(const QString &s)
{
    return s.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(s);
}

std::optional<int> optionalInt(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return std::nullopt;
    return v.toInt();
}

std::optional<double> optionalDouble(const QVariant &v)
{
    if (v.isNull() || !v.isValid())
        return std::nullopt;
    return v.toDouble();
}

int nextKey(TxDatabase &db, const QString &sequence)
{
    const QString sql = QStringLiteral("SELECT NEXT VALUE FOR %1 FROM rdb$database")
                            .arg(korvex::widgets::TxSqlFilter::identifier(sequence));
    return TxQuery::scalar(db, sql).toInt();
}

int writeRow(TxDatabase &db, const QString &table, const QString &sequence, int id, const QStringList &columns,
             const QVariantList &values, const QString &goneText)
{
    using korvex::widgets::TxSqlFilter;
    QStringList names, sets;
    for (const QString &c : columns) {
        names << TxSqlFilter::identifier(c);
        sets << names.last() + QStringLiteral(" = ?");
    }
    TxTransaction t(db);
    const bool isNew = id == 0;
    if (isNew)
        id = nextKey(db, sequence);
    QVariantList bound = values;
    bound << id;
    const QString name = TxSqlFilter::identifier(table);
    if (isNew) {
        TxQuery::execute(db,
                         QStringLiteral("INSERT INTO %1 (%2, id) VALUES (%3?)")
                             .arg(name, names.join(QStringLiteral(", ")), QStringLiteral("?, ").repeated(names.size())),
                         bound);
    } else if (TxQuery::execute(db, QStringLiteral("UPDATE %1 SET %2 WHERE id = ?").arg(name, sets.join(QStringLiteral(", "))),
                                bound)
               == 0) {
        throw EDatabaseError(goneText);
    }
    t.commit();
    return id;
}

QSet<int> deleteRowsNotIn(TxDatabase &db, const QString &table, const QString &parentColumn, int parentKey,
                          const QList<int> &keep)
{
    using korvex::widgets::TxSqlFilter;
    const QString name = TxSqlFilter::identifier(table);
    const QSet<int> wanted(keep.cbegin(), keep.cend());
    QSet<int> kept;
    QList<int> gone;
    TxQuery q(db);
    q.exec(QStringLiteral("SELECT id FROM %1 WHERE %2 = ?").arg(name, TxSqlFilter::identifier(parentColumn)), {parentKey});
    while (q.next()) {
        const int id = q.value(0).toInt();
        if (wanted.contains(id))
            kept.insert(id);
        else
            gone << id;
    }
    for (int id : std::as_const(gone))
        TxQuery::execute(db, QStringLiteral("DELETE FROM %1 WHERE id = ?").arg(name), {id});
    return kept;
}

} // namespace korvex::reference
