#include "boRentDenomination.h"

#include "amount/xAmount.h"
#include "db/xDatabase.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"

#include <QLocale>

namespace korvex::reference {

using namespace korvex::db;

TboRentDenomination::TboRentDenomination(korvex::shell::TAppContext &context)
    : m_context(context)
{
}

QList<TDenominationRecord> TboRentDenomination::readAll() const
{
    QList<TDenominationRecord> rows;
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, number, denomdate, currkey, coeff, description FROM rent_denomination ORDER BY id"));
    while (q.next()) {
        TDenominationRecord r;
        r.id = q.value(0).toInt();
        r.number = q.value(1).toString().trimmed();
        r.denomDate = q.value(2).toDate();
        r.currKey = optionalInt(q.value(3));
        r.coeff = optionalDouble(q.value(4));
        r.description = q.value(5).toString().trimmed();
        rows << r;
    }
    return rows;
}

void TboRentDenomination::writeAll(QList<TDenominationRecord> &rows)
{
    QList<TxDetailRow> details;
    for (const TDenominationRecord &r : std::as_const(rows)) {
        details.append({r.id,
                        {nullableText(r.number), r.denomDate.isValid() ? QVariant(r.denomDate) : QVariant(QMetaType::fromType<QDate>()),
                         nullableInt(r.currKey), nullableDouble(r.coeff), nullableText(r.description)}});
    }
    const QList<int> keys = writeDetailRows(
        m_context.db, QStringLiteral("rent_denomination"), QString(), 0, QStringLiteral("gen_rent_denomination"),
        {QStringLiteral("number"), QStringLiteral("denomdate"), QStringLiteral("currkey"), QStringLiteral("coeff"),
         QStringLiteral("description")},
        details);
    for (qsizetype i = 0; i < keys.size(); ++i)
        rows[i].id = keys.at(i);
}

// --- TDenominationModel ---------------------------------------------------------------

TDenominationModel::TDenominationModel(QObject *parent)
    : TxRecordTableModel({QStringLiteral("NUMBER"), QStringLiteral("DENOMDATE"), QStringLiteral("CURRKEY"),
                          QStringLiteral("COEFF"), QStringLiteral("DESCRIPTION")},
                         parent)
{
    setHeaderData(NumberColumn, Qt::Horizontal, tr("Номер"));
    setHeaderData(DateColumn, Qt::Horizontal, tr("Дата деноминации"));
    setHeaderData(CurrencyColumn, Qt::Horizontal, tr("Код валюты"));
    setHeaderData(CoeffColumn, Qt::Horizontal, tr("Коэффициент"));
    setHeaderData(DescriptionColumn, Qt::Horizontal, tr("Описание"));
}

QVariant TDenominationModel::data(const QModelIndex &index, int role) const
{
    const TDenominationRecord *r = recordAt(index);
    if (r && role == Qt::TextAlignmentRole && (index.column() == CoeffColumn || index.column() == CurrencyColumn))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (!r || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    switch (index.column()) {
    case NumberColumn: return r->number;
    case DateColumn: return r->denomDate.isValid() ? QVariant(r->denomDate) : QVariant(QString());
    case CurrencyColumn: return r->currKey ? QVariant(QString::number(*r->currKey)) : QVariant(QString());
    case CoeffColumn:
        return r->coeff ? QVariant(korvex::amount::formatNumberField(*r->coeff)) : QVariant(QString());
    case DescriptionColumn: return r->description;
    default: return {};
    }
}

bool TDenominationModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !recordAt(index))
        return false;
    TDenominationRecord &r = m_records[index.row()];
    const QString text = value.toString().trimmed();
    switch (index.column()) {
    case NumberColumn: r.number = text.left(20); break;
    case DescriptionColumn: r.description = text.left(254); break;
    case DateColumn: {
        const QDate date = value.typeId() == QMetaType::QDate ? value.toDate()
                                                               : QLocale().toDate(text, QLocale::ShortFormat);
        if (!text.isEmpty() && !date.isValid()) {
            Q_EMIT cellRefused(tr("Введите дату"));
            return false;
        }
        r.denomDate = date;
        break;
    }
    case CurrencyColumn: {
        bool ok = text.isEmpty();
        const int key = text.toInt(&ok);
        if (!text.isEmpty() && !ok) {
            Q_EMIT cellRefused(tr("Введите целое число"));
            return false;
        }
        r.currKey = text.isEmpty() ? std::nullopt : std::optional<int>(key);
        break;
    }
    case CoeffColumn: {
        const std::optional<double> number = korvex::amount::parseNumber(text);
        if (!text.isEmpty() && !number) {
            Q_EMIT cellRefused(tr("Введите число"));
            return false;
        }
        r.coeff = number;
        break;
    }
    default: return false;
    }
    Q_EMIT dataChanged(index, index);
    return true;
}

} // namespace korvex::reference
