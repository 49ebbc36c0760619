#include "qx/parser/Parser8.h"

#include <cmath>

#include "qx/parser/P8grammar.h"
#include "qx/platform/Registry.h"

namespace {

using LD = long double;

// The record being run. Every arithmetic procedure reads its operands through it.
operation* pCursor = nullptr;

constexpr LD kPi = 3.14159265358979323851L;
constexpr LD kTwoPi = 2.0L * kPi;
constexpr double kHalfPi = 1.5707963267948966;
constexpr LD kLn2 = 0.693147180559945309417232121458176568L;

// The functions that the platform computes in extended precision only in software (10 to 25
// times slower than the double versions on x86-64). By default they use the double versions,
// whose results agree with the extended ones to within one unit in the last place of the
// stored double; QX_PARSER_EXTENDED_FUNCTIONS selects the extended ones.
namespace fn {
#ifdef QX_PARSER_EXTENDED_FUNCTIONS
LD sin(LD a) {
    return sinl(a);
}
LD cos(LD a) {
    return cosl(a);
}
LD exp(LD a) {
    return expl(a);
}
LD ln(LD a) {
    return kLn2 * log2l(a);
}
LD atan(LD a) {
    return atanl(a);
}
LD sinh(LD a) {
    return (expl(a) - expl(-a)) / 2.0L;
}
LD cosh(LD a) {
    return (expl(a) + expl(-a)) / 2.0L;
}
LD round(LD v) {
    return nearbyintl(v);
}
LD power(LD a, LD b) {
    return expl(kLn2 * log2l(a) * b);
}
#else
LD sin(double a) {
    return std::sin(a);
}
LD cos(double a) {
    return std::cos(a);
}
LD exp(double a) {
    return std::exp(a);
}
LD ln(double a) {
    return std::log(a);
}
LD atan(double a) {
    return std::atan(a);
}
// The library's hyperbolic functions: the difference of two rounded exponentials would lose
// every digit for small arguments.
LD sinh(double a) {
    return std::sinh(a);
}
LD cosh(double a) {
    return std::cosh(a);
}
LD round(double v) {
    return std::nearbyint(v);
}
LD power(double a, double b) {
    // e^(b ln a); pow gives it correctly rounded. Where ln a is 0, -inf or NaN the product
    // is formed as written, so 1^inf, 0^0 and negative bases stay NaN.
    if (a > 0.0 && a != 1.0) return std::pow(a, b);
    return std::exp(static_cast<double>(kLn2 * std::log2(a) * b));
}
#endif
}  // namespace fn

// x^n by repeated multiplication up to n = 1024, by squaring above, so that a huge integer
// exponent costs microseconds, not minutes.
LD intPower(LD a, double b) {
    const double m = std::trunc(std::fabs(b));
    LD r;
    if (m == 0.0) {
        r = 1.0L;
    } else if (m <= 1024.0) {
        r = a;
        for (int i = static_cast<int>(m); i > 1; --i) r *= a;
    } else {
        // Above 2^53 every double is even; 2^62 keeps the parity and the magnitude's effect.
        std::uint64_t n = m < 0x1p62 ? static_cast<std::uint64_t>(m) : std::uint64_t{1} << 62;
        r = 1.0L;
        for (LD base = a; n; n >>= 1, base *= base)
            if (n & 1) r *= base;
    }
    return b < 0.0 ? 1.0L / r : r;
}

#define QX_A static_cast<LD>(*pCursor->arg1)
#define QX_B static_cast<LD>(*pCursor->arg2)
#define QX_SET(expr) (*pCursor->result = static_cast<double>(expr))

void rNothing() {}
void rMinus() {
    QX_SET(-QX_A);
}
void rSum() {
    QX_SET(QX_A + QX_B);
}
void rDiff() {
    QX_SET(QX_A - QX_B);
}
void rProd() {
    QX_SET(QX_A * QX_B);
}
void rDivis() {
    QX_SET(QX_A / QX_B);
}
void rIntPower() {
    QX_SET(intPower(QX_A, *pCursor->arg2));
}
void rRealPower() {
    QX_SET(fn::power(*pCursor->arg1, *pCursor->arg2));
}
void rCosine() {
    QX_SET(fn::cos(*pCursor->arg1));
}
void rSine() {
    QX_SET(fn::sin(*pCursor->arg1));
}
void rExpo() {
    QX_SET(fn::exp(*pCursor->arg1));
}
void rLogar() {
    QX_SET(fn::ln(*pCursor->arg1));
}
void rSqroot() {
    QX_SET(sqrtl(QX_A));
}
void rArctang() {
    QX_SET(fn::atan(*pCursor->arg1));
}
void rSquare() {
    const LD a = QX_A;
    QX_SET(a * a);
}
void rThird() {
    const LD a = QX_A;
    QX_SET(a * a * a);
}
void rForth() {
    const LD a = QX_A;
    QX_SET((a * a) * (a * a));
}
void rAbso() {
    QX_SET(fabsl(QX_A));
}
void rMaxim() {
    const LD a = QX_A, b = QX_B;
    QX_SET(a < b ? b : a);
}
void rMinim() {
    const LD a = QX_A, b = QX_B;
    QX_SET(a < b ? a : b);
}
void rHeavi() {
    QX_SET(QX_A < 0.0L ? 0.0L : 1.0L);
}
void rPhase() {
    const double v = static_cast<double>(QX_A / 2.0L / kPi);
    QX_SET((static_cast<LD>(v) - fn::round(v)) * kTwoPi);
}
void rRandfunc() {
    QX_SET(randomresult == qx::detail::RoundToInt16(*pCursor->arg2) ? 1.0L : 0.0L);
}
void rArgu() {
    const LD a = QX_A, b = QX_B;
    if (a < 0.0L)
        QX_SET(fn::atan(b / a) + kPi);
    else if (a > 0.0L)
        QX_SET(fn::atan(b / a));
    else
        QX_SET(b > 0.0L ? kHalfPi : -kHalfPi);
}
void rHypersine() {
    QX_SET(fn::sinh(*pCursor->arg1));
}
void rHypercosine() {
    QX_SET(fn::cosh(*pCursor->arg1));
}
void rRadius() {
    const LD a = QX_A, b = QX_B;
    QX_SET(sqrtl(b * b + a * a));
}
void rRandrand() {
    QX_SET(QX_A + QX_B * static_cast<LD>(contrandresult));
}
void rSign() {
    const LD a = QX_A;
    QX_SET(a < 0.0L ? -1.0L : (a > 0.0L ? 1.0L : 0.0L));
}
void rZero() {
    QX_SET(QX_A == 0.0L ? 0.0L : 1.0L);
}

#undef QX_A
#undef QX_B
#undef QX_SET

// Indexed by termsorttype.
void (*const kRoutines[32])() = {
    rNothing,  rNothing,   rNothing,   rMinus,       rSum,    rDiff,     rProd,   rDivis,
    rIntPower, rRealPower, rCosine,    rSine,        rExpo,   rLogar,    rSqroot, rArctang,
    rSquare,   rThird,     rForth,     rAbso,        rMaxim,  rMinim,    rHeavi,  rPhase,
    rRandfunc, rArgu,      rHypersine, rHypercosine, rRadius, rRandrand, rSign,   rZero,
};

void bind(operation* list) {
    for (operation* p = list; p; p = p->next)
        p->routine = p->sort < 32 ? kRoutines[p->sort] : rNothing;
}

double run(operation* p) {
    for (;;) {
        pCursor = p;
        p->routine();
        operation* next = p->next;
        if (!next) return *p->result;
        p = next;
    }
}

}  // namespace

