// Formula evaluation and compilation: qx against muParser and a hand-written native baseline,
// with the variables changing at every evaluation; then the compile time of the worst texts
// (largest formulas within the limits, 4 KB texts that fail). Ends with a summary table.
#include <benchmark/benchmark.h>
#include <muParser.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "qx/qx.h"

namespace {

struct TExpr {
    const char* id;
    const char* qx;
    const char* mu;
    double (*native)(double x, double y, double a, double b, double c, double d);
};

const TExpr kExprs[] = {
    {"E1", "SIN(X)^2+3*A", "sin(X)^2+3*A",
     [](double x, double, double a, double, double, double) {
         const double s = std::sin(x);
         return s * s + 3 * a;
     }},
    {"E2", "2*(A+B)", "2*(A+B)",
     [](double, double, double a, double b, double, double) { return 2 * (a + b); }},
    {"E3", "X", "X", [](double x, double, double, double, double, double) { return x; }},
    {"E4", "A*X^3+B*X^2+C*X+D", "A*X^3+B*X^2+C*X+D",
     [](double x, double, double a, double b, double c, double d) {
         return a * x * x * x + b * x * x + c * x + d;
     }},
    {"E5", "SQRT(X*X+Y*Y)/(1+ABS(A-B))", "sqrt(X*X+Y*Y)/(1+abs(A-B))",
     [](double x, double y, double a, double b, double, double) {
         return std::sqrt(x * x + y * y) / (1 + std::fabs(a - b));
     }},
    {"E6", "EXP(-X*X/2)*COS(3*X)+LN(1+A*A)", "exp(-X*X/2)*cos(3*X)+ln(1+A*A)",
     [](double x, double, double a, double, double, double) {
         return std::exp(-x * x / 2) * std::cos(3 * x) + std::log(1 + a * a);
     }},
};

// Inputs cycled through at every evaluation.
struct TInputs {
    double v[1024];
    TInputs() {
        for (int i = 0; i < 1024; ++i) v[i] = 0.25 + 0.001 * i;
    }
} const kIn;

class TSilent : public qx::platform::TDialogResponder {
  public:
    std::optional<qx::platform::TDialogAnswer> Answer(
        const qx::platform::TDialogRequest& r) override {
        return qx::platform::TDialogAnswer{r.eKind, mrOk, false};
    }
};

void evalQx(benchmark::State& state, const TExpr& e) {
    TQxParser p(nullptr);
    p.SetExpression(e.qx);
    unsigned i = 0;
    for (auto _ : state) {
        const double v = kIn.v[i++ & 1023];
        p.SetX(v);
        p.SetY(v + 1);
        p.SetA(v * 0.5);
        p.SetB(v + 2);
        p.SetC(v - 1);
        p.SetD(v * 2);
        benchmark::DoNotOptimize(p.Value());
    }
}

// The peer's parser with the variables of the six expressions bound to the caller's storage.
void bindMu(mu::Parser& p, double& x, double& y, double& a, double& b, double& c, double& d) {
    p.DefineVar("X", &x);
    p.DefineVar("Y", &y);
    p.DefineVar("A", &a);
    p.DefineVar("B", &b);
    p.DefineVar("C", &c);
    p.DefineVar("D", &d);
}

void evalMu(benchmark::State& state, const TExpr& e) {
    double x = 0, y = 0, a = 0, b = 0, c = 0, d = 0;
    mu::Parser p;
    bindMu(p, x, y, a, b, c, d);
    p.SetExpr(e.mu);
    p.Eval();
    unsigned i = 0;
    for (auto _ : state) {
        const double v = kIn.v[i++ & 1023];
        x = v;
        y = v + 1;
        a = v * 0.5;
        b = v + 2;
        c = v - 1;
        d = v * 2;
        benchmark::DoNotOptimize(p.Eval());
    }
}

void evalNative(benchmark::State& state, const TExpr& e) {
    unsigned i = 0;
    for (auto _ : state) {
        const double v = kIn.v[i++ & 1023];
        benchmark::DoNotOptimize(e.native(v, v + 1, v * 0.5, v + 2, v - 1, v * 2));
    }
}

void compileQx(benchmark::State& state, std::string text) {
    TQxParser p(nullptr);
    for (auto _ : state) {
        p.SetExpression(text);
        benchmark::DoNotOptimize(p.pGetOperations());
    }
}

void compileMu(benchmark::State& state, const TExpr& e) {
    double x = 0, y = 0, a = 0, b = 0, c = 0, d = 0;
    mu::Parser p;
    bindMu(p, x, y, a, b, c, d);
    for (auto _ : state) {
        p.SetExpr(e.mu);
        benchmark::DoNotOptimize(p.Eval());  // muParser builds its byte code at the first Eval
    }
}

// The largest formulas within the limits: a sum tree over 64 slots whose first 50 slots are
// chains of 14 functions, so that levels 7 to 20 hold 50 records each (763 records).
std::string chain(int n, int k) {
    static const char* f[] = {"SIN(", "COS(", "ABS(", "SQRT(", "ARCTAN(", "EXP(", "LN("};
    std::string s;
    for (int i = 0; i < n; ++i) s += f[(i + k) % 7];
    return s + "X" + std::string(static_cast<size_t>(n), ')');
}
std::string widest(int depth, int& slot, int wrap) {
    if (depth == 0) return slot++ < 50 ? chain(14, slot) : "A";
    std::string l = widest(depth - 1, slot, wrap);
    std::string r = widest(depth - 1, slot, wrap);
    std::string open(static_cast<size_t>(wrap), '('), close(static_cast<size_t>(wrap), ')');
    return open + l + (depth % 2 ? "+" : "*") + r + close;
}

struct TWorst {
    const char* id;
    const char* what;
    std::string text;
};

std::vector<TWorst> worstTexts() {
    std::vector<TWorst> w;
    int slot = 0;
    w.push_back({"W1", "763 records, 20 levels, 50 per level", widest(6, slot, 1)});
    slot = 0;
    w.push_back({"W2", "W1 with every operand in 4 brackets", widest(6, slot, 4)});
    std::string sum = "A";
    while (sum.size() < 4094) sum += "+A";
    w.push_back({"W3", "4 KB 'A+A+...': too many nestings", sum});
    w.push_back({"W4", "4 KB 'A+A+...+': syntax error", sum + "+"});
    w.push_back({"W5", "4 KB '((...(A)...))': compiles",
                 std::string(2047, '(') + "A" + std::string(2047, ')')});
    std::string neg;
    while (neg.size() < 4090) neg += "-(";
    w.push_back(
        {"W6", "'-(-(-(...(A)...))': too many nestings", neg + "A" + std::string(2045, ')')});
    std::string mixed;
    unsigned seed = 7;
    const char* parts[] = {"A", "2", "+", "-", "*", "/", "^", "(", ")", "SIN(", "MAX(", ",", "E"};
    while (mixed.size() < 4096) {
        seed = seed * 1103515245 + 12345;
        mixed += parts[(seed >> 16) % 13];
    }
    w.push_back({"W7", "4 KB of random formula pieces", mixed});
    std::string power = "X";
    while (power.size() < 4094) power += "^X";
    w.push_back({"W8", "4 KB 'X^X^...': syntax error", power});
    return w;
}

// Keeps each run's CPU time per iteration in ns, for the table at the end (CPU time, so that
// other load on the machine does not count).
class TCollect : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            ns[r.benchmark_name()] =
                r.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(r.time_unit) * 1e9;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> ns;
};

}  // namespace

