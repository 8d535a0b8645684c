#pragma once

#include "shell/AppContext.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QHash>
#include <QObject>
#include <QString>
#include <optional>

namespace korvex::reference {

class TReferenceDialogs;

// One row of fin_curr as the currency dialog edits it. place: 0 the sign
// after the amount, 1 before it.
struct TCurrencyRecord {
    int id = 0;  // 0: a new currency
    QString name;
    QString shortname;
    QString code;
    QString sign;
    QString fullcentname;
    QString shortcentname;
    std::optional<int> centbase;
    std::optional<int> decdigits;
    int place = 0;
    bool active = true;  // stored as disabled = 0
    bool isNcu = false;
};

// One row of fin_currrate: on forDate one unit of fromCurr is coeff units of
// toCurr. The triple is the row's key.
struct TRateRecord {
    int fromCurr = 0;
    int toCurr = 0;
    QDate forDate;
    std::optional<double> coeff;
};

// Currencies and their dated rates. Every dialog with a rate field asks this
// object for the rate of its currency on its date and hands it the rate the
// user typed.
//
// FindRate looks for the pair on the date (either direction, the reverse row
// taken as stored), then for the latest earlier rate of the direction asked.
// Writes run in a transaction of their own or in the caller's.
class TboCurrency : public QObject
{
    Q_OBJECT
public:
    // dialogs: the windows of the operations that show one (may be null for
    // callers that only find and set rates).
    explicit TboCurrency(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs = nullptr,
                         QObject *owner = nullptr);

    // --- State of the last FindRate --------------------------------------------
    double Rate = 0;
    bool CurrentRate = false;
    QDate fordate;
    // The national currency: the first fin_curr row with isncu = 1, 0 when none.
    int NCUKey = 0;
    // Reads NCUKey again (after the currencies changed).
    void refreshNCUKey();

    // target: default NCUKey; date: default today. True when a rate was
    // found; then Rate, CurrentRate and fordate describe it, otherwise they
    // keep their values.
    bool FindRate(int currency, std::optional<int> target = {}, std::optional<QDate> date = {});

    // Stores the rate of currency to target on the date, replacing the row of
    // that triple. A write that cannot be made is reported, never dropped:
    // std::invalid_argument when a currency is missing or the rate is not a
    // positive number (EBusinessError), EDatabaseError when the server refuses it.
    void SetRate(int currency, std::optional<int> target, double rate, std::optional<QDate> date = {});
    void SetRate(int currency, double rate) { SetRate(currency, {}, rate, {}); }

    // --- Currency operations ---------------------------------------------------
    bool NewCurrency();
    // False when the currency does not exist or the user cancelled.
    bool EditCurrency(int key);
    // Asks first; a currency still in use is reported and kept.
    bool DeleteCurrency(int key);

    // --- Rate operations ---------------------------------------------------------
    // Either key may be 0 (not preset).
    bool NewRate(int fromKey, int toKey);
    bool EditRate(int fromKey, int toKey, const QDate &date);
    bool DeleteRate(int fromKey, int toKey, const QDate &date);

    // --- Rows, for the dialogs ---------------------------------------------------
    std::optional<TCurrencyRecord> readCurrency(int key) const;
    // Inserts (id 0, which then receives the new key) or updates the row.
    void writeCurrency(TCurrencyRecord &record);
    bool currencyExists(int key) const;

    std::optional<TRateRecord> readRate(int fromKey, int toKey, const QDate &date) const;
    // Stores a rate row. original: the triple the row had when the dialog
    // opened it (none for a new row); a new row replaces an existing one of
    // its triple, as typing a rate does.
    void writeRate(const TRateRecord &record, const std::optional<TRateRecord> &original);

    korvex::shell::TAppContext &context() const { return m_context; }
    TReferenceDialogs *dialogs() const { return m_dialogs; }

    // Short name of a currency, for captions ("" when none).
    QString shortName(int key) const;

private:
    TReferenceDialogs &requireDialogs() const;

    korvex::shell::TAppContext &m_context;
    TReferenceDialogs *m_dialogs;
};

// The rate matrix of a base currency: a row per date that has any rate, a
// column per currency shown against the base. A cell shows the rate base ->
// currency of its date, or 1 / the reverse rate when only that exists (0 for
// a reverse rate of 0), or nothing. Typing a number into a cell stores the
// rate base -> currency of the row's date; the matrix then reloads.
class TRateMatrix : public QAbstractTableModel
{
    Q_OBJECT
public:
    struct Column {
        int currency = 0;
        QString shortname;
    };
    struct Cell {
        double value = 0;
        bool direct = false;  // from the row base -> currency itself
    };

    explicit TRateMatrix(TboCurrency &currency, QObject *parent = nullptr);

    void setBaseCurrency(int key);
    int baseCurrency() const { return m_base; }
    // Reads the dates, columns and rates; throws EDatabaseError and then keeps
    // what it had.
    void load();

    QDate dateAt(int row) const;
    // Currency of a column; 0 for the date column.
    int currencyAt(int column) const;
    std::optional<Cell> cell(int row, int column) const;
    std::optional<Cell> cell(const QDate &date, int currency) const;
    const QList<Column> &columns() const { return m_columns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

Q_SIGNALS:
    // A typed value was not stored; the text is ready to be shown.
    void cellRefused(const QString &message);
    // The reload after a stored cell failed.
    void loadFailed(const QString &message);

private:
    static quint64 pairKey(int from, int to) { return (quint64(quint32(from)) << 32) | quint32(to); }

    TboCurrency &m_bo;
    int m_base = 0;
    QList<QDate> m_dates;
    QList<Column> m_columns;
    // (from, to) -> date -> coeff, for the rows touching the base currency.
    QHash<quint64, QHash<QDate, double>> m_rates;
};

} // namespace korvex::reference
