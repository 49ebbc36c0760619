// TQxParser (variables, expression life cycle, ownership) and the arithmetic of every sort.
// Built twice: with the double and with the extended transcendental functions
// (QX_PARSER_EXTENDED_FUNCTIONS).
#include <cmath>
#include <limits>

#include "tests/parser/ParserTestSupport.h"

namespace {

constexpr double kPi = 3.141592653589793;

double eval(TQxParser& p, const char* text) {
    p.SetExpression(text);
    EXPECT_FALSE(p.bGetFailed()) << text;
    return p.Value();
}

// Distance in units of the last place.
double ulps(double got, double want) {
    if (got == want) return 0;
    return std::fabs(got - want) / (std::nextafter(std::fabs(want), INFINITY) - std::fabs(want));
}

TEST(ParserArithmetic, ValuesAtTheEdgesOfEverySort) {
    TQxParser p(nullptr);
    p.SetX(2);
    const std::pair<const char*, double> cases[] = {
        {"2^0", 1.0},      {"2^-2", 0.25},         {"HEAV(0)", 1.0},      {"HEAV(-0.5)", 0.0},
        {"SIGN(0)", 0.0},  {"SIGN(-3)", -1.0},     {"SIGN(0.1)", 1.0},    {"ZERO(0)", 0.0},
        {"ZERO(-3)", 1.0}, {"ARG(0,0)", -kPi / 2}, {"ARG(0,2)", kPi / 2}, {"ARG(-1,0)", kPi},
        {"ARG(1,0)", 0.0}, {"MAX(2,2)", 2.0},      {"MIN(2,2)", 2.0},     {"MAX(1,2)", 2.0},
        {"MIN(1,2)", 1.0}, {"R(3,4)", 5.0},        {"ABS(-2.5)", 2.5},    {"7/2", 3.5},
        {"2-5", -3.0},     {"2^3^2", 64.0},        {"-2^2", -4.0},        {"SQRT(16)", 4.0},
        {"1E2^0.5", 10.0}, {"2*X^4", 32.0}};
    for (const auto& [text, value] : cases) EXPECT_EQ(eval(p, text), value) << text;
    EXPECT_DOUBLE_EQ(eval(p, "ARG(-1,-1)"), 5 * kPi / 4);
    // PH rounds a / 2 pi to a double first, which costs a few units in the last place.
    EXPECT_NEAR(eval(p, "PH(7)"), 7 - 2 * kPi, 1e-14);
    EXPECT_NEAR(eval(p, "PH(-4)"), -4 + 2 * kPi, 1e-14);
    EXPECT_NEAR(eval(p, "PH(3)"), 3, 1e-14);
    // No domain checks: the floating-point results come through.
    for (const char* text : {"A/0", "LN(-1)", "SQRT(-1)", "(-8)^(1/3)"})
        EXPECT_TRUE(std::isnan(eval(p, text))) << text;
    EXPECT_TRUE(std::isinf(eval(p, "1/A")));
    EXPECT_TRUE(std::isinf(eval(p, "A^-0.5")));
    EXPECT_EQ(eval(p, "A^0.5"), 0.0);

    // Each record works in 64-bit precision: (1 + 2^-27)^3 keeps its 3 * 2^-54 term and rounds
    // it up once, where double arithmetic drops it in the square. Between records the values
    // are doubles: 1e16 + 1 is lost before the difference.
    p.SetX(1 + std::ldexp(1.0, -27));
    EXPECT_EQ(eval(p, "X^3"), 1 + 3 * std::ldexp(1.0, -27) + std::ldexp(1.0, -52));

    // Integer powers of any size finish.
    p.SetX(-1);
    EXPECT_EQ(eval(p, "X^1000000001"), -1.0);
    EXPECT_EQ(eval(p, "X^1000000000"), 1.0);
    EXPECT_EQ(eval(p, "X^1E300"), 1.0);
    p.SetX(2);
    EXPECT_TRUE(std::isinf(eval(p, "X^1024")));
    EXPECT_EQ(eval(p, "X^-1074"), std::ldexp(1.0, -1074));
    EXPECT_EQ(eval(p, "X^-100000"), 0.0);
    p.SetX(1.0000001);
    EXPECT_LE(ulps(eval(p, "X^5000"), std::pow(1.0000001, 5000)), 8);
    EXPECT_LE(ulps(eval(p, "X^500"), std::pow(1.0000001, 500)), 2);
}

TEST(ParserArithmetic, TranscendentalFunctionsAgreeWithTheExtendedOnesAndRandomOnesReadTheHost) {
    TQxParser p(nullptr);
    const double xs[] = {-10, -2.5, -1, -0.3, 0.1, 0.7, 1, 2, 3.3, 10, 100};
    for (double x : xs) {
        p.SetX(x);
        const long double lx = x;
        struct {
            const char* text;
            long double want;
            bool defined;
        } fns[] = {{"SIN(X)", sinl(lx), true},
                   {"COS(X)", cosl(lx), true},
                   {"EXP(X)", expl(lx), true},
                   {"LN(X)", logl(lx), x > 0},
                   {"ARCTAN(X)", atanl(lx), true},
                   {"SINH(X)", sinhl(lx), true},
                   {"COSH(X)", coshl(lx), true},
                   {"ABS(X)^1.7", powl(fabsl(lx), static_cast<long double>(1.7)), true},
                   {"1.3^X", powl(static_cast<long double>(1.3), lx), true}};
        for (const auto& f : fns) {
            if (!f.defined) continue;
            EXPECT_LE(ulps(eval(p, f.text), static_cast<double>(f.want)), 1)
                << f.text << " X=" << x;
        }
    }
#ifndef QX_PARSER_EXTENDED_FUNCTIONS
    // The double build uses the library's sinh, exact for small arguments.
    p.SetX(1e-10);
    EXPECT_EQ(eval(p, "SINH(X)"), std::sinh(1e-10));
    EXPECT_EQ(eval(p, "SIN(X)"), std::sin(1e-10));
#endif

    contrandresult = 0.5;
    EXPECT_EQ(eval(p, "RM(1,4)"), 3.0);
    randomresult = 3;
    EXPECT_EQ(eval(p, "RN(6,3)"), 1.0);
    EXPECT_EQ(eval(p, "RN(6,3.5)"), 0.0);  // halves go to even: 4
    randomresult = -1;
    EXPECT_EQ(eval(p, "RN(6,65535)"), 1.0);  // taken as a 16-bit integer
    p.SetK(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(eval(p, "RN(6,K)"), 0.0);
    randomresult = 0;
    contrandresult = 0;
}

TEST(ParserComponent, BuiltInAndUserVariablesAndOwnership) {
    TQxParser p(nullptr);
    EXPECT_EQ(p.GetVar("Q"), 0.0);
    p.SetVar("q", 2);
    EXPECT_EQ(p.GetVar("Q"), 2.0);

    const int names = p.rGetVariables().Count();
    for (const char* bad : {"1abc", "", "_x", "{x"}) p.SetVar(bad, 5);
    EXPECT_EQ(p.rGetVariables().Count(), names);
    EXPECT_EQ(p.GetVar("1abc"), 0.0);

    p.SetVar("Alpha", 3);
    EXPECT_EQ(p.rGetVariables().Count(), names + 1);
    p.SetExpression("ALPHA*2");
    EXPECT_EQ(p.Value(), 6.0);
    p.SetVar("alpha", 4);
    EXPECT_EQ(p.rGetVariables().Count(), names + 1);

    // A variable made after compiling leaves the chain and the other variables' storage alone.
    for (int i = 0; i < 100; ++i) p.SetVar(qx::test::Join({"V", std::to_string(i)}), i);
    EXPECT_EQ(p.Value(), 8.0);
    EXPECT_EQ(p.GetVar("V42"), 42.0);

    // Owned by its owner, and made from the palette.
    auto* owner = new TComponent(nullptr);
    auto* owned = new TQxParser(owner);
    owned->SetName("Parser1");
    owned->SetVar("Gamma", 1);
    owned->SetExpression("GAMMA+X");
    EXPECT_EQ(owner->FindComponent("parser1"), owned);
    delete owner;  // deletes the parser with its chain and its variable storage
    Parser8::Register();
    const TComponentClass* c = qx::platform::FindComponentClass("TQxParser");
    ASSERT_NE(c, nullptr);
    std::unique_ptr<TComponent> made(c->Create(nullptr));
    EXPECT_NE(dynamic_cast<TQxParser*>(made.get()), nullptr);
}

TEST(ParserComponent, ExpressionLifeCycleAndFailure) {
    TQxParser p(nullptr);
    EXPECT_EQ(p.Value(), 0.0);  // Empty from the start
    p.SetExpression("X");       // a lone variable: its value, with nothing to compute
    p.SetX(-1.5);
    EXPECT_EQ(p.Value(), -1.5);
    {
        qx::test::TResponderScope dialogs;
        dialogs.MessageDlg(mrOk);
        p.SetExpression("BETA+1");
        ASSERT_EQ(dialogs.Requests().size(), 1u);
        EXPECT_EQ(dialogs.Requests()[0].text, "Syntax Error!");
    }
    EXPECT_TRUE(p.bGetFailed());
    EXPECT_EQ(p.pGetOperations(), nullptr);
    EXPECT_EQ(p.Value(), 0.0);

    p.SetVar("Beta", 1.5);
    p.SetExpression(p.Expression());  // the failed text was kept
    EXPECT_FALSE(p.bGetFailed());
    EXPECT_EQ(p.Value(), 2.5);

    p.SetA(2);
    p.SetExpression("A*A+A");
    EXPECT_EQ(p.Value(), 6.0);
    EXPECT_EQ(p.iGetCount(), 2);
}

}  // namespace