int main(int argc, char** argv) {
    static TSilent silent;
    qx::platform::HeadlessWidgetSet().SetResponder(&silent);
    for (const TExpr& e : kExprs) {
        const std::string id = e.id;
        benchmark::RegisterBenchmark(("eval/qx/" + id).c_str(), evalQx, e);
        benchmark::RegisterBenchmark(("eval/muparser/" + id).c_str(), evalMu, e);
        benchmark::RegisterBenchmark(("eval/native/" + id).c_str(), evalNative, e);
        benchmark::RegisterBenchmark(("compile/qx/" + id).c_str(), compileQx, std::string(e.qx))
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("compile/muparser/" + id).c_str(), compileMu, e)
            ->Unit(benchmark::kMicrosecond);
    }
    const std::vector<TWorst> worst = worstTexts();
    for (const TWorst& w : worst)
        benchmark::RegisterBenchmark(("compile/qx/" + std::string(w.id)).c_str(), compileQx, w.text)
            ->Unit(benchmark::kMicrosecond);

    benchmark::Initialize(&argc, argv);
    TCollect out;
    benchmark::RunSpecifiedBenchmarks(&out);
    benchmark::Shutdown();

    auto get = [&](const std::string& name) {
        auto it = out.ns.find(name);
        return it == out.ns.end() ? NAN : it->second;
    };
    std::printf("\nCPU time per evaluation (ns) and per compile (us)\n");
    std::printf("%-4s %-32s %9s %9s %9s %8s %11s %11s\n", "", "expression", "qx ns", "muP ns",
                "native ns", "qx/muP", "qx comp us", "muP comp us");
    for (const TExpr& e : kExprs) {
        const std::string id = e.id;
        const double q = get("eval/qx/" + id), m = get("eval/muparser/" + id);
        std::printf("%-4s %-32s %9.1f %9.1f %9.1f %8.2f %11.2f %11.2f\n", e.id, e.qx, q, m,
                    get("eval/native/" + id), q / m, get("compile/qx/" + id) / 1e3,
                    get("compile/muparser/" + id) / 1e3);
    }
    std::printf("\n%-4s %-44s %9s %9s %12s\n", "", "worst-case text", "bytes", "records",
                "qx comp us");
    for (const TWorst& w : worst) {
        TQxParser p(nullptr);
        p.SetExpression(w.text);
        std::printf("%-4s %-44s %9zu %9s %12.1f\n", w.id, w.what, w.text.size(),
                    p.bGetFailed() ? "failed" : std::to_string(p.iGetCount()).c_str(),
                    get("compile/qx/" + std::string(w.id)) / 1e3);
    }
    return 0;
}
