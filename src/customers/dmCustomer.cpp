#include "dmCustomer.h"

#include "db/xDatabase.h"
#include "db/xDbError.h"
#include "db/xQuery.h"
#include "db/xStoredProc.h"
#include "db/xTransaction.h"
#include "shell/mmOptions.h"
#include "widgets/xPrompt.h"

#include <QDebug>
#include <algorithm>

namespace korvex::customers {

using namespace korvex::db;
using korvex::widgets::TxPrompt;

TdmCustomer::TdmCustomer(korvex::shell::TAppContext &context)
    : m_context(context)
    , m_callerTransaction(context.db.inTransaction())
    , m_enterprise(TFactoryFilter::enterprisePrefix())
    , m_bank(TFactoryFilter::bankPrefix())
{
    m_enterprise.ReadFromOptions(&context.options);
    m_bank.ReadFromOptions(&context.options);
}

TdmCustomer::~TdmCustomer()
{
    try {
        saveFilters();
    } catch (const std::exception &e) {
        // A destructor cannot ask the user; the filters stay as last stored.
        qWarning() << "The customer filters could not be stored:" << e.what();
    }
}

void TdmCustomer::saveFilters()
{
    if (!m_context.db.isOpen())
        return;
    m_enterprise.WriteToOptions(&m_context.options);
    m_bank.WriteToOptions(&m_context.options);
}

QString TdmCustomer::placeKindList()
{
    return QStringLiteral("SELECT * FROM cst_p_placekind_list ORDER BY grade, abbr COLLATE PXW_CYRL");
}

QString TdmCustomer::classifierList(TClassifier kind)
{
    return QStringLiteral("SELECT * FROM %1").arg(TClassifiers::info(kind).table);
}

void TdmCustomer::runWrite(const std::function<void()> &body)
{
    runInTransaction(m_context.db, body);
}

bool TdmCustomer::deleteCustomer(int customerKey, TxPrompt &prompt)
{
    if (customerKey <= 0 || !prompt.confirm(tr("Удалить клиента из справочника?")))
        return false;
    try {
        runWrite([&] {
            TxStoredProc proc(m_context.db, QStringLiteral("CST_P_DELETECUSTOMER"));
            proc.setParam(QStringLiteral("customerkey"), customerKey);
            proc.execute();
        });
    } catch (const EDatabaseError &e) {
        if (!e.isInUse())
            throw;
        prompt.warning(tr("Нельзя удалить клиента, т.к. он уже используется"));
        return false;
    }
    return true;
}

bool TdmCustomer::deleteClassifier(TClassifier kind, int key, TxPrompt &prompt)
{
    const TClassifierInfo &info = TClassifiers::info(kind);
    if (!info.deleteQuestion.isEmpty() && !prompt.confirm(info.deleteQuestion))
        return false;
    try {
        runWrite([&] {
            TxQuery::execute(m_context.db, QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(info.table, info.keyField), {key});
        });
    } catch (const EDatabaseError &e) {
        if (!e.isInUse())
            throw;
        prompt.warning(m_callerTransaction && !info.inUseInCallerMessage.isEmpty() ? info.inUseInCallerMessage
                                                                                   : info.inUseMessage);
        return false;
    }
    return true;
}

void TdmCustomer::cutPlace(int placeKey)
{
    const auto at = std::lower_bound(m_clipboard.begin(), m_clipboard.end(), placeKey);
    if (at == m_clipboard.end() || *at != placeKey)
        m_clipboard.insert(at, placeKey);
}

QString TdmCustomer::placeTitle(int placeKey) const
{
    TxQuery q(m_context.db);
    q.exec(QStringLiteral("SELECT TRIM(k.name), TRIM(p.name) FROM fin_place p "
                          "LEFT JOIN fin_placekind k ON k.placekindkey = p.placekind WHERE p.placekey = ?"),
           {placeKey});
    if (!q.next())
        return {};
    const QString kind = q.value(0).toString();
    const QString name = q.value(1).toString();
    return kind.isEmpty() ? name : kind + QLatin1Char(' ') + name;
}

std::optional<TdmCustomer::TPlaceRun> TdmCustomer::pastePlaces(int target, TxPrompt &prompt)
{
    return runPlaces(QStringLiteral("cst_p_sendplace"), tr("Вставить в ") + placeTitle(target), target, prompt);
}

std::optional<TdmCustomer::TPlaceRun> TdmCustomer::replacePlaces(int target, TxPrompt &prompt)
{
    return runPlaces(QStringLiteral("cst_p_replace_place"), tr("Заменить на ") + placeTitle(target), target, prompt);
}

std::optional<TdmCustomer::TPlaceRun> TdmCustomer::runPlaces(const QString &procedure, const QString &question, int target,
                                                              TxPrompt &prompt)
{
    if (m_clipboard.isEmpty() || !prompt.confirm(question))
        return std::nullopt;
    TPlaceRun run;
    const QList<int> places = m_clipboard;
    for (int source : places) {
        try {
            runWrite([&] {
                TxStoredProc proc(m_context.db, procedure);
                proc.setParam(QStringLiteral("Source"), source);
                proc.setParam(QStringLiteral("Target"), target);
                proc.execute();
            });
            ++run.done;
        } catch (const EDatabaseError &) {
            ++run.refused;
            if (prompt.confirm(tr("Нарушена иерархия в населенных пунктах\r\nПрервать?"))) {
                run.stopped = true;
                break;
            }
        }
    }
    m_clipboard.clear();
    return run;
}

} // namespace korvex::customers
