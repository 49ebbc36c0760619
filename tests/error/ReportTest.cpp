// The labelled report of the error list (qx::SPrintfErrorMessage) in both languages.
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"

namespace {

using qx::test::TTempDir;

class Report : public qx::test::ErrorStateTest {
  protected:
    void SetUp() override {
        ErrorStateTest::SetUp();
        Application->SetTitle("Messplatz");
        Application->SetArguments(std::vector<AnsiString>{"/opt/bin/messplatz"});
    }
    void TearDown() override {
        qx::platform::SetTickSource({});
        qx::rGetErrorInfo().ulStartTime = savedStart_;
        ErrorStateTest::TearDown();
    }
    // Program start and the current tick, both in milliseconds since the system started.
    static void SetClock(std::uint32_t start, std::uint32_t now) {
        qx::rGetErrorInfo().ulStartTime = start;
        qx::platform::SetTickSource([now] { return now; });
    }
    static std::string Text() {
        std::string buf(16384, '\0');
        qx::SPrintfErrorMessage(buf.data(), static_cast<int>(buf.size()));
        return buf.c_str();
    }

  private:
    const unsigned long savedStart_ = qx::rGetErrorInfo().ulStartTime;
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

TEST_F(Report, EnglishReportOfAnEmptyListShowsNoStaleEntry) {
    TLanguage::setEnglisch();
    SetClock(59999, 59999);
    qx::error(0xE5136001, "stale.src", 167, "old text");
    qx::deleteError();
    EXPECT_EQ(Text(),
              "\n\tError code: 0x00000000\n"
              "\tSource text file: \n"
              "\tSource text line: 0\n"
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
                  "\tCall stack::\n");
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

}  // namespace
