#include "boRentViotation.h"

#include "db/xBusinessError.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "db/xTransaction.h"
#include "reference/boCurrency.h"
#include "shell/OptionFilter.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xDialogPort.h"
#include "widgets/xPrompt.h"

namespace korvex::billing {

using korvex::db::TxQuery;
using korvex::widgets::TxSqlFilter;

TboRentViotation::TboRentViotation(korvex::shell::TAppContext &context, TViotationDialogs *dialogs, QObject *owner)
    : QObject(owner)
    , m_context(context)
    , m_dialogs(dialogs)
    , m_options(std::make_unique<korvex::shell::TxOptionFilter>(context.options, QStringLiteral("rent_Viotation_")))
{
    const QDate today = QDate::currentDate();
    m_options->bindBool(QStringLiteral("Customer"), &m_filter.allCustomers, true);
    m_options->bindInt(QStringLiteral("CustomerKey"), &m_filter.customerKey, 0);
    m_options->bindBool(QStringLiteral("Contract"), &m_filter.allContracts, true);
    m_options->bindInt(QStringLiteral("ContractKey"), &m_filter.contractKey, 0);
    m_options->bindInt(QStringLiteral("sortViotation"), &m_filter.sortOrder, TViotationFilter::ByNumber);
    m_options->bindDate(QStringLiteral("startViotationdate"), &m_filter.startDate, today);
    m_options->bindDate(QStringLiteral("endViotationdate"), &m_filter.endDate, today);
    m_options->bindBool(QStringLiteral("Viotationdate"), &m_filter.dateUnlimited, true);
    LoadFilter();
}

TboRentViotation::~TboRentViotation()
{
    if (!m_filterChanged)
        return;
    try {
        SaveFilter();
    } catch (const std::exception &e) {
        // A destructor must not throw; the filter is only a convenience.
        qWarning("The violation filter was not stored: %s", e.what());
    }
}

TViotationDialogs &TboRentViotation::requireDialogs() const
{
    return korvex::widgets::requirePort(m_dialogs, "TboRentViotation");
}

// --- Filter ----------------------------------------------------------------------------

void TboRentViotation::setFilter(const TViotationFilter &filter)
{
    m_filter = filter;
    if (m_filter.sortOrder < TViotationFilter::ByNumber || m_filter.sortOrder > TViotationFilter::Unsorted)
        m_filter.sortOrder = TViotationFilter::ByNumber;
    m_filterChanged = true;
}

void TboRentViotation::LoadFilter()
{
    m_options->load();
    setFilter(m_filter);
    m_filterChanged = false;
}

void TboRentViotation::SaveFilter()
{
    korvex::db::runInTransaction(m_context.db, [this] { m_options->save(); });
    m_filterChanged = false;
}

bool TboRentViotation::EditFilter()
{
    TViotationFilter edited = m_filter;
    if (!requireDialogs().viotationFilterDialog(*this, edited))
        return false;
    setFilter(edited);
    SaveFilter();
    return true;
}

void TboRentViotation::setSortOrder(int order)
{
    TViotationFilter f = m_filter;
    f.sortOrder = order;
    setFilter(f);
    SaveFilter();
}

TxSqlFilter TboRentViotation::listStatement(const TViotationFilter &f)
{
    // A violation saved without a contract is listed with an empty number.
    // Outer joins keep the violations the first table, so that the list
    // walks its indexes whatever the sizes of the other tables.
    TxSqlFilter select(QStringLiteral("SELECT vio.*, cust.name, c.number AS contractnumber FROM rent_viotation vio"
                                      " LEFT JOIN cst_customer cust ON (vio.customerkey = cust.customerkey)"
                                      " LEFT JOIN rent_contract c ON (c.id = vio.contractkey)"));
    QString glue = QStringLiteral("WHERE ");
    auto where = [&](const QString &condition, const QVariantList &values) {
        select.addList(glue + condition, values);
        glue = QStringLiteral("AND ");
    };
    if (!f.dateUnlimited)
        where(QStringLiteral("vio.viotationdate >= ? AND vio.viotationdate <= ?"), {f.startDate, f.endDate});
    if (!f.allCustomers)
        where(QStringLiteral("vio.customerkey = ?"), {f.customerKey});
    if (!f.allContracts)
        where(QStringLiteral("vio.contractkey = ?"), {f.contractKey});
    return select;
}

QString TboRentViotation::listOrder(int sortOrder)
{
    // Number and date walk their indexes with the key; the customer's name
    // is sorted on the server.
    switch (sortOrder) {
    case TViotationFilter::ByNumber: return QStringLiteral("number");
    case TViotationFilter::ByDate: return QStringLiteral("viotationdate");
    case TViotationFilter::ByCustomer: return QStringLiteral("name");
    default: return {};
    }
}

// --- Operations ------------------------------------------------------------------------

bool TboRentViotation::NewViotation(int *newKey)
{
    TViotationDialogs &dialogs = requireDialogs();
    return korvex::widgets::newThroughDialog(
        newViotation(),
        [&](TViotationRecord &r, bool isNew, int &saved) { return dialogs.viotationDialog(*this, r, isNew, saved); },
        newKey);
}

bool TboRentViotation::EditViotation(int key)
{
    TViotationDialogs &dialogs = requireDialogs();
    return korvex::widgets::editThroughDialog(readViotation(key), [&](TViotationRecord &r, bool isNew, int &saved) {
        return dialogs.viotationDialog(*this, r, isNew, saved);
    });
}

bool TboRentViotation::DeleteViotation(int key)
{
    const korvex::widgets::TDeleteTexts texts{tr("Удалить нарушение?"), korvex::widgets::TxPrompt::attentionBang(),
                                              tr("Данная запись уже где-то используется!"),
                                              korvex::widgets::TxPrompt::attentionBang()};
    return korvex::widgets::confirmAndDelete(m_context.db, requireDialogs().prompt(), texts,
                                             QStringLiteral("DELETE FROM rent_viotation WHERE id = ?"), {key});
}

// --- Rows ----------------------------------------------------------------------------------

TViotationRecord TboRentViotation::newViotation() const
{
    TViotationRecord r;
    r.viotationDate = QDate::currentDate();
    return r;
}

std::optional<TViotationRecord> TboRentViotation::readViotation(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, number, viotationdate, customerkey, contractkey, currkey, costncu, costcurr, info "
                          "FROM rent_viotation WHERE id = ?"),
           {key});
    if (!q.next())
        return std::nullopt;
    TViotationRecord r;
    r.id = q.value(0).toInt();
    r.number = q.value(1).toString();
    r.viotationDate = q.value(2).toDate();
    r.customerKey = korvex::db::optionalInt(q.value(3));
    r.contractKey = korvex::db::optionalInt(q.value(4));
    r.currKey = korvex::db::optionalInt(q.value(5));
    r.costNcu = q.value(6).toDouble();
    r.costCurr = q.value(7).toDouble();
    r.info = q.value(8).toString();
    return r;
}

