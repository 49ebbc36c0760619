// The two text forms of the error list: the labelled report (qx::SPrintfErrorMessage) and the
// log line (TErrorInfo::vOutStream through qx::error / qx::trace).
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using qx::test::ReadFile;
using qx::test::TTempDir;

std::string Hex(unsigned long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%lx", v);
    return buf;
}

class Report : public qx::test::ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        savedTitle_ = Application->Title();
        for (int i = 0; i <= Application->ParamCount(); ++i)
            savedArgs_.push_back(Application->ParamStr(i));
        savedStart_ = qx::rGetErrorInfo().ulStartTime;
        Application->SetTitle("Messplatz");
        Application->SetArguments(std::vector<AnsiString>{"/opt/bin/messplatz"});
    }
    void TearDown() override {
        qx::platform::SetTickSource({});
        qx::rGetErrorInfo().ulStartTime = savedStart_;
        Application->SetTitle(savedTitle_);
        Application->SetArguments(savedArgs_);
        ErrorStateTest::TearDown();
    }
    // Program start and the current tick, both in milliseconds since the system started.
    static void SetClock(std::uint32_t start, std::uint32_t now) {
        qx::rGetErrorInfo().ulStartTime = start;
        qx::platform::SetTickSource([now] { return now; });
    }
    static std::string Text(int size = 16384) {
        std::string buf(static_cast<size_t>(size), '\0');
        qx::SPrintfErrorMessage(buf.data(), size);
        return buf.c_str();
    }

  private:
    AnsiString savedTitle_;
    std::vector<AnsiString> savedArgs_;
    unsigned long savedStart_ = 0;
};

TEST_F(Report, GermanReportOfAnErrorWithTraceEntries) {
    TTempDir dir;
    const std::string log = dir.File("fehler.txt");
    ASSERT_TRUE(qx::openErrorFile(log.c_str()));
    Application->SetArguments(std::vector<AnsiString>{"/opt/bin/messplatz", "a", "b"});
    // Started 1000 ms before the tick wrapped; running 1d 1h 1m 1s 999ms.
    SetClock(0xFFFFFC18u, 90061999u - 1000u);
    qx::error(0xE5136001, "C:\\src\\grid.src", 167, "FixedRows=%d NumCol=%d", 5, 3);
    qx::trace("/src/frame.src", 88);

    EXPECT_EQ(Text(),
              "\n\tFehlercode: 0xe5136001\n"
              "\tQuelltextdatei: grid.src\n"
              "\tQuelltextzeile: 167\n"
              "\tFehlertyp: Fehlerhafter Parameter ( 0x05100000 )\n"
              "\tZus\xE4tzliche Angaben: FixedRows=5 NumCol=3\n"
              "\tApplikation: Messplatz\n"
              "\tAufrufparameter: \"a b \"\n"
              "\tBetriebssystem:: " +
                  qx::platform::OperatingSystemLine() +
                  "\n"
                  "\tFehlerdatei: " +
                  log +
                  "\n"
                  "\tProgramm l\xE4uft seit: 1d 1h 1m 1s\n"
                  "\tRechner l\xE4uft seit: 1d 1h 1m 0s\n"
                  "\tAufrufstack::\n"
                  "\t\tgrid.src (167)\tFixedRows=5 NumCol=3"
                  "\t\tframe.src (88)\t");
}

TEST_F(Report, EnglishReportOfAnUntypedErrorWithoutText) {
    TLanguage::setEnglisch();
    SetClock(59999, 59999);
    qx::error(0xE0000000, "main.cpp", 5);
    EXPECT_EQ(Text(),
              "\n\tError code: 0xe0000000\n"
              "\tSource text file: main.cpp\n"
              "\tSource text line: 5\n"
              "\tType of error: Error type not specified ( 0x00000000 )\n"
              "\tAdditional data: \n"
              "\tApplication: Messplatz\n"
              "\tCall parameters: \"\"\n"
              "\tOperating system:: " +
                  qx::platform::OperatingSystemLine() +
                  "\n"
                  "\tError file: \n"
                  "\tProgram running since: 0d 0h 0m 0s\n"
                  "\tComputer running since: 0d 0h 0m 59s\n"
                  "\tCall stack::\n"
                  "\t\tmain.cpp (5)\t");
}

