#include "xCalcLanguage.h"

#include <exception>

#if defined(__SSE2__)
#include <xmmintrin.h>
#endif

namespace korvex::calc {

// The compiler: the same walk as the interpreter's LeftToRight, emitting
// instead of computing; both must agree (see xCalcLanguage.h).

class TxCustomFoCal::Private::Compiler
{
public:
    Compiler(Private &d, Program &p) : d(d), p(p) {}

    void compile(Text s)
    {
        p.code.clear();
        p.variables.clear();
        p.notVariables.clear();
        p.namesChecked = 0;
        p.interpret = false;
        try {
            expression(s, 0);
            put({kEnd});
        } catch (const Stop &) {
        }
        if (p.interpret)
            p.code.clear();
        for (std::vector<int> *list : {&p.variables, &p.notVariables}) {
            std::sort(list->begin(), list->end());
            list->erase(std::unique(list->begin(), list->end()), list->end());
        }
        // The deepest the stack gets, for the runner's buffer.
        int depth = 0;
        p.maxDepth = 1;
        for (const Instr &in : p.code) {
            if (in.kind == kConst || in.kind == kVar || in.kind >= kVarBinConst)
                ++depth;
            else if (in.kind >= kBin && in.kind < kBinConst)
                --depth;
            p.maxDepth = std::max(p.maxDepth, depth);
        }
    }

private:
    struct Stop {};  // the program has ended: a fault is emitted, or OnFunction is reached

    struct Level {
        int values = 0;
        int opCount = 0;
        Oper ops[kStackSize];
        bool lastWasValue = false;
        bool juxtaposed = false;
    };

    void put(Instr in) { p.code.push_back(in); }

    [[noreturn]] void emitRaise(Fault f)
    {
        Instr in{kRaise};
        in.a = int(f);
        put(in);
        throw Stop{};
    }

    // Pushes: where each value on the stack begins in the code is kept, so
    // that an operand made by one instruction can be merged into the next.
    void emitConst(double c)
    {
        starts.push_back(p.code.size());
        Instr in{kConst};
        in.c = c;
        put(in);
    }

    void emitVariable(int symbol)
    {
        starts.push_back(p.code.size());
        Instr in{kVar};
        in.a = symbol;
        put(in);
    }

    // Two constants fold (a failure becomes a Raise in their place); operands
    // made by a single push go into the instruction. A constant left operand
    // may move after the right one, as a push has no effect to order; a
    // variable may not, as reading it can fail.
    void emitBinary(Oper op)
    {
        std::vector<Instr> &code = p.code;
        const size_t n = code.size();
        const size_t right = starts.back();
        starts.pop_back();
        const size_t left = starts.back();
        const bool rightSingle = right == n - 1;
        const bool leftSingle = left + 1 == right;
        const quint8 rk = code[right].kind;
        const quint8 lk = code[left].kind;
        if (rightSingle && leftSingle && lk == kConst && rk == kConst) {
            const double l = code[left].c;
            const double r = code[right].c;
            code.resize(left);
            starts.pop_back();
            double v = 0;
            try {
                v = applyOperator(op, l, r);
            } catch (const EFoCalError &e) {
                emitRaise(e.fault());
            }
            emitConst(v);
        } else if (rightSingle && leftSingle && lk == kVar && rk == kConst) {
            code[left].kind = quint8(kVarBinConst + int(op));
            code[left].c = code[right].c;
            code.pop_back();
        } else if (rightSingle && leftSingle && lk == kVar && rk == kVar) {
            code[left].kind = quint8(kVarBinVar + int(op));
            code[left].b = code[right].a;
            code.pop_back();
        } else if (rightSingle && rk == kConst) {
            code[right].kind = quint8(kBinConst + int(op));
        } else if (rightSingle && rk == kVar) {
            code[right].kind = quint8(kBinVar + int(op));
        } else if (leftSingle && lk == kConst) {
            Instr in{quint8(kConstBin + int(op))};
            in.c = code[left].c;
            code.erase(code.begin() + std::ptrdiff_t(left));
            put(in);
        } else {
            put({quint8(kBin + int(op))});
        }
    }

    void emitCall(const TFunctionRec &f)
    {
        std::vector<Instr> &code = p.code;
        if (f.builtIn && starts.back() == code.size() - 1 && code.back().kind == kConst) {
            const double x = code.back().c;
            code.pop_back();
            starts.pop_back();
            double v = 0;
            try {
                v = finite(f.function(x));
            } catch (const EFoCalError &e) {
                emitRaise(e.fault());
            }
            emitConst(v);
            return;
        }
        // The rounding functions run inline: reckoning formulas call them often.
        const std::pair<TFunction, double> roundings[] = {{fnRound, 1}, {fnRound10, 10}, {fnRound100, 100}, {fnRound1000, 1000}};
        for (const auto &[function, scale] : roundings) {
            if (f.builtIn && f.function == function) {
                Instr in{kRound};
                in.c = scale;
                put(in);
                return;
            }
        }
        Instr in{kCall};
        in.function = f.function;
        put(in);
    }