int TboRentViotation::writeViotation(const TViotationRecord &r)
{
    if (r.number.trimmed().isEmpty())
        throw korvex::db::EBusinessError(tr("Введите номер"));
    if (!r.viotationDate.isValid())
        throw korvex::db::EBusinessError(tr("Введите дату"));
    if (!r.customerKey)
        throw korvex::db::EBusinessError(tr("Выберите клиента"));
    using korvex::db::nullableInt;
    return korvex::db::writeRow(
        m_context.db, QStringLiteral("rent_viotation"), QStringLiteral("gen_rent_viotation"), r.id,
        {QStringLiteral("number"), QStringLiteral("viotationdate"), QStringLiteral("customerkey"),
         QStringLiteral("contractkey"), QStringLiteral("currkey"), QStringLiteral("costncu"), QStringLiteral("costcurr"),
         QStringLiteral("info")},
        {r.number, r.viotationDate.isValid() ? QVariant(r.viotationDate) : QVariant(QMetaType::fromType<QDate>()),
         nullableInt(r.customerKey), nullableInt(r.contractKey), nullableInt(r.currKey), r.costNcu, r.costCurr, r.info},
        tr("Нарушение удалено другим пользователем"));
}

double TboRentViotation::rateToday(std::optional<int> currKey) const
{
    if (!currKey || *currKey <= 0)
        return 0;
    korvex::reference::TboCurrency currency(m_context);
    return currency.FindRate(*currKey, {}, QDate::currentDate()) ? currency.Rate : 0;
}

void TboRentViotation::setRateToday(int currKey, double rate)
{
    korvex::reference::TboCurrency currency(m_context);
    currency.SetRate(currKey, {}, rate, QDate::currentDate());
}

double TboRentViotation::ncuFromCurrency(double curr, double rate)
{
    return rate == 0 ? 0 : curr * rate;
}

double TboRentViotation::currencyFromNcu(double ncu, double rate)
{
    return rate == 0 ? 0 : ncu / rate;
}

} // namespace korvex::billing
