#include "boRentSQL.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace korvex::calc {

using namespace korvex::db;

TboRentSQL::TboRentSQL(TxDatabase &db)
    : m_db(db)
{
}

QString TboRentSQL::busyMessage()
{
    return tr("Запрос не выполнен: в программе не завершена другая операция с базой данных. "
              "Завершите ее и повторите запрос.");
}

void TboRentSQL::requireIdle() const
{
    if (m_db.inTransaction())
        throw EDatabaseError(busyMessage());
}

TSqlResult TboRentSQL::read(const QString &statement)
{
    requireIdle();
    TxTransaction t(m_db);
    TSqlResult result;
    {
        QSqlQuery q(m_db.sql());
        q.setForwardOnly(true);
        // exec() with the text, not prepare(): the text reaches the server
        // as typed, with no placeholders read into it.
        if (!q.exec(statement))
            throw EDatabaseError::fromSqlError(q.lastError(), statement);
        const QSqlRecord rec = q.record();
        for (int i = 0; i < rec.count(); ++i)
            result.columns << rec.fieldName(i).trimmed();
        while (q.next()) {
            QVariantList row;
            row.reserve(rec.count());
            for (int i = 0; i < rec.count(); ++i)
                row << q.value(i);
            result.rows << row;
        }
        if (q.lastError().isValid())
            throw EDatabaseError::fromSqlError(q.lastError(), statement);
    }
    // A selectable procedure may have written: what it did stays, as it
    // would for "Execute".
    t.commit();
    return result;
}

TSqlResult TboRentSQL::open(const QString &statement)
{
    return read(statement);
}

int TboRentSQL::execute(const QString &statement)
{
    requireIdle();
    TxTransaction t(m_db);
    int touched = -1;
    {
        QSqlQuery q(m_db.sql());
        q.setForwardOnly(true);
        if (!q.exec(statement))
            throw EDatabaseError::fromSqlError(q.lastError(), statement);
        touched = q.numRowsAffected();
    }
    t.commit();
    return touched;
}

TSqlResult TboRentSQL::openTable(const QString &name)
{
    requireIdle();
    const QString typed = name.trimmed();
    QString stored;
    {
        TxTransaction t(m_db);
        const QVariant found = TxQuery::scalar(
            m_db,
            QStringLiteral("SELECT FIRST 1 TRIM(rdb$relation_name) FROM rdb$relations "
                           "WHERE rdb$relation_name = ? OR rdb$relation_name = ? "
                           "ORDER BY IIF(rdb$relation_name = ?, 0, 1)"),
            {typed, typed.toUpper(), typed});
        t.commit();
        stored = found.toString();
    }
    if (typed.isEmpty() || stored.isEmpty())
        throw EDatabaseError(tr("Таблица %1 не найдена").arg(typed));
    // The name as the server stores it, as a quoted identifier.
    QString quoted = stored;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return read(QStringLiteral("SELECT * FROM \"%1\"").arg(quoted));
}

} // namespace korvex::calc
