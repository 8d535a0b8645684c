#pragma once

#include "Classifiers.h"
#include "FactoryFilter.h"
#include "shell/AppContext.h"
#include "widgets/xSqlFilter.h"

#include <QCoreApplication>
#include <QList>
#include <optional>

namespace korvex::widgets {
class TxPrompt;
}

namespace korvex::customers {

// The data module of the customer directory page: what its lists ask of the
// database, the two directory filters (enterprises and banks, each under its
// own option prefix, read when the module is made and written when it goes),
// the deletes of customers and classifiers, and the clipboard of places cut
// for moving.
//
// A transaction already active when the module is made is the caller's: the
// module's writes then run inside it instead of committing on their own.
class TdmCustomer
{
    Q_DECLARE_TR_FUNCTIONS(TdmCustomer)
public:
    // Customer kinds (cst_customer.kind).
    enum Kind { Enterprise = 1, Bank = 2, Person = 3, Entrepreneur = 4 };

    explicit TdmCustomer(korvex::shell::TAppContext &context);
    ~TdmCustomer();
    TdmCustomer(const TdmCustomer &) = delete;
    TdmCustomer &operator=(const TdmCustomer &) = delete;

    korvex::shell::TAppContext &context() const { return m_context; }
    bool inCallerTransaction() const { return m_callerTransaction; }

    // --- Directory filters ------------------------------------------------------
    TFactoryFilter &enterpriseFilter() { return m_enterprise; }
    TFactoryFilter &bankFilter() { return m_bank; }
    // The filter of a list: banks for kind 2, enterprises otherwise.
    TFactoryFilter &filter(int customerKind) { return customerKind == Bank ? m_bank : m_enterprise; }
    // Takes over a confirmed filter dialog's copy.
    void applyFilter(int customerKind, const TFactoryFilter &edited) { filter(customerKind).Assign(edited); }
    // Writes both filters to the options (the destructor does it too).
    void saveFilters();

    // --- Lists --------------------------------------------------------------------
    korvex::widgets::TxSqlFilter customerList(int customerKind) { return filter(customerKind).listStatement(customerKind); }
    static QString placeKindList();
    static QString classifierList(TClassifier kind);

    // --- Deletes ------------------------------------------------------------------
    // Asks "Удалить клиента из справочника?", then deletes through
    // cst_p_deletecustomer. A customer still in use is reported; true when
    // the customer was deleted.
    bool deleteCustomer(int customerKey, korvex::widgets::TxPrompt &prompt);
    // Asks the classifier's question (a place none), deletes the row and
    // reports a row still in use; true when it was deleted.
    bool deleteClassifier(TClassifier kind, int key, korvex::widgets::TxPrompt &prompt);

    // --- Places -------------------------------------------------------------------
    // Cut places wait in the clipboard, sorted, each once.
    void cutPlace(int placeKey);
    void clearClipboard() { m_clipboard.clear(); }
    QList<int> clipboard() const { return m_clipboard; }
    bool hasClipboard() const { return !m_clipboard.isEmpty(); }

    // The kind and name of a place as the questions show it: "Город Минск".
    QString placeTitle(int placeKey) const;

    struct TPlaceRun {
        int done = 0;
        int refused = 0;
        bool stopped = false;  // the user chose to stop after a refusal
    };
    // Moves every cut place under the target (cst_p_sendplace) after the
    // question "Вставить в ...". Each place goes in a transaction of its own
    // (or in the caller's); when one is refused the user is asked whether to
    // stop. The clipboard is emptied afterwards. nullopt: the user said no to
    // the first question and nothing happened.
    std::optional<TPlaceRun> pastePlaces(int target, korvex::widgets::TxPrompt &prompt);
    // Replaces every cut place by the target (cst_p_replace_place), asking
    // "Заменить на ..." first; otherwise as pastePlaces().
    std::optional<TPlaceRun> replacePlaces(int target, korvex::widgets::TxPrompt &prompt);

private:
    std::optional<TPlaceRun> runPlaces(const QString &procedure, const QString &question, int target,
                                       korvex::widgets::TxPrompt &prompt);
    // Runs one write in a transaction of its own, or inside the caller's.
    void runWrite(const std::function<void()> &body);

    korvex::shell::TAppContext &m_context;
    bool m_callerTransaction;
    TFactoryFilter m_enterprise;
    TFactoryFilter m_bank;
    QList<int> m_clipboard;
};

} // namespace korvex::customers