    void valuePushed(Level &l)
    {
        l.juxtaposed = l.juxtaposed || l.lastWasValue;
        if (l.values == kStackSize)
            emitRaise(Fault::ValueStackOverflow);
        ++l.values;
        l.lastWasValue = true;
    }

    void reduce(Level &l)
    {
        const Oper op = l.ops[--l.opCount];
        if (l.values < 2)
            emitRaise(Fault::ErrorInExpression);
        emitBinary(op);
        --l.values;
    }

    void pushOperator(Level &l, Oper op)
    {
        while (l.opCount > 0 && kPrecedence[l.ops[l.opCount - 1]] >= kPrecedence[op])
            reduce(l);
        if (l.opCount == kStackSize)
            emitRaise(Fault::OperatorStackOverflow);
        l.ops[l.opCount++] = op;
        l.lastWasValue = false;
    }

    size_t group(Text s, size_t i, int nesting)
    {
        if (i >= s.size() || s[i] != u'(')
            emitRaise(Fault::OpeningParenthesisExpected);
        const size_t close = closingParenthesis(s, i);
        if (close == Text::npos)
            emitRaise(Fault::ClosingParenthesisMismatch);
        if (nesting >= kMaxNesting)
            emitRaise(Fault::TooDeepNesting);
        expression(s.substr(i + 1, close - i - 1), nesting + 1);
        return close + 1;
    }

    void expression(Text s, int nesting)
    {
        Level l;
        size_t i = 0;
        while (i < s.size()) {
            const char16_t c = s[i];
            if (isOperatorChar(c)) {
                size_t len = 1;
                if (l.values == 0 && c == u'-') {
                    emitConst(0);
                    ++l.values;
                    if (l.opCount == kStackSize)
                        emitRaise(Fault::OperatorStackOverflow);
                    l.ops[l.opCount++] = opNeg;
                } else if (!(l.values == 0 && c == u'+')) {
                    pushOperator(l, binaryOperator(s, i, len));
                }
                i += len;
            } else if (c == u'(') {
                i = group(s, i, nesting);
                valuePushed(l);
            } else if (isDigit(c) || c == u'.' || c == u',') {
                const size_t end = numberRunEnd(s, i);
                double v = 0;
                Fault fault;
                if (!convertNumber(s.substr(i, end - i), v, fault))
                    emitRaise(fault);
                emitConst(v);
                valuePushed(l);
                i = end;
            } else {
                const size_t end = identifierEnd(s, i);
                if (end == i)
                    emitRaise(Fault::InvalidIdentifier);
                const Text name = s.substr(i, end - i);
                Oper op;
                if (wordOperator(name, op)) {
                    pushOperator(l, op);
                    i += 3;
                    continue;
                }
                const int symbol = d.symbolOf(toQString(name));
                if (d.symbolVar[size_t(symbol)] >= 0) {
                    p.variables.push_back(symbol);
                    emitVariable(symbol);
                    valuePushed(l);
                    i = end;
                    continue;
                }
                p.notVariables.push_back(symbol);
                if (const TFunctionRec *f = d.findFunction(name)) {
                    const TFunctionRec function = *f;
                    i = group(s, end, nesting);
                    emitCall(function);
                    valuePushed(l);
                    continue;
                }
                if (end < s.size() && s[end] == u'(') {
                    if (d.onFunction) {
                        p.interpret = true;
                        throw Stop{};
                    }
                    emitRaise(Fault::UnknownFunctionName);
                }
                if (d.strictVars)
                    emitRaise(Fault::UnknownIdentifier);
                emitConst(0);
                valuePushed(l);
                i = end;
            }
        }
        while (l.opCount > 0)
            reduce(l);
        if (l.values == 0)
            emitRaise(Fault::EmptyExpression);
        if (l.values > 1 || l.juxtaposed)
            emitRaise(Fault::InvalidExpression);
    }

    Private &d;
    Program &p;
    std::vector<size_t> starts;
};

void TxCustomFoCal::Private::compile(CacheEntry &entry)
{
    const std::u16string s = normalized(entry.key);
    Compiler(*this, entry.program).compile(s);
    entry.program.configVersion = configVersion;
}

#define KORVEX_FOCAL_OPERATORS(X)                                                                   \
    X(opNeg) X(opPct) X(opPow) X(opMul) X(opDiv) X(opIntDiv) X(opMod) X(opAdd) X(opSub) X(opLt) X(opLe) \
        X(opEq) X(opGe) X(opGt)

// Runs a compiled program whose names hold. Each instruction jumps straight
// to the next one's code.
template <bool Checked>
[[gnu::noinline]] double TxCustomFoCal::Private::execute(const Program &program)
{
    // The top of the stack lives in a register; the stack holds what is
    // below it (and one spilled dummy at the bottom).
    double local[64];
    std::unique_ptr<double[]> heap;
    double *stack = local;
    if (program.maxDepth + 1 > 64) {
        heap.reset(new double[size_t(program.maxDepth) + 1]);
        stack = heap.get();
    }
    double *sp = stack;
    double top = 0;

#define KORVEX_FOCAL_LABELS(OP) &&bin_##OP,
#define KORVEX_FOCAL_LABELS_C(OP) &&binConst_##OP,
#define KORVEX_FOCAL_LABELS_V(OP) &&binVar_##OP,
#define KORVEX_FOCAL_LABELS_CB(OP) &&constBin_##OP,
#define KORVEX_FOCAL_LABELS_VC(OP) &&varBinConst_##OP,
#define KORVEX_FOCAL_LABELS_VV(OP) &&varBinVar_##OP,
    static const void *const labels[] = {
        &&push_const, &&push_var, &&call, &&fail, &&end, &&round,
        KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS) KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_C)
        KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_V) KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_CB)
        KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_VC) KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_LABELS_VV)
    };
    static_assert(sizeof labels / sizeof labels[0] == kKindCount);

    const Instr *in = program.code.data();
