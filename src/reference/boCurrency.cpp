#include "boCurrency.h"

#include "referenceDialogs.h"

#include "amount/xAmount.h"
#include "db/xBusinessError.h"
#include "db/xDatabase.h"
#include "db/xRowWriter.h"
#include "widgets/xDialogPort.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xTransaction.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xPrompt.h"
#include "widgets/xTreeModel.h"

#include <QLocale>
#include <QMetaObject>
#include <cmath>
#include <stdexcept>

namespace korvex::reference {

using namespace korvex::db;
using korvex::widgets::confirmAndDelete;
using korvex::widgets::TDeleteTexts;
using korvex::widgets::TxPrompt;

namespace {

const char *const SqlLatestDirect =
    "SELECT FIRST 1 fordate, coeff FROM fin_currrate"
    " WHERE fromcurr = ? AND tocurr = ? AND fordate <= ? AND coeff IS NOT NULL"
    " ORDER BY fordate DESC";
const char *const SqlExactRate =
    "SELECT coeff FROM fin_currrate WHERE fromcurr = ? AND tocurr = ? AND fordate = ? AND coeff IS NOT NULL";
const char *const SqlUpsertRate =
    "UPDATE OR INSERT INTO fin_currrate (fromcurr, tocurr, fordate, coeff) VALUES (?, ?, ?, ?)"
    " MATCHING (fromcurr, tocurr, fordate)";
const char *const SqlCurrencyColumns =
    "id, name, shortname, code, sign, place, fullcentname, shortcentname, centbase, decdigits, disabled, isncu";

QString trimmed(const QVariant &v)
{
    return v.toString().trimmed();
}

} // namespace

TboCurrency::TboCurrency(korvex::shell::TAppContext &context, TReferenceDialogs *dialogs, QObject *owner)
    : QObject(owner)
    , fordate(QDate::currentDate())
    , m_context(context)
    , m_dialogs(dialogs)
{
    refreshNCUKey();
}

void TboCurrency::refreshNCUKey()
{
    const QVariant key = TxQuery::scalar(m_context.db,
                                         QStringLiteral("SELECT FIRST 1 id FROM fin_curr WHERE isncu = 1 ORDER BY id"));
    NCUKey = key.isValid() && !key.isNull() ? key.toInt() : 0;
}

bool TboCurrency::FindRate(int currency, std::optional<int> target, std::optional<QDate> date)
{
    const int to = target.value_or(NCUKey);
    const QDate day = date.value_or(QDate::currentDate());

    // The latest direct rate on or before the day answers both the exact
    // case and the fall-back; the reverse row counts only on the day itself.
    TxQuery direct(m_context.db);
    direct.exec(QString::fromLatin1(SqlLatestDirect), {currency, to, day});
    const bool haveDirect = direct.next();
    if (haveDirect && direct.value(0).toDate() == day) {
        Rate = direct.value(1).toDouble();
        CurrentRate = true;
        fordate = day;
        return true;
    }
    TxQuery reverse(m_context.db);
    reverse.exec(QString::fromLatin1(SqlExactRate), {to, currency, day});
    if (reverse.next()) {
        Rate = reverse.value(0).toDouble();
        CurrentRate = true;
        fordate = day;
        return true;
    }
    if (haveDirect) {
        Rate = direct.value(1).toDouble();
        CurrentRate = false;
        fordate = direct.value(0).toDate();
        return true;
    }
    return false;
}

void TboCurrency::SetRate(int currency, std::optional<int> target, double rate, std::optional<QDate> date)
{
    const int to = target.value_or(NCUKey);
    const QDate day = date.value_or(QDate::currentDate());
    if (currency <= 0 || to <= 0)
        throw EBusinessError(tr("Выберите валюту"));
    if (!std::isfinite(rate) || rate <= 0)
        throw EBusinessError(tr("Курс должен быть больше нуля"));
    if (!day.isValid())
        throw EBusinessError(tr("Введите дата"));
    TxWriteScope t(m_context.db);
    TxQuery::execute(m_context.db, QString::fromLatin1(SqlUpsertRate), {currency, to, day, rate});
    t.commit();
}

// --- Currencies ------------------------------------------------------------------

TReferenceDialogs &TboCurrency::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboCurrency");
}

