// TQxParser: variables, expression life cycle with failures, and ownership.
#include "tests/parser/ParserTestSupport.h"

namespace {

using qx::test::TResponderScope;

TEST(ParserComponent, BuiltInAndUserVariables) {
    TQxParser p(nullptr);
    EXPECT_EQ(p.GetVar("Q"), 0.0);
    p.SetVar("q", 2);
    EXPECT_EQ(p.GetVar("Q"), 2.0);
    EXPECT_EQ(p.Q(), 2.0);
    p.SetZ(-4);
    EXPECT_EQ(p.GetVar("z"), -4.0);

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
}

TEST(ParserComponent, ExpressionLifeCycleAndFailure) {
    TQxParser p(nullptr);
    EXPECT_EQ(p.Value(), 0.0);  // Empty from the start
    p.SetExpression("X");       // a lone variable: its value, with nothing to compute
    EXPECT_EQ(p.iGetCount(), 0);
    p.SetX(-1.5);
    EXPECT_EQ(p.Value(), -1.5);
    {
        TResponderScope dialogs;
        dialogs.MessageDlg(mrOk);
        p.SetExpression("BETA+1");
        ASSERT_EQ(dialogs.Requests().size(), 1u);
        EXPECT_EQ(dialogs.Requests()[0].text, "Syntax Error!");
    }
    EXPECT_TRUE(p.bGetFailed());
    EXPECT_EQ(p.pGetOperations(), nullptr);
    EXPECT_EQ(p.Expression(), "BETA+1");
    EXPECT_EQ(p.Value(), 0.0);

    p.SetVar("Beta", 1.5);
    p.SetExpression(p.Expression());
    EXPECT_FALSE(p.bGetFailed());
    EXPECT_EQ(p.Value(), 2.5);

    p.SetA(2);
    p.SetExpression("A*A+A");
    EXPECT_EQ(p.Value(), 6.0);
    EXPECT_EQ(p.iGetCount(), 2);
    // The records and their cells are one block, walked front to back.
    for (const operation* r = p.pGetOperations(); r && r->next; r = r->next)
        EXPECT_EQ(r->next, r + 1);

    bool failed = true;
    p.ParseExpression("A-1", failed);  // on a compiled component: the old chain goes first
    EXPECT_FALSE(failed);
    EXPECT_EQ(p.Value(), 1.0);
    EXPECT_EQ(p.Expression(), "A-1");

    // Chains of several components run one after the other.
    TQxParser q(nullptr);
    q.SetExpression("SIN(X)^2+COS(X)^2");
    q.SetX(0.5);
    EXPECT_NEAR(q.Value(), 1.0, 1e-15);
    EXPECT_EQ(p.Value(), 1.0);

    p.FreeExpression();
    EXPECT_EQ(p.pGetOperations(), nullptr);
    EXPECT_EQ(p.Value(), 0.0);
    EXPECT_EQ(p.Expression(), "A-1");
}

TEST(ParserComponent, OwnedByItsOwner) {
    auto* owner = new TComponent(nullptr);
    auto* p = new TQxParser(owner);
    p->SetName("Parser1");
    p->SetVar("Gamma", 1);
    p->SetExpression("GAMMA+X");
    EXPECT_EQ(owner->FindComponent("parser1"), p);
    delete owner;  // deletes the parser with its chain and its variable storage
    Parser8::Register();
    const TComponentClass* c = qx::platform::FindComponentClass("TQxParser");
    ASSERT_NE(c, nullptr);
    std::unique_ptr<TComponent> made(c->Create(nullptr));
    EXPECT_NE(dynamic_cast<TQxParser*>(made.get()), nullptr);
}

}  // namespace