TEST_F(Report, BufferIsWrittenOnlyWhenTheWholeReportFits) {
    SetClock(0, 1000);
    qx::error(0xE7436005, "grid.src", 1, "%s", std::string(900, 'x').c_str());
    for (int i = 0; i < 20; ++i) qx::trace("grid.src", i, "level %d", i);
    const std::string full = Text();
    ASSERT_GT(full.size(), 1000u);
    const int n = static_cast<int>(full.size());

    std::string buf(full.size() + 1, '#');
    for (int size : {-1, 0, 1, n / 2, n}) {
        qx::SPrintfErrorMessage(buf.data(), size);
        EXPECT_EQ(buf, std::string(full.size() + 1, '#')) << "size " << size;
    }
    qx::SPrintfErrorMessage(buf.data(), n + 1);
    EXPECT_EQ(buf, full + '\0');
}

TEST_F(Report, EmptyListShowsNoStaleEntry) {
    qx::error(0xE5136001, "stale.src", 167, "old text");
    qx::deleteError();
    const std::string text = Text();
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.find("stale.src"), std::string::npos) << text;
    EXPECT_EQ(text.find("old text"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("Aufrufstack::\n")) << text;
}

class LogLine : public qx::test::ErrorStateTest {
  protected:
    TTempDir dir;
    const std::string log = dir.File("log.txt");
    const std::string tid = Hex(qx::platform::CurrentThreadId());
    void SetUp() override {
        ErrorStateTest::SetUp();
        ASSERT_TRUE(qx::openErrorFile(log.c_str()));
    }
};

TEST_F(LogLine, DefaultFormatWritesOneLinePerEntry) {
    qx::error(0xE5136001, "/home/u/src/grid.src", 167, "FixedRows=%d\tNumCol=%d", 5, 3);
    qx::trace("C:\\src\\grid.src", 1339);
    qx::trace("frame.src", 88);
    qx::deleteError();  // deleting writes nothing
    EXPECT_EQ(ReadFile(log), "\nE 0xe5136001 " + tid + " grid.src(167) FixedRows=5 NumCol=3\n" +
                                 "T 0xe5136001 " + tid + " grid.src(1339) \n" + "T 0xe5136001 " +
                                 tid + " frame.src(88) \n");
}

TEST_F(LogLine, CustomFormatsKeepUnknownEscapesAndATrailingDollar) {
    TErrorInfo& info = qx::rGetErrorInfo();
    info.vSetOutFileFormat("$C;$X;$");
    qx::error(0xE5136001, "grid.src", 1);

    char format[] = "[$E|$T|$F|$L|$P|$$|%d]";
    info.vSetOutFileFormat(format);
    format[1] = '#';  // the list keeps its own copy
    qx::trace("f.src", 9, "p%%");
    qx::error(0x12345678, "g.src", 10, "q");

    info.vSetOutFileFormat(nullptr);
    qx::error(0xE7436005, "h.src", 11, "r");

    EXPECT_EQ(ReadFile(log),
              "0xe5136001;$X;$\n"
              "[T|" +
                  tid +
                  "|f.src|9|p%|$$|%d]\n"
                  "[\nE|" +
                  tid +
                  "|g.src|10|q|$$|%d]\n"
                  "\nE 0xe7436005 " +
                  tid + " h.src(11) r\n");
}

TEST_F(LogLine, ClosedLogDropsLinesAndReopeningAppends) {
    qx::error(0xE5136001, "a.src", 1);
    qx::closeErrorFile();
    EXPECT_STREQ(qx::rGetErrorInfo().cpGetFileName(), "");
    qx::trace("a.src", 2);
    ASSERT_TRUE(qx::openErrorFile(log.c_str()));
    qx::trace("a.src", 3);
    EXPECT_EQ(ReadFile(log),
              "\nE 0xe5136001 " + tid + " a.src(1) \n" + "T 0xe5136001 " + tid + " a.src(3) \n");
}

}  // namespace
