#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

namespace korvex::db {
class TxDatabase;
}

namespace korvex::shell {
struct TAppContext;
}

namespace korvex::widgets {
class TxTreeModel;
}

namespace korvex::calc {

class TCalcDialogs;

// One row of the variable dictionary as the variable dialog edits it.
struct TVariableRecord {
    int id = 0;  // 0: a new variable
    std::optional<int> parent;
    QString name;
    QString description;
    bool lockObject = false;
    bool lockService = false;
    bool lockCustomer = false;
};

// Which keys a variable's values depend on.
struct TVariableBindings {
    bool object = false;
    bool service = false;
    bool customer = false;
};

// One value row as the value dialog edits it. Keys of bindings the variable
// does not have are stored as NULL whatever the record holds.
struct TValueVariableRecord {
    int id = 0;  // 0: a new row
    std::optional<int> parent;
    std::optional<int> variableKey;
    std::optional<int> objectKey;
    std::optional<int> serviceKey;
    std::optional<int> customerKey;
    std::optional<double> value;  // none: not set
};

// Why a value row cannot be stored: the field to correct and the message.
struct TValueFault {
    enum Field { Variable, Object, Service, Customer };
    Field field = Variable;
    QString message;
};

// What a delete of several value rows did.
struct TValueDeleteResult {
    int deleted = 0;
    int refused = 0;  // rows other rows (or another workstation) still hold
};

// The variable dictionary: named numbers the users define for the formulas,
// kept as a tree of folders and variables.
class TboRentVariable
{
    Q_DECLARE_TR_FUNCTIONS(TboRentVariable)
public:
    // dialogs: the windows of the operations (may be null for callers that
    // only read and write rows).
    explicit TboRentVariable(korvex::shell::TAppContext &context, TCalcDialogs *dialogs = nullptr);

    // The variable dialog on a new row under parent (0: at the top) with the
    // name given; newKey: the last variable stored.
    bool NewVariable(int parent, const QString &name, int *newKey = nullptr);
    // False when the variable does not exist or the user cancelled.
    bool EditVariable(int key);
    // Asks first; a variable that has values is reported and kept.
    bool DeleteVariable(int key);
    // The variable chooser: the chosen name with a blank on either side,
    // empty when cancelled.
    QString ChooseVariable();

    // --- Rows, for the dialogs and pages ---------------------------------------
    TVariableRecord newRecord(std::optional<int> parent, const QString &name) const;
    std::optional<TVariableRecord> readVariable(int key) const;
    // Inserts (id 0, which then receives the new key) or updates the row, in a
    // transaction of its own or the caller's. A name already taken is refused
    // with "Такая переменная уже существует" (EDatabaseError).
    void writeVariable(TVariableRecord &record);
    // The first fault of a name, in the order the dialog checks it; none
    // when formulas can use the name. Letters only (Latin, or Cyrillic А to
    // я: the letters a formula's words are made of), and not a name the
    // engine or the calculator keeps for itself.
    static std::optional<QString> checkName(const QString &name);

    // The dictionary tree by name, with the description and the bindings.
    void setUpTree(korvex::widgets::TxTreeModel &model) const;

    korvex::shell::TAppContext &context() const { return m_context; }
    TCalcDialogs *dialogs() const { return m_dialogs; }

private:
    TCalcDialogs &requireDialogs() const;

    korvex::shell::TAppContext &m_context;
    TCalcDialogs *m_dialogs;
};

// The values of user variables: one row per combination of the keys a
// variable is bound to (object, service, customer). A value given for an
// object serves every object below it unless one of them has its own. The
// rows form a tree of their own, for grouping only.
class TboRentValueVariable
{
    Q_DECLARE_TR_FUNCTIONS(TboRentValueVariable)
public:
    // For finding values only.
    explicit TboRentValueVariable(korvex::db::TxDatabase &db);
    // For the page and the dialogs.
    TboRentValueVariable(korvex::shell::TAppContext &context, TCalcDialogs *dialogs);