bool TboCurrency::currencyExists(int key) const
{
    return TxQuery::scalar(m_context.db, QStringLiteral("SELECT 1 FROM fin_curr WHERE id = ?"), {key}).isValid();
}

QString TboCurrency::shortName(int key) const
{
    return trimmed(TxQuery::scalar(m_context.db, QStringLiteral("SELECT shortname FROM fin_curr WHERE id = ?"), {key}));
}

std::optional<TCurrencyRecord> TboCurrency::readCurrency(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT %1 FROM fin_curr WHERE id = ?").arg(QLatin1String(SqlCurrencyColumns)), {key});
    if (!q.next())
        return std::nullopt;
    TCurrencyRecord r;
    r.id = q.value(QStringLiteral("id")).toInt();
    r.name = trimmed(q.value(QStringLiteral("name")));
    r.shortname = trimmed(q.value(QStringLiteral("shortname")));
    r.code = trimmed(q.value(QStringLiteral("code")));
    r.sign = trimmed(q.value(QStringLiteral("sign")));
    r.fullcentname = trimmed(q.value(QStringLiteral("fullcentname")));
    r.shortcentname = trimmed(q.value(QStringLiteral("shortcentname")));
    r.centbase = optionalInt(q.value(QStringLiteral("centbase")));
    r.decdigits = optionalInt(q.value(QStringLiteral("decdigits")));
    r.place = q.value(QStringLiteral("place")).toInt() == 1 ? 1 : 0;
    r.active = q.value(QStringLiteral("disabled")).toInt() == 0;
    r.isNcu = q.value(QStringLiteral("isncu")).toInt() == 1;
    return r;
}

void TboCurrency::writeCurrency(TCurrencyRecord &r)
{
    r.id = writeRow(m_context.db, QStringLiteral("fin_curr"), QStringLiteral("gen_fin_curr"), r.id,
                    {QStringLiteral("name"), QStringLiteral("shortname"), QStringLiteral("code"), QStringLiteral("sign"),
                     QStringLiteral("place"), QStringLiteral("fullcentname"), QStringLiteral("shortcentname"),
                     QStringLiteral("centbase"), QStringLiteral("decdigits"), QStringLiteral("disabled"),
                     QStringLiteral("isncu")},
                    {r.name, r.shortname, r.code, r.sign, r.place == 1 ? 1 : 0, r.fullcentname, r.shortcentname,
                     nullableInt(r.centbase), nullableInt(r.decdigits), r.active ? 0 : 1, r.isNcu ? 1 : 0},
                    tr("Валюта удалена другим пользователем"));
    refreshNCUKey();
}

bool TboCurrency::NewCurrency()
{
    TCurrencyRecord record;
    const bool stored = requireDialogs().currencyDialog(*this, record, true);
    refreshNCUKey();
    return stored;
}

bool TboCurrency::EditCurrency(int key)
{
    std::optional<TCurrencyRecord> record = readCurrency(key);
    if (!record)
        return false;
    const bool stored = requireDialogs().currencyDialog(*this, *record, false);
    refreshNCUKey();
    return stored;
}

bool TboCurrency::DeleteCurrency(int key)
{
    const QString caption = TxPrompt::attentionBang();
    const TDeleteTexts texts{tr("Удалить валюту?"), caption, tr("Валюта уже где-то используется!"), caption};
    const bool deleted = confirmAndDelete(m_context.db, requireDialogs().prompt(), texts,
                                          QStringLiteral("DELETE FROM fin_curr WHERE id = ?"), {key});
    if (deleted)
        refreshNCUKey();
    return deleted;
}

// --- Rates -------------------------------------------------------------------------

std::optional<TRateRecord> TboCurrency::readRate(int fromKey, int toKey, const QDate &date) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT coeff FROM fin_currrate WHERE fromcurr = ? AND tocurr = ? AND fordate = ?"),
           {fromKey, toKey, date});
    if (!q.next())
        return std::nullopt;
    return TRateRecord{fromKey, toKey, date, optionalDouble(q.value(0))};
}