TQxParser::TQxParser(TComponent* owner) : TComponent(owner) {
    variables_.SetDuplicates(dupIgnore);
    variables_.SetSorted(true);
    for (int i = 0; i < 26; ++i)
        variables_.AddObject(AnsiString(1, static_cast<char>('A' + i)),
                             reinterpret_cast<TObject*>(&letters_[i]));
}

TQxParser::~TQxParser() {
    FreeExpression();
}

void TQxParser::SetExpression(const AnsiString& text) {
    FreeExpression();
    ParseExpression(text, failed_);
}

void TQxParser::ParseExpression(const AnsiString& text, bool& failed) {
    // A chain still held would be lost when the new one replaces it.
    FreeExpression();
    expression_ = text;
    parsefunction(text, list_, &variables_, count_, failed);
    if (list_) bind(list_);
}

double TQxParser::CalcValue() const {
    return list_ ? run(list_) : 0.0;
}

void TQxParser::SetVar(const AnsiString& name, double value) {
    if (name.empty()) return;
    const char c = name[0];
    if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return;
    const int i = variables_.IndexOf(name);
    if (i >= 0) {
        *reinterpret_cast<double*>(variables_.Objects(i)) = value;
        return;
    }
    userStorage_.push_back(std::make_unique<double>(value));
    variables_.AddObject(name, reinterpret_cast<TObject*>(userStorage_.back().get()));
}

double TQxParser::GetVar(const AnsiString& name) const {
    const int i = variables_.IndexOf(name);
    return i < 0 ? 0.0 : *reinterpret_cast<const double*>(variables_.Objects(i));
}

void TQxParser::FreeExpression() {
    freefunction(list_);
    count_ = 0;
}

namespace Parser8 {
void Register() {
    RegisterComponents("ORVI", {TComponentClass::Of<TQxParser>("TQxParser")});
}
}  // namespace Parser8
