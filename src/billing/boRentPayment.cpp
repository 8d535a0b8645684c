#include "boRentPayment.h"

#include "payBillDialogs.h"

#include "db/xBusinessError.h"
#include "db/xQuery.h"
#include "db/xRowWriter.h"
#include "widgets/xConfirmDelete.h"
#include "widgets/xDialogPort.h"
#include "widgets/xPrompt.h"

namespace korvex::billing {

using namespace korvex::db;

TboRentPayment::TboRentPayment(korvex::shell::TAppContext &context, TPayBillDialogs *dialogs)
    : m_context(context)
    , m_dialogs(dialogs)
{
}

QString TboRentPayment::listSql()
{
    return QStringLiteral("SELECT id, name, shortname FROM rent_payment ORDER BY name, id");
}

bool TboRentPayment::NewPayment(int *newKey)
{
    TPayBillDialogs &port = korvex::widgets::requirePort(m_dialogs, "TboRentPayment");
    return korvex::widgets::newThroughDialog(
        TPaymentRecord{},
        [&](TPaymentRecord &r, bool isNew, int &saved) { return port.paymentDialog(*this, r, isNew, saved); }, newKey);
}

bool TboRentPayment::EditPayment(int key)
{
    TPayBillDialogs &port = korvex::widgets::requirePort(m_dialogs, "TboRentPayment");
    return korvex::widgets::editThroughDialog(readPayment(key), [&](TPaymentRecord &r, bool isNew, int &saved) {
        return port.paymentDialog(*this, r, isNew, saved);
    });
}

bool TboRentPayment::DeletePayment(int key)
{
    TPayBillDialogs &port = korvex::widgets::requirePort(m_dialogs, "TboRentPayment");
    const korvex::widgets::TDeleteTexts texts{tr("Удалить форму оплаты?"), korvex::widgets::TxPrompt::attention(),
                                              tr("Форма оплаты уже используется в договорах или документах"),
                                              korvex::widgets::TxPrompt::attention()};
    return korvex::widgets::confirmAndDelete(m_context.db, port.prompt(), texts,
                                             QStringLiteral("DELETE FROM rent_payment WHERE id = ?"), {key});
}

std::optional<TPaymentRecord> TboRentPayment::readPayment(int key) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT id, name, shortname FROM rent_payment WHERE id = ?"), {key});
    if (!q.next())
        return std::nullopt;
    return TPaymentRecord{q.value(0).toInt(), q.value(1).toString().trimmed(), q.value(2).toString().trimmed()};
}

QString TboRentPayment::checkPayment(const TPaymentRecord &record)
{
    if (record.name.trimmed().isEmpty())
        return tr("Введите наименование");
    if (record.shortName.trimmed().isEmpty())
        return tr("Введите краткое наименование");
    return {};
}

int TboRentPayment::writePayment(TPaymentRecord &record)
{
    const QString problem = checkPayment(record);
    if (!problem.isEmpty())
        throw EBusinessError(problem);
    record.id = writeRow(m_context.db, QStringLiteral("rent_payment"), QStringLiteral("gen_rent_payment"), record.id,
                         {QStringLiteral("name"), QStringLiteral("shortname")},
                         {record.name.trimmed(), record.shortName.trimmed()}, tr("Форма оплаты удалена другим пользователем"));
    return record.id;
}

} // namespace korvex::billing
