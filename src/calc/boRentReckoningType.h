#pragma once

#include "shell/AppContext.h"
#include "widgets/xFieldTableModel.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <optional>

namespace korvex::widgets {
class TxTreeModel;
}

namespace korvex::calc {

class TCalcDialogs;

// One step of a reckoning type: its result is known to the later steps of
// the run under its name.
struct TReckoningStep {
    int id = 0;  // 0: not stored yet
    std::optional<int> number;
    QString name;
    QString formula;
    std::optional<double> rounding;  // none: no rounding
};

// A reckoning type with its steps, as the type dialog edits them. A new type
// takes its key from the key procedure before the dialog opens; the row
// exists only once the dialog stored it.
struct TReckoningType {
    int id = 0;
    bool stored = false;
    std::optional<int> parent;
    QString name;
    QString description;
    QList<TReckoningStep> steps;
};

// A built-in variable of the reckoning engine as the variable chooser lists it.
struct TBuiltInVariable {
    QString name;
    QString description;
};

// A step that cannot be stored as it is: its row among the steps and the
// message that names it.
struct TStepFault {
    int row = 0;
    QString message;
};

// The reckoning types: a tree of named chains of formula steps, each of which
// a price list row or a contract position may name. Every screen that names a
// type creates, edits and deletes it here; pricing by a type is the engine's
// (TboRentReckoning), which reads the steps itself.
class TboRentReckoningType : public QObject
{
    Q_OBJECT
public:
    // dialogs: the windows of the operations (may be null for callers that
    // only read and write rows).
    explicit TboRentReckoningType(korvex::shell::TAppContext &context, TCalcDialogs *dialogs = nullptr,
                                  QObject *owner = nullptr);

    // --- Operations ----------------------------------------------------------------
    // A new type under parent (0: at the top) named name. newKey: the last
    // type stored.
    bool NewReckoningType(int parent, const QString &name, int *newKey = nullptr);
    // False when the type does not exist or the user cancelled.
    bool EditReckoningType(int key);
    // Asks first; deletes the type and its steps together. A type still in
    // use is reported and kept with all its steps.
    bool DeleteReckoningType(int key);

    // --- Rows, for the dialogs and pages ---------------------------------------
    // A fresh key from RENT_P_GETTYPERECKONINGKEY.
    int newTypeKey();
    // A new, unstored type with a fresh key.
    TReckoningType newType(std::optional<int> parent, const QString &name);
    // The type with its steps in number order.
    std::optional<TReckoningType> readType(int key) const;
    // Stores the type and then its steps in one transaction (its own or the
    // caller's): steps missing from the list are deleted, the others updated
    // or inserted, each with the type's key. On success the type is marked
    // stored and new steps carry their keys; on failure nothing is written and
    // the type is left as it was. EBusinessError for steps that
    // checkSteps() refuses, EDatabaseError when the server refuses.
    void writeType(TReckoningType &type);

    // The first step that cannot be stored or whose name later formulas could
    // not use; none when all are fine.
    static std::optional<TStepFault> checkSteps(const QList<TReckoningStep> &steps);
    // True when a formula can read a variable of this name: an identifier of
    // the formula language that the calculator does not take for an operator.
    static bool isFormulaName(const QString &name);

    // The built-in names the engine gives a formula, exactly as formulas must
    // write them, and with their descriptions in the order the chooser lists them.
    static const QStringList &builtInNames();
    static QList<TBuiltInVariable> builtInVariables();

    // The type tree, by name.
    void setUpTree(korvex::widgets::TxTreeModel &model) const;
    // The steps of a type (one value: the type), for read-only lists.
    static QString stepsSql();

    korvex::shell::TAppContext &context() const { return m_context; }
    TCalcDialogs *dialogs() const { return m_dialogs; }

private:
    TCalcDialogs &requireDialogs() const;

    korvex::shell::TAppContext &m_context;
    TCalcDialogs *m_dialogs;
};

// The steps of a type as the type dialog edits them: pending changes, written
// only with the type. Fields NUMBER, NAME, FORMULA, ROUNDING.
class TReckoningStepModel : public korvex::widgets::TxRecordTableModel<TReckoningStep>
{
    Q_OBJECT
public:
    enum Column { NumberColumn, NameColumn, FormulaColumn, RoundingColumn };

    explicit TReckoningStepModel(QObject *parent = nullptr);

    void setSteps(const QList<TReckoningStep> &steps) { setRecords(steps); }
    const QList<TReckoningStep> &steps() const { return records(); }

    // Appends a step numbered after the last; returns its row.
    int appendStep();
    // Appends text to the step's formula (a chosen variable).
    void appendToFormula(int row, const QString &text);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

Q_SIGNALS:
    // A typed value was not taken; the text is ready to be shown.
    void cellRefused(const QString &message);
};

} // namespace korvex::calc
