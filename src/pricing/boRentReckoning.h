#pragma once

#include "calc/boRentReckoningType.h"
#include "shell/AppContext.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>

namespace korvex::db {
class TxQuery;
class TxTransaction;
}

namespace korvex::calc {

// A contract service row as a contract dialog holds it while editing: what
// "Формулы для расчета цен" prices with, and the two fields it sets.
struct TContractServiceEdit {
    int id = 0;
    int contractKey = 0;
    int customerKey = 0;  // of the contract
    int objectKey = 0;
    int serviceKey = 0;
    double costNcu = 0;
    double costCurr = 0;
    std::optional<int> typeReckoningKey;
    std::optional<int> ncuReckoning;  // none: the option rentNCUReckoning presets the switch
    std::optional<double> countObject;  // none: as stored
};

class TReckoningRun;
class TFoCalFormulaHandle;

// The reckoning engine: prices one contract service by running its
// reckoning type, a chain of formula steps over the built-in variables (the
// position, the price list, the object, the rate, the debts) and the user
// variables. Load a position, optionally give a rate, Reckon, then read
// CostNCU and CostCurr. One engine serves any number of positions.
// The types themselves are read and written by TboRentReckoningType.
class TboRentReckoning : public QObject
{
    Q_OBJECT
public:
    explicit TboRentReckoning(korvex::shell::TAppContext &context, QObject *owner = nullptr);
    ~TboRentReckoning() override;

    // --- Pricing context: set by LoadContractService or by the caller ----------
    int ContractServiceKey = 0;
    int ObjectKey = 0;
    int ServiceKey = 0;
    int CustomerKey = 0;
    int ContractKey = 0;
    int TypeReckoningKey = 0;  // 0: none
    // The formulas give the NCU price and the currency price is derived from
    // it (true), or the reverse.
    bool NCUReckoning = false;
    double CostNCU = 0;
    double CostCurr = 0;
    double CountObject = 0;
    // A rate given by the caller; 0: the rate of the currency of option
    // rentcurrkey today.
    double ReckoningRate = 0;

    // --- Pricing ------------------------------------------------------------------
    // Reads the contract service and its contract into the context. A key
    // that does not exist clears the context and answers false; Reckon then
    // fails until a position is loaded.
    bool LoadContractService(int key);
    // Computes CostNCU and CostCurr. On false both keep the values they had
    // and failureReason() says why. Database errors are thrown.
    bool Reckon();
    // Runs the steps of the type; value holds the last step's (rounded)
    // result, and is the running price when it is CostNCU or CostCurr itself.
    bool RunReckoningType(int typeKey, double &value);
    // Evaluates one formula in the current context (and with the step results
    // of the last run).
    bool EvaluateFormula(const QString &formula, double &value);
    // Why the last failed operation failed: the step and the calculator's
    // message, or the missing price row, rate, value or position.
    QString failureReason() const;

    // The opener of "Формулы для расчета цен": loads the row's position and
    // then takes the row as edited, the contract's customer and the rate.
    void LoadEditedContractService(const TContractServiceEdit &row, double rate);
    // The switch "Первой рассчитывается" for a row: its ncureckoning, or the
    // option rentNCUReckoning when it has none (1 when neither is set).
    int ncuReckoningFor(const TContractServiceEdit &row) const;

    korvex::shell::TAppContext &context() const { return m_context; }

private:
    friend class TReckoningRun;
    struct Engine;
    struct Run;
    struct Step;
    struct Words;
    struct ObjectRow;
    struct Variable;

    // The owned objects of pricing, made at first use: the type operations
    // need none of them.
    Engine &engine();
    bool fail(const QString &reason);
    QDate today() const;
    // Runs a statement, prepared once per run while one is active.
    korvex::db::TxQuery &query(korvex::db::TxQuery &own, const QString &sql, const QVariantList &values);
    // Reads kept by a run (own receives the row outside one).
    const QList<Step> &stepsOf(int typeKey, QList<Step> &own);
    const ObjectRow &objectRow(int key, ObjectRow &own);
    int currService(int serviceKey);
    // ReckoningRate, else today's rate of the currency of option
    // rentcurrkey; none (and why) when there is neither.
    std::optional<double> currencyRate(QString &reason);
    std::optional<double> userValue(const QString &word);
    bool isUserVariable(const QString &word);
    // СТОИМУСЛУГИ, КОЛУСЛУГ, СУММАУСЛУГ (0, 1, 2) from their procedures.
    std::optional<double> serviceProcedure(int which, QString &reason);
    static Words analyse(const QString &formula);
    const Words &wordsOf(const QString &formula, Words &own);
    // EvaluateFormula for a formula whose words are known; compiled: the
    // formula's handle when the caller keeps one.
    bool evaluate(const QString &formula, TFoCalFormulaHandle *compiled, const Words &words, double &value);
    QString unknownNameReason(const QString &formula, const QString &message);

    korvex::shell::TAppContext &m_context;
    std::unique_ptr<Engine> m_engine;
    QString m_failure;
    bool m_loadFailed = false;
};

// A pricing run: how every loop over positions prices them (making the
// month's invoices, distributing a payment, "на все услуги" in a contract,
// a document with many lines). Put one around the loop:
//
//     TboRentReckoning engine(context);
//     TReckoningRun run(engine);            // before the first position
//     for (int key : positions) {
//         engine.LoadContractService(key);
//         engine.ReckoningRate = rate;
//         if (engine.Reckon())
//             use(engine.CostNCU, engine.CostCurr);
//     }                                      // the run ends with its scope
//
// While it lives the engine reads each thing once and keeps it: the steps
// of each type (compiled), the option rentcurrkey and today's rate,
// price-list rows, object rows, services' currency flags and user-variable
// values; "today" stays the day the run began, and every statement stays
// prepared. Everything is read inside the run's transaction (the caller's,
// which it joins, or one of its own that only reads and is rolled back), so
// what is kept is what a fresh read would give and no price changes; the
// prices are those of the engine without a run, to the last bit.
//
// Rules: a run must end before a transaction it joined ends; the work done
// inside it must not change the rows it keeps (prices, objects, variables,
// rates) - work that writes (invoice lines, debts) holds its own transaction
// around the run and writes other tables. Runs nest (the outer one counts).
// Without a run each Reckon reads everything afresh in a transaction of its
// own.
class TReckoningRun
{
public:
    explicit TReckoningRun(TboRentReckoning &engine);
    ~TReckoningRun();
    TReckoningRun(const TReckoningRun &) = delete;
    TReckoningRun &operator=(const TReckoningRun &) = delete;

private:
    TboRentReckoning &m_engine;
    std::unique_ptr<korvex::db::TxTransaction> m_transaction;
    bool m_outer = false;
};

} // namespace korvex::calc