void TboCurrency::writeRate(const TRateRecord &r, const std::optional<TRateRecord> &original)
{
    TxWriteScope t(m_context.db);
    if (original) {
        const int n = TxQuery::execute(m_context.db,
                                       QStringLiteral("UPDATE fin_currrate SET fromcurr = ?, tocurr = ?, fordate = ?, "
                                                      "coeff = ? WHERE fromcurr = ? AND tocurr = ? AND fordate = ?"),
                                       {r.fromCurr, r.toCurr, r.forDate, nullableDouble(r.coeff), original->fromCurr,
                                        original->toCurr, original->forDate});
        if (n == 0)
            throw EDatabaseError(tr("Курс удален другим пользователем"));
    } else {
        TxQuery::execute(m_context.db, QString::fromLatin1(SqlUpsertRate),
                         {r.fromCurr, r.toCurr, r.forDate, nullableDouble(r.coeff)});
    }
    t.commit();
}

bool TboCurrency::NewRate(int fromKey, int toKey)
{
    TRateRecord record;
    record.forDate = QDate::currentDate();
    if (fromKey > 0 && currencyExists(fromKey))
        record.fromCurr = fromKey;
    if (toKey > 0 && currencyExists(toKey))
        record.toCurr = toKey;
    return requireDialogs().rateDialog(*this, record, true);
}

bool TboCurrency::EditRate(int fromKey, int toKey, const QDate &date)
{
    std::optional<TRateRecord> record = readRate(fromKey, toKey, date);
    if (!record)
        return false;
    return requireDialogs().rateDialog(*this, *record, false);
}

bool TboCurrency::DeleteRate(int fromKey, int toKey, const QDate &date)
{
    if (!readRate(fromKey, toKey, date))
        return false;
    const QString caption = TxPrompt::attentionBang();
    const TDeleteTexts texts{tr("Удалить курс?"), caption, tr("Данная запись уже где-то используется!"), caption};
    return confirmAndDelete(m_context.db, requireDialogs().prompt(), texts,
                            QStringLiteral("DELETE FROM fin_currrate WHERE fromcurr = ? AND tocurr = ? AND fordate = ?"),
                            {fromKey, toKey, date});
}

// --- The rate matrix --------------------------------------------------------------

TRateMatrix::TRateMatrix(TboCurrency &currency, QObject *parent)
    : QAbstractTableModel(parent)
    , m_bo(currency)
{
}

void TRateMatrix::setBaseCurrency(int key)
{
    m_base = key;
}

void TRateMatrix::load()
{
    TxDatabase &db = m_bo.context().db;
    const QDate today = QDate::currentDate();

    QList<QDate> dates;
    TxQuery d(db);
    d.exec(QStringLiteral("SELECT DISTINCT fordate FROM fin_currrate ORDER BY fordate"));
    while (d.next())
        dates << d.value(0).toDate();

    QList<Column> columns;
    TxQuery c(db);
    c.exec(QStringLiteral("SELECT g.id, c.shortname FROM fin_p_curr_getcurr(?, ?, ?, 1) g "
                          "JOIN fin_curr c ON c.id = g.id ORDER BY c.shortname, c.id"),
           {m_base, today, today});
    while (c.next())
        columns.append({c.value(0).toInt(), trimmed(c.value(1))});

    QHash<quint64, QHash<QDate, double>> rates;
    TxQuery r(db);
    r.exec(QStringLiteral("SELECT fromcurr, tocurr, fordate, coeff FROM fin_currrate "
                          "WHERE (fromcurr = ? OR tocurr = ?) AND coeff IS NOT NULL"),
           {m_base, m_base});
    while (r.next())
        rates[pairKey(r.value(0).toInt(), r.value(1).toInt())].insert(r.value(2).toDate(), r.value(3).toDouble());

    beginResetModel();
    m_dates = dates;
    m_columns = columns;
    m_rates = rates;
    endResetModel();
}

