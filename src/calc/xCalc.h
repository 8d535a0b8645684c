#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <functional>
#include <memory>
#include <stdexcept>

namespace korvex::calc {

// Every way an evaluation can fail. Several share a message (the three stack
// overflows) and differ only in the class of the exception raised.
enum class TFoCalFault : quint8 {
    EmptyExpression,
    InvalidExpression,
    ErrorInExpression,
    UnknownIdentifier,
    UnknownFunctionName,
    InvalidIdentifier,
    InvalidNumberFormat,
    OpeningParenthesisExpected,
    ClosingParenthesisMismatch,
    DivisionByZero,
    InvalidOperation,
    TooDeepNesting,           // groups nested deeper than any formula needs: "Stack overflow"
    ValueStackOverflow,
    ValueStackUnderflow,
    OperatorStackOverflow,
    OperatorStackUnderflow,
    FloatingPointOverflow,
    FloatingPointDivisionByZero,
    InvalidFloatingPointOperation,
};

// Base of everything the calculator raises; what() is the English message.
class EFoCalError : public std::runtime_error
{
public:
    TFoCalFault fault() const { return m_fault; }
    QString message() const { return QString::fromLatin1(what()); }

    // Raises the exception of the right class for a fault.
    [[noreturn]] static void raise(TFoCalFault fault);
    static const char *messageOf(TFoCalFault fault);

protected:
    explicit EFoCalError(TFoCalFault fault);

private:
    TFoCalFault m_fault;
};

// The calculator's own errors: syntax, names, division by zero.
class ExCustomFoCalError : public EFoCalError
{
    friend class EFoCalError;
    using EFoCalError::EFoCalError;
};

// The value stack of one (sub-)expression is full or empty.
class EDoubleStackError : public EFoCalError
{
    friend class EFoCalError;
    using EFoCalError::EFoCalError;
};

// The operator stack of one (sub-)expression is full or empty.
class EOpStackError : public EFoCalError
{
    friend class EFoCalError;
    using EFoCalError::EFoCalError;
};

// A floating-point fault: overflow, logarithm of zero, root or logarithm of a
// negative number, a rounding beyond 64 bits. No NaN or infinity is ever
// returned in its place.
class EFoCalMathError : public EFoCalError
{
    friend class EFoCalError;
    using EFoCalError::EFoCalError;
};

// A function that callers register by AddFunction. It must not use the
// calculator it is registered with.
using TFunction = double (*)(double x);

// Asked for a call of a function that is not registered: FuncName is the
// upper-cased name as written, V the evaluated argument on entry and the
// result on exit; returns true when it knew the function.
using TFunctionEvent = std::function<bool(const QString &FuncName, double &V)>;

// The shortest decimal text that reads back to the same double ("0.1", "1e+20").
QString shortestDecimalText(double value);

// A variable name as a calculator resolved it once (VariableHandle): setting
// its value by the handle skips looking the name up. A handle stays good
// whatever happens to the calculator's variables (cleared, set again by
// name, its look-up tables rebuilt): it then finds its name again. Given to
// another calculator, it is resolved there by its name.
class TFoCalVariableHandle
{
public:
    TFoCalVariableHandle() = default;
    const QString &name() const { return m_name; }

private:
    friend class TxCustomFoCal;
    QString m_name;
    quint64 m_owner = 0;  // the serial number of the calculator that resolved it
    quint64 m_epoch = 0;  // its symbol numbering then
    int m_symbol = -1;
};

// A formula text as a calculator keeps it compiled (FormulaHandle):
// evaluating by the handle skips finding the text among the formulas seen.
// Like a variable handle it stays good through anything the calculator does.
class TFoCalFormulaHandle
{
public:
    TFoCalFormulaHandle() = default;
    const QString &text() const { return m_text; }

private:
    friend class TxCustomFoCal;
    QString m_text;
    quint64 m_owner = 0;
    quint64 m_epoch = 0;
    void *m_entry = nullptr;
};

// The formula calculator: evaluates one arithmetic expression over named
// variables and one-argument functions.
//
// Evaluate keeps a compiled form of every expression text it has seen (found
// again by its text), so that evaluating the same formula again with new
// variable values does not scan it again; names are resolved when it runs,
// so the compiled form always answers exactly as scanning the text from left
// to right would (EvaluateLeftToRight), the same value or the same first
// error. A caller that evaluates the same formulas over many sets of values
// resolves its names and texts once and works by handle.
class TxCustomFoCal : public QObject
{
    Q_OBJECT

public:
    explicit TxCustomFoCal(QObject *owner = nullptr);
    ~TxCustomFoCal() override;

    // The last expression assigned; "Error" after an assignment that failed.
    QString Expression() const;
    // Stores the text and evaluates it into Value; an error is not passed on
    // but gives Value 0 and Expression "Error". An empty text gives 0 and "0".
    void SetExpression(const QString &text);

    double Value() const;
    // Stores the number and its decimal text as Expression; evaluates nothing.
    void SetValue(double value);

    // Raises EFoCalError (one of its subclasses) or whatever OnFunction raises.
    double Evaluate(const QString &text);
    // The same by a handle of FormulaHandle.
    double Evaluate(TFoCalFormulaHandle &formula);
    static TFoCalFormulaHandle FormulaHandle(const QString &text);
    // The same evaluation by scanning the text itself, without the compiled form.
    double EvaluateLeftToRight(const QString &text);

    // Replaces the value of the variable whose name equals this one ignoring
    // letter case (its stored spelling is kept), or appends a new variable.
    void SetVariable(const QString &name, double value);
    // The same by a handle of VariableHandle: a variable of the handle's
    // name, letter case ignored, takes the value, or one is appended.
    void SetVariable(TFoCalVariableHandle &variable, double value);
    static TFoCalVariableHandle VariableHandle(const QString &name);
    // Appends a function; at lookup the first record with a matching name wins.
    void AddFunction(const QString &name, TFunction function);
    // Removes every variable, PI and E included.
    void ClearVariables();

    // One line "NAME = 3.14159265358979E+000" per variable, in creation order;
    // the decimal point is the default locale's.
    QStringList Variables() const;
    // Replaces every variable by the NAME=VALUE lines (lines without "=" are
    // skipped; names are upper-cased). A value that does not convert raises
    // "Invalid number format" and leaves the variables as they were.
    void SetVariables(const QStringList &lines);

    // The function names in registration order.
    QStringList Functions() const;
    void SetFunctions(const QStringList &) {}

    bool StrictVars() const;
    void SetStrictVars(bool strict);

    const TFunctionEvent &OnFunction() const;
    void SetOnFunction(TFunctionEvent handler);

    // Persisted state: "Expression", "StrictVars" and, when there is a
    // variable, "_variables_" as a flat list of name, value, name, value...
    // Loading adds the pairs by SetVariable up to the first item that is not
    // a text, and then evaluates the expression once.
    QVariantMap SaveState() const;
    void LoadState(const QVariantMap &state);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

// The calculator as components use it, with its properties published.
class TxFoCal : public TxCustomFoCal
{
    Q_OBJECT
    Q_PROPERTY(QString Expression READ Expression WRITE SetExpression)
    Q_PROPERTY(double Value READ Value WRITE SetValue)
    Q_PROPERTY(bool StrictVars READ StrictVars WRITE SetStrictVars)
    Q_PROPERTY(QStringList Variables READ Variables WRITE SetVariables)
    Q_PROPERTY(QStringList Functions READ Functions WRITE SetFunctions)

public:
    using TxCustomFoCal::TxCustomFoCal;
};

} // namespace korvex::calc