#define KORVEX_FOCAL_NEXT goto *labels[(++in)->kind]
#define KORVEX_FOCAL_HANDLERS(OP)                                                                  \
    bin_##OP : top = applyOperator<Checked>(OP, *--sp, top);                                       \
    KORVEX_FOCAL_NEXT;                                                                             \
    binConst_##OP : top = applyOperator<Checked>(OP, top, in->c);                                  \
    KORVEX_FOCAL_NEXT;                                                                             \
    binVar_##OP : top = applyOperator<Checked>(OP, top, variableValue<Checked>(in->a));            \
    KORVEX_FOCAL_NEXT;                                                                             \
    constBin_##OP : top = applyOperator<Checked>(OP, in->c, top);                                  \
    KORVEX_FOCAL_NEXT;                                                                             \
    varBinConst_##OP : *sp++ = top;                                                                \
    top = applyOperator<Checked>(OP, variableValue<Checked>(in->a), in->c);                        \
    KORVEX_FOCAL_NEXT;                                                                             \
    varBinVar_##OP : *sp++ = top;                                                                  \
    top = variableValue<Checked>(in->a);                                                           \
    top = applyOperator<Checked>(OP, top, variableValue<Checked>(in->b));                          \
    KORVEX_FOCAL_NEXT;

    goto *labels[in->kind];
push_const:
    *sp++ = top;
    top = in->c;
    KORVEX_FOCAL_NEXT;
push_var:
    *sp++ = top;
    top = variableValue<Checked>(in->a);
    KORVEX_FOCAL_NEXT;
call:
    top = finite(in->function(top));
    KORVEX_FOCAL_NEXT;
round:
    top = in->c == 1 ? roundToEven64(top) : in->c * roundToEven64(top / in->c);
    KORVEX_FOCAL_NEXT;
fail:
    raise(Fault(in->a));
end:
    return top;
    KORVEX_FOCAL_OPERATORS(KORVEX_FOCAL_HANDLERS)

#undef KORVEX_FOCAL_HANDLERS
#undef KORVEX_FOCAL_NEXT
#undef KORVEX_FOCAL_LABELS
#undef KORVEX_FOCAL_LABELS_C
#undef KORVEX_FOCAL_LABELS_V
#undef KORVEX_FOCAL_LABELS_CB
#undef KORVEX_FOCAL_LABELS_VC
#undef KORVEX_FOCAL_LABELS_VV
}

namespace {

#if defined(__SSE2__)
constexpr unsigned kFaultFlags = _MM_EXCEPT_INVALID | _MM_EXCEPT_DIV_ZERO | _MM_EXCEPT_OVERFLOW;

// Emulators such as valgrind do not keep the flags; there every run is checked.
bool faultFlagsWork()
{
    const unsigned before = _mm_getcsr();
    _mm_setcsr(before & ~kFaultFlags);
    volatile double big = 1e308;
    volatile double product = big * 10;
    (void)product;
    const bool raised = _mm_getcsr() & kFaultFlags;
    _mm_setcsr(before);
    return raised;
}

const bool g_faultFlagsWork = faultFlagsWork();
#endif

} // namespace

double TxCustomFoCal::Private::run(const Program &program)
{
    ++running;
    struct Running {
        int &count;
        ~Running() { --count; }
    } runningGuard{running};
#if defined(__SSE2__)
    if (!mayHoldNonFinite && g_faultFlagsWork) {
        // The caller's fault flags are cleared for the run and given back
        // after it; the run's own tell whether it must be repeated checked.
        const unsigned before = _mm_getcsr();
        if (before & kFaultFlags)
            _mm_setcsr(before & ~kFaultFlags);
        double r = 0;
        std::exception_ptr error;
        try {
            r = execute<false>(program);
        } catch (...) {
            error = std::current_exception();
        }
        const unsigned after = _mm_getcsr();
        if ((after ^ before) & kFaultFlags)
            _mm_setcsr((after & ~kFaultFlags) | (before & kFaultFlags));
        if (!(after & kFaultFlags)) {
            if (error)
                std::rethrow_exception(error);
            if (std::isfinite(r))
                return r;
        }
        return execute<true>(program);
    }
#endif
    return execute<true>(program);
}

} // namespace korvex::calc