QDate TRateMatrix::dateAt(int row) const
{
    return row >= 0 && row < m_dates.size() ? m_dates.at(row) : QDate();
}

int TRateMatrix::currencyAt(int column) const
{
    return column >= 1 && column <= m_columns.size() ? m_columns.at(column - 1).currency : 0;
}

std::optional<TRateMatrix::Cell> TRateMatrix::cell(const QDate &date, int currency) const
{
    const auto direct = m_rates.constFind(pairKey(m_base, currency));
    if (direct != m_rates.cend()) {
        const auto v = direct->constFind(date);
        if (v != direct->cend())
            return Cell{*v, true};
    }
    const auto reverse = m_rates.constFind(pairKey(currency, m_base));
    if (reverse != m_rates.cend()) {
        const auto v = reverse->constFind(date);
        if (v != reverse->cend())
            return Cell{*v == 0 ? 0.0 : 1.0 / *v, false};
    }
    return std::nullopt;
}

std::optional<TRateMatrix::Cell> TRateMatrix::cell(int row, int column) const
{
    const int currency = currencyAt(column);
    if (currency == 0 || row < 0 || row >= m_dates.size())
        return std::nullopt;
    return cell(m_dates.at(row), currency);
}

int TRateMatrix::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_dates.size());
}

int TRateMatrix::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size()) + 1;
}

QVariant TRateMatrix::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.column() == 0) {
        if (role == Qt::DisplayRole)
            return m_dates.value(index.row()).toString(QStringLiteral("dd.MM.yyyy"));
        if (role == Qt::EditRole)
            return m_dates.value(index.row());
        return {};
    }
    const std::optional<Cell> c = cell(index.row(), index.column());
    switch (role) {
    case Qt::DisplayRole:
        // A stored rate with the digits it has; a reverse one (a
        // reciprocal) with a few significant digits, not fifteen.
        return c ? (c->direct ? korvex::amount::formatRate(c->value) : korvex::amount::formatSignificant(c->value))
                 : QVariant();
    case Qt::EditRole:
        // Text, so that the editor is a plain line with every digit.
        return c ? korvex::amount::formatNumberField(c->value) : QString();
    case Qt::TextAlignmentRole:
        return int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::ToolTipRole:
        return c && !c->direct ? tr("Обратный курс") : QVariant();
    default:
        return {};
    }
}

bool TRateMatrix::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    const int currency = currencyAt(index.column());
    const QDate date = dateAt(index.row());
    if (currency == 0 || !date.isValid())
        return false;

    std::optional<double> number;
    if (value.metaType().id() == QMetaType::QString) {
        if (value.toString().trimmed().isEmpty())
            return false;  // an emptied cell leaves the rate alone
        number = korvex::amount::parseNumber(value.toString());
    } else {
        bool ok = false;
        const double d = value.toDouble(&ok);
        if (ok)
            number = d;
    }
    if (!number) {
        Q_EMIT cellRefused(tr("Введите число"));
        return false;
    }
    // Passing through a cell stores nothing, also where it shows the
    // reverse rate.
    if (value.toString().trimmed() == data(index, Qt::EditRole).toString())
        return true;
    const std::optional<Cell> old = cell(index.row(), index.column());
    if (old && old->direct && old->value == *number)
        return true;
    try {
        m_bo.SetRate(m_base, currency, *number, date);
    } catch (const EDatabaseError &e) {
        Q_EMIT cellRefused(e.message());
        return false;
    } catch (const EBusinessError &e) {
        Q_EMIT cellRefused(e.message());
        return false;
    }
    // Reloaded once the editor has closed.
    QMetaObject::invokeMethod(
        this,
        [this] {
            try {
                load();
            } catch (const EDatabaseError &e) {
                Q_EMIT loadFailed(e.message());
            }
        },
        Qt::QueuedConnection);
    return true;
}

Qt::ItemFlags TRateMatrix::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() > 0)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TRateMatrix::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0)
        return tr("Дата");
    return section <= m_columns.size() ? QVariant(m_columns.at(section - 1).shortname) : QVariant();
}

} // namespace korvex::reference
