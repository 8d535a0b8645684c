#pragma once

#include "shell/AppContext.h"
#include "widgets/xFieldTableModel.h"

#include <QCoreApplication>
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

namespace korvex::reference {

// One row of rent_denomination: from denomDate on, coeff old units of the
// currency make one new unit.
struct TDenominationRecord {
    int id = 0;  // 0: not stored yet
    QString number;
    QDate denomDate;
    std::optional<int> currKey;
    std::optional<double> coeff;
    QString description;
};

// The denominations, edited as one list ("Деноминация").
class TboRentDenomination
{
    Q_DECLARE_TR_FUNCTIONS(TboRentDenomination)
public:
    explicit TboRentDenomination(korvex::shell::TAppContext &context);

    QList<TDenominationRecord> readAll() const;
    // Stores the list as the dialog shows it, in one write scope: rows no
    // longer listed are deleted. The records receive their keys.
    void writeAll(QList<TDenominationRecord> &rows);

    korvex::shell::TAppContext &context() const { return m_context; }

private:
    korvex::shell::TAppContext &m_context;
};

// The denominations as pending rows of a grid, typed in place. Fields NUMBER,
// DENOMDATE, CURRKEY, COEFF, DESCRIPTION as stored.
class TDenominationModel : public korvex::widgets::TxRecordTableModel<TDenominationRecord>
{
    Q_OBJECT
public:
    enum Column { NumberColumn, DateColumn, CurrencyColumn, CoeffColumn, DescriptionColumn };

    explicit TDenominationModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    void cellRefused(const QString &message);
};

} // namespace korvex::reference
