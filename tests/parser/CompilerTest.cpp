// parsefunction: chain structure and order, the grammar's precedence and quirks, the limits,
// failures and the random-function globals.
#include <string>
#include <vector>

#include "tests/parser/ParserTestSupport.h"

namespace {

using qx::test::TCompiled;
using qx::test::TVarList;

struct TCase {
    const char* text;
    const char* outcome;  // the chain, or the messages of a failure
};

void expect(const std::vector<TCase>& cases, TVarList& vars, bool fails = false) {
    for (const TCase& c : cases) {
        TCompiled r(c.text, vars);
        EXPECT_EQ(r.failed, fails) << c.text << ": " << r.messages << r.Chain();
        EXPECT_EQ(fails ? r.messages : r.Chain(), c.outcome) << c.text;
    }
}

// A full binary tree of sums with 2^depth leaves: the first `wrapped` leaves are "ABS(A)",
// the others "A". Each ABS record sits on level depth + 1.
std::string wideTree(int depth, int& wrapped) {
    if (depth == 0) return wrapped-- > 0 ? "ABS(A)" : "A";
    std::string left = wideTree(depth - 1, wrapped);
    return "(" + left + "+" + wideTree(depth - 1, wrapped) + ")";
}

std::string nested(const std::string& f, int n, const std::string& core) {
    std::string s;
    for (int i = 0; i < n; ++i) s += f + "(";
    return s + core + std::string(static_cast<size_t>(n), ')');
}

std::string chainOf(char op, int operators) {
    std::string s = "A";
    for (int i = 0; i < operators; ++i) s += std::string(1, op) + "B";
    return s;
}

TEST(ParserCompile, RecordsComeOutDeepestLevelFirstWithTheirOperands) {
    TVarList v;
    expect({{"2*(A+B)", "sum(A,B) prod(2,#1)"},
            {"SIN(X)^2+3*A", "sine(X) square(#1) prod(3,A) sum(#2,#3)"},
            {"A+B+C", "sum(B,C) sum(A,#1)"},
            {"(A*B)+(C*D)", "prod(A,B) prod(C,D) sum(#1,#2)"},
            {"A-B-C", "diff(A,B) diff(#1,C)"},
            {"A/B/C", "divis(A,B) divis(#1,C)"},
            {"2^3^2", "third(2) square(#1)"},
            {"-A*B", "minus(A) prod(#1,B)"},
            {"-A^2", "square(A) minus(#1)"},
            {"-A+B", "minus(A) sum(#1,B)"},
            {"A+B*C^2", "square(C) prod(B,#1) sum(A,#2)"},
            {"A-B+C", "diff(A,B) sum(#1,C)"},
            {"A*B/C", "divis(B,C) prod(A,#1)"},
            {"MAX(MIN(A,B),C)", "minim(A,B) maxim(#1,C)"},
            {"((A+B))", "sum(A,B)"},
            {" a + b ", "sum(A,B)"},
            {"A+-2", "sum(A,-2)"},
            {"A+(-B)", "minus(B) sum(A,#1)"},
            {"A--2", "diff(A,-2)"},
            {"2*E", "prod(2,E)"},
            {"2E3+1E-1*.5", "prod(0.10000000000000001,0.5) sum(2000,#1)"},
            {"PI*2", "prod(3.1415926535897931,2)"}},
           v);
    TCompiled r("SIN(X)^2+3*A", v);
    EXPECT_EQ(r.count, 4);
    for (const operation* p = r.list; p; p = p->next) EXPECT_EQ(p->routine, nullptr);
}

TEST(ParserCompile, PowersAndFunctionsGetTheirSorts) {
    TVarList v;
    expect({{"X^2", "square(X)"},
            {"X^3", "third(X)"},
            {"X^4.0", "forth(X)"},
            {"X^+2", "square(X)"},
            {"X^5", "intpower(X,5)"},
            {"X^-2", "intpower(X,-2)"},
            {"X^0", "intpower(X,0)"},
            {"X^0.5", "realpower(X,0.5)"},
            {"X^Y", "realpower(X,Y)"},
            {"X^(Y+1)", "sum(Y,1) realpower(X,#1)"},
            {"X^Y^2", "square(Y) realpower(X,#1)"},
            {"SINH(X)+COSH(X)", "hypersine(X) hypercosine(X) sum(#1,#2)"},
            {"COS(A)*EXP(A)*LN(A)*ARCTAN(A)*SQRT(A)*ABS(A)",
             "sqroot(A) abso(A) arctang(A) prod(#1,#2) logar(A) prod(#3,#4) expo(A) "
             "prod(#5,#6) cosine(A) prod(#7,#8) prod(#9,#10)"},
            {"HEAV(A)-SIGN(A)-ZERO(A)-PH(A)",
             "heavi(A) sign(A) diff(#1,#2) zero(A) diff(#3,#4) phase(A) diff(#5,#6)"},
            {"RN(6,K)+ARG(A,B)", "randfunc(6,K) argu(A,B) sum(#1,#2)"},
            {"R(A,B)*RM(A,B)", "radius(A,B) randrand(A,B) prod(#1,#2)"},
            {"MAX((A+B),C)", "sum(A,B) maxim(#1,C)"}},
           v);
}

TEST(ParserCompile, NumbersAndVariables) {
    TVarList v;
    v.Add("Alpha");
    expect({{"alpha*.5", "prod(Alpha,0.5)"}, {"5.", "variab(5)"}}, v);
    // A lone variable or number is one record, counted as none, whose result is its operand.
    for (const TCase& c : std::vector<TCase>{{"X", "variab(X)"}, {"((3))", "variab(3)"}}) {
        TCompiled r(c.text, v);
        ASSERT_EQ(r.Chain(), c.outcome);
        EXPECT_EQ(r.count, 0);
        EXPECT_EQ(r.list->result, r.list->arg1);
    }

    TCompiled pi("PI", v);
    EXPECT_EQ(*pi.list->arg1, 3.141592653589793);
    TCompiled big("1E999-1E-999", v);
    EXPECT_EQ(big.Chain(), "diff(inf,0)");
    v.Add("PI", 7.0);  // a variable of that name comes first
    expect({{"PI+1", "sum(PI,1)"}}, v);
}

TEST(ParserCompile, TextsThatNoRecogniserAccepts) {
    TVarList v;
    const char* syntax = "Syntax Error!";
    expect({{"", syntax},      {"1,5", syntax},    {"A+-B", syntax},    {"A+", syntax},
            {"*A", syntax},    {"(A", syntax},     {"A)", syntax},      {"A\tB", syntax},
            {"--A", syntax},   {"-PI", syntax},    {"A**B", syntax},    {"2E", syntax},
            {"1E+", syntax},   {".", syntax},      {"BETA+1", syntax},  {"SIN X", syntax},
            {"SIN()", syntax}, {"MAX(A)", syntax}, {"MAX(,A)", syntax}, {"RM(A B)", syntax},
            {"X^Y^Z", syntax}, {")A+B(", syntax},  {"A+(B", syntax}},
           v, true);
}

TEST(ParserCompile, FailureShowsOneWarningAndLeavesListAndCountAlone) {
    TVarList v;
    qx::test::TResponderScope dialogs;
    dialogs.MessageDlg(mrOk);
    operation sentinel{};
    operation* list = &sentinel;
    int count = 77;
    bool failed = false;
    parsefunction("A+", list, &v.list, count, failed);
    EXPECT_TRUE(failed);
    EXPECT_EQ(list, &sentinel);
    EXPECT_EQ(count, 77);
    ASSERT_EQ(dialogs.Requests().size(), 1u);
    EXPECT_EQ(dialogs.Requests()[0].text, "Syntax Error!");
    EXPECT_EQ(dialogs.Requests()[0].iFlags, mtWarning);
    EXPECT_EQ(dialogs.Requests()[0].buttons, TMsgDlgButtons{mbOK});

    dialogs.MessageDlg(mrOk);
    parsefunction("A", list, nullptr, count, failed);  // no variables at all
    EXPECT_TRUE(failed);
}

TEST(ParserCompile, LimitsOfTwentyLevelsAndFiftyRecordsPerLevel) {
    TVarList v;
    const char* nest = "Too many nestings!";
    const char* longer = "Term too long, sorry!";
    EXPECT_FALSE(TCompiled(nested("SIN", 20, "X"), v).failed);
    EXPECT_EQ(TCompiled(nested("SIN", 21, "X"), v).messages, nest);
    EXPECT_FALSE(TCompiled(chainOf('+', 20), v).failed);
    EXPECT_EQ(TCompiled(chainOf('+', 21), v).messages, nest);
    EXPECT_EQ(TCompiled(chainOf('*', 21), v).messages, nest);

    int wrapped50 = 50, wrapped51 = 51;
    const std::string fifty = wideTree(6, wrapped50), fiftyOne = wideTree(6, wrapped51);
    TCompiled wide(fifty, v);
    ASSERT_FALSE(wide.failed);
    EXPECT_EQ(wide.count, 63 + 50);
    EXPECT_EQ(TCompiled(fiftyOne, v).messages, longer);

    // The walk is depth first, left operand first: whichever limit it meets first is reported.
    const std::string deep = nested("ABS", 21, "A");
    EXPECT_EQ(TCompiled("(" + deep + ")+" + fiftyOne, v).messages, nest);
    EXPECT_EQ(TCompiled(fiftyOne + "+" + deep, v).messages, longer);
    // A syntax error anywhere is found before any limit.
    EXPECT_EQ(TCompiled(fiftyOne + "+" + deep + "+", v).messages, "Syntax Error!");
}

TEST(ParserCompile, HugeAndDeepTextsFailOrCompileWithoutExhaustingTheStack) {
    TVarList v;
    EXPECT_EQ(TCompiled(chainOf('+', 2000), v).messages, "Too many nestings!");
    EXPECT_EQ(TCompiled(chainOf('+', 2000) + "+", v).messages, "Too many nestings!");
    EXPECT_EQ(TCompiled(nested("", 5000, "-") + "A", v).messages, "Syntax Error!");
    EXPECT_EQ(TCompiled(nested("-", 5000, "A"), v).messages, "Too many nestings!");
    TCompiled brackets(nested("", 20000, "A+B"), v);
    EXPECT_EQ(brackets.Chain(), "sum(A,B)");
    std::string noise(1 << 20, '(');
    for (size_t i = 0; i < noise.size(); i += 3) noise[i] = "A+*)-^,"[i % 7];
    EXPECT_TRUE(TCompiled(noise, v).failed);
}

TEST(ParserCompile, RandomFunctionsSetTheGlobalsWhileTranslating) {
    TVarList v;
    randomsize = 0;
    randomiterates = false;
    contrand = false;
    TCompiled rn("RN(6,K)", v);
    EXPECT_EQ(randomsize, 6);
    EXPECT_TRUE(randomiterates);
    EXPECT_FALSE(contrand);
    TCompiled half("RN((6.5),K)", v);
    EXPECT_EQ(randomsize, 6);  // halves go to even
    TCompiled notLiteral("RN(N,K)+RN(7.5,K)*0+RN(N,K)", v);
    EXPECT_EQ(randomsize, 8);  // a variable first argument has no value to take
    TCompiled rm("RM(1,2)", v);
    EXPECT_TRUE(contrand);
}

}  // namespace
