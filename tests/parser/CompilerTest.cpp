// parsefunction: chain structure and order, the grammar's precedence and quirks, the limits,
// failures and the random-function globals.
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "tests/parser/ParserTestSupport.h"

namespace {

using qx::test::TCompiled;
using qx::test::TVarList;

using TCases = std::vector<std::pair<const char*, const char*>>;  // text, chain

void expect(const TCases& cases, TVarList& vars) {
    for (const auto& [text, chain] : cases) {
        TCompiled r(text, vars);
        EXPECT_EQ(r.Chain(), chain) << text << ": " << r.messages;
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

TEST(ParserCompile, RecordsComeOutDeepestLevelFirstWithTheirSortsAndOperands) {
    TVarList v;
    v.Add("Alpha");
    expect({{"SIN(X)^2+3*A", "sine(X) square(#1) prod(3,A) sum(#2,#3)"},
            {"A+B+C", "sum(B,C) sum(A,#1)"},
            {"A-B-C", "diff(A,B) diff(#1,C)"},
            {"2^3^2", "third(2) square(#1)"},
            {"-A^2", "square(A) minus(#1)"},
            {"A+B*C^2", "square(C) prod(B,#1) sum(A,#2)"},
            {" a + ((b)) ", "sum(A,B)"},
            {"A--2", "diff(A,-2)"},
            {"2E3+1E-1*.5", "prod(0.10000000000000001,0.5) sum(2000,#1)"},
            {"PI*E", "prod(3.1415926535897931,E)"},
            {"X^4.0", "forth(X)"},
            {"X^-2", "intpower(X,-2)"},
            {"X^(Y+1)", "sum(Y,1) realpower(X,#1)"},
            {"X^Y^2", "square(Y) realpower(X,#1)"},
            {"COS(A)*EXP(A)*LN(A)*ARCTAN(A)*SQRT(A)*ABS(A)",
             "sqroot(A) abso(A) arctang(A) prod(#1,#2) logar(A) prod(#3,#4) expo(A) "
             "prod(#5,#6) cosine(A) prod(#7,#8) prod(#9,#10)"},
            {"alpha*.5", "prod(Alpha,0.5)"},
            {"1E999-1E-999", "diff(inf,0)"}},
           v);
    TCompiled r("SIN(X)^2+3*A", v);
    EXPECT_EQ(r.count, 4);
    for (const operation* p = r.list; p; p = p->next) EXPECT_EQ(p->routine, nullptr);
    // A lone variable or number is one record, counted as none, whose result is its operand.
    for (const auto& [text, chain] : TCases{{"X", "variab(X)"}, {"((5.))", "variab(5)"}}) {
        TCompiled lone(text, v);
        ASSERT_EQ(lone.Chain(), chain);
        EXPECT_EQ(lone.count, 0);
        EXPECT_EQ(lone.list->result, lone.list->arg1);
    }
    v.Add("PI", 7.0);  // a variable of that name comes first
    expect({{"PI+1", "sum(PI,1)"}}, v);
}

TEST(ParserCompile, FailureShowsOneWarningAndLeavesListAndCountAlone) {
    TVarList v;
    for (const char* text : {"", "A+-B", "A\tB", "-PI", "SIN X", "MAX(,A)", "X^Y^Z", ")A+B("})
        EXPECT_EQ(TCompiled(text, v).messages, "Syntax Error!") << text;
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
    const auto& shown = dialogs.Requests()[0];
    EXPECT_EQ(std::tuple(shown.text, shown.iFlags, shown.buttons),
              std::tuple("Syntax Error!", mtWarning, TMsgDlgButtons{mbOK}));
}

TEST(ParserCompile, LimitsOfTwentyLevelsAndFiftyRecordsPerLevelAndTheRandomFunctionGlobals) {
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
    // Huge and deep texts fail or compile without exhausting the stack.
    EXPECT_EQ(TCompiled(chainOf('+', 2000), v).messages, "Too many nestings!");
    EXPECT_EQ(TCompiled(chainOf('+', 2000) + "+", v).messages, "Too many nestings!");
    EXPECT_EQ(TCompiled(nested("", 5000, "-") + "A", v).messages, "Syntax Error!");
    EXPECT_EQ(TCompiled(nested("-", 5000, "A"), v).messages, "Too many nestings!");
    TCompiled brackets(nested("", 20000, "A+B"), v);
    EXPECT_EQ(brackets.Chain(), "sum(A,B)");
    std::string noise(1 << 20, '(');
    for (size_t i = 0; i < noise.size(); i += 3) noise[i] = "A+*)-^,"[i % 7];
    EXPECT_TRUE(TCompiled(noise, v).failed);
    // The random functions set the globals while translating.
    randomsize = 0;
    randomiterates = contrand = false;
    TCompiled rn("RN(6,K)", v);
    EXPECT_EQ(randomsize, 6);
    EXPECT_TRUE(randomiterates);
    EXPECT_FALSE(contrand);
    TCompiled rm("RM(1,2)", v);
    EXPECT_TRUE(contrand);
}

}  // namespace
