#include "xCalcLanguage.h"

namespace korvex::calc {

// The interpreter: the left-to-right algorithm itself, the reference the
// compiled form agrees with (see xCalcLanguage.h), and the evaluator of
// expressions that reach OnFunction.

namespace {

class TDoubleStack
{
public:
    void Push(double v)
    {
        if (m_count == kStackSize)
            raise(Fault::ValueStackOverflow);
        m_items[m_count++] = v;
    }
    double Pop()
    {
        if (m_count == 0)
            raise(Fault::ValueStackUnderflow);
        return m_items[--m_count];
    }
    int Count() const { return m_count; }

private:
    double m_items[kStackSize];
    int m_count = 0;
};

class TOpStack
{
public:
    void Push(Oper op)
    {
        if (m_count == kStackSize)
            raise(Fault::OperatorStackOverflow);
        m_items[m_count++] = op;
    }
    Oper Pop()
    {
        if (m_count == 0)
            raise(Fault::OperatorStackUnderflow);
        return m_items[--m_count];
    }
    Oper Top() const { return m_items[m_count - 1]; }
    int Count() const { return m_count; }

private:
    Oper m_items[kStackSize];
    int m_count = 0;
};

} // namespace

class TxCustomFoCal::Private::LeftToRight
{
public:
    explicit LeftToRight(Private &d) : d(d) {}

    double expression(Text s, int nesting)
    {
        TDoubleStack values;
        TOpStack ops;
        // Two operands side by side (2(3), 2A): never a valid formula, even
        // when a stray operator elsewhere would consume the extra value.
        bool lastWasValue = false;
        bool juxtaposed = false;
        const auto pushValue = [&](double v) {
            juxtaposed = juxtaposed || lastWasValue;
            values.Push(v);
            lastWasValue = true;
        };
        const auto reduce = [&] {
            const Oper op = ops.Pop();
            if (values.Count() < 2)
                raise(Fault::ErrorInExpression);
            const double r = values.Pop();
            const double l = values.Pop();
            values.Push(applyOperator(op, l, r));
        };
        const auto pushOperator = [&](Oper op) {
            while (ops.Count() > 0 && kPrecedence[ops.Top()] >= kPrecedence[op])
                reduce();
            ops.Push(op);
            lastWasValue = false;
        };

        size_t i = 0;
        while (i < s.size()) {
            const char16_t c = s[i];
            if (isOperatorChar(c)) {
                size_t len = 1;
                if (values.Count() == 0 && c == u'-') {
                    values.Push(0);
                    ops.Push(opNeg);
                } else if (!(values.Count() == 0 && c == u'+')) {
                    pushOperator(binaryOperator(s, i, len));
                }
                i += len;
            } else if (c == u'(') {
                pushValue(group(s, i, nesting));
            } else if (isDigit(c) || c == u'.' || c == u',') {
                const size_t end = numberRunEnd(s, i);
                double v = 0;
                Fault fault;
                if (!convertNumber(s.substr(i, end - i), v, fault))
                    raise(fault);
                pushValue(v);
                i = end;
            } else {
                const size_t end = identifierEnd(s, i);
                if (end == i)
                    raise(Fault::InvalidIdentifier);
                const Text name = s.substr(i, end - i);
                Oper op;
                if (wordOperator(name, op)) {
                    pushOperator(op);
                    i += 3;
                    continue;
                }
                const int var = d.variableOf(name);
                if (var >= 0) {
                    pushValue(d.variableValue(var));
                    i = end;
                    continue;
                }
                if (const TFunctionRec *f = d.findFunction(name)) {
                    const TFunction function = f->function;  // the record may move while the argument runs
                    i = end;
                    if (i >= s.size() || s[i] != u'(')
                        raise(Fault::OpeningParenthesisExpected);
                    const double x = group(s, i, nesting);
                    pushValue(finite(function(x)));
                    continue;
                }
                if (end < s.size() && s[end] == u'(') {
                    if (d.onFunction) {
                        i = end;
                        double v = group(s, i, nesting);
                        const TFunctionEvent handler = d.onFunction;
                        if (handler(toQString(name), v)) {
                            pushValue(finite(v));
                            continue;
                        }
                    }
                    raise(Fault::UnknownFunctionName);
                }
                if (d.strictVars)
                    raise(Fault::UnknownIdentifier);
                pushValue(0);
                i = end;
            }
        }
        while (ops.Count() > 0)
            reduce();
        if (values.Count() == 0)
            raise(Fault::EmptyExpression);
        if (values.Count() > 1 || juxtaposed)
            raise(Fault::InvalidExpression);
        return values.Pop();
    }

private:
    // The group that opens at s[i]; moves i past its ")".
    double group(Text s, size_t &i, int nesting)
    {
        if (i >= s.size() || s[i] != u'(')
            raise(Fault::OpeningParenthesisExpected);
        const size_t close = closingParenthesis(s, i);
        if (close == Text::npos)
            raise(Fault::ClosingParenthesisMismatch);
        if (nesting >= kMaxNesting)
            raise(Fault::TooDeepNesting);
        const double v = expression(s.substr(i + 1, close - i - 1), nesting + 1);
        i = close + 1;
        return v;
    }

    Private &d;
};

double TxCustomFoCal::Private::interpret(const QString &text)
{
    const std::u16string s = normalized(text);
    return LeftToRight(*this).expression(s, 0);
}

} // namespace korvex::calc