    // Finds the value of the variable for the object, service and customer
    // (0 = none). Keys of bindings the variable does not have are ignored;
    // only the object key climbs the object tree. A row whose value is not
    // set does not count: the search goes on up the tree as for a missing
    // row. Returns false for an unknown name or when nothing is found; the
    // previous value is cleared either way.
    bool FindValue(const QString &name, int objectKey, int serviceKey, int customerKey);
    double Value() const { return m_value; }

    // Whether the dictionary knows the name (letter case ignored).
    bool IsVariable(const QString &name);

    // The value dialog on a new row under parent (0: at the top); newKey: the
    // last row stored.
    bool NewValueVariable(int parent, int *newKey = nullptr);
    // False when the row does not exist or the user cancelled.
    bool EditValueVariable(int key);
    // With marked rows (given in tree order, parents first): asks "Удалить
    // выделенные переменные?" and deletes them, the rows below a group before
    // the group, under a progress window. Without: asks "Удалить
    // переменную?" and deletes the current row. Each row is deleted in a
    // transaction of its own, so that what was deleted stays deleted; rows
    // the database refuses are kept and counted in a message afterwards.
    // True when the user said Yes.
    bool DeleteValueVariables(int currentKey, const QList<int> &marked, TValueDeleteResult *result = nullptr);
    // "Удаление выделенных переменных": asks "Удалить веделенные записи?" and
    // deletes the marked rows one by one; the first refusal stops the run and
    // is reported with the server's text, the rows deleted before it staying
    // deleted. True when the user said Yes.
    bool DeleteMarkedValueVariables(const QList<int> &marked, TValueDeleteResult *result = nullptr);
    // Moves the row under target (0: the top). Onto itself: nothing changes,
    // true. Under another row only when rent_p_testreplaceValueVariable
    // allows it. Returns whether the row was moved.
    bool MoveValueVariable(int key, int target);
    // Writes the value into every row given, in one transaction; NULL for none.
    void AssignValue(const QList<int> &keys, std::optional<double> value);
    // "Формирование переменных по клиентам": a row without a value for every
    // customer given that has no row of the variable yet, in one transaction.
    // The rows of one run form one group: the first row has no parent, the
    // others have the first row's key as their parent. Returns the number of
    // rows inserted.
    int MakeCustomerValues(int variableKey, const QList<int> &customerKeys);

    // --- Rows, for the dialogs and pages ---------------------------------------
    TValueVariableRecord newRecord(std::optional<int> parent) const;
    std::optional<TValueVariableRecord> readValueVariable(int key) const;
    // The bindings of a variable; none when it does not exist.
    std::optional<TVariableBindings> bindings(int variableKey) const;
    // The first fault of a row, in the order the dialog checks: a variable
    // chosen, a key for each of its bindings, no other row of the variable
    // with the same keys. None when the row can be stored.
    std::optional<TValueFault> checkValueVariable(const TValueVariableRecord &record) const;
    // Clears the keys the variable is not bound to and inserts (id 0, which
    // then receives the new key) or updates the row, in a transaction of its
    // own or the caller's. A row checkValueVariable() refuses is not written:
    // EDatabaseError with the fault's message.
    void writeValueVariable(TValueVariableRecord &record);
    // Stores one value typed into the tree (NULL: none).
    void writeValue(qint64 key, const QVariant &value);

    // The value rows as a tree (text: the variable's name) with customer,
    // object, service and value, ordered by customer and object name.
    // Rows can be marked and the value typed in place.
    void setUpTree(korvex::widgets::TxTreeModel &model);

    korvex::shell::TAppContext &context() const;
    TCalcDialogs *dialogs() const { return m_dialogs; }

private:
    TCalcDialogs &requireDialogs() const;
    // Deletes the rows from the last given to the first, each in a
    // transaction of its own, counting into result; a refusal stops the run
    // when stopOnRefusal (rethrown), else it is counted.
    void deleteRows(const QList<int> &keys, bool stopOnRefusal, bool withProgress, TValueDeleteResult &result);

    korvex::db::TxDatabase &m_db;
    korvex::shell::TAppContext *m_context = nullptr;
    TCalcDialogs *m_dialogs = nullptr;
    double m_value = 0;
};

} // namespace korvex::calc
