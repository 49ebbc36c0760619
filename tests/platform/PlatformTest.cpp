// The framework stand-in: object model, string list, streams, paths, clocks, widget set.
#include <sys/utsname.h>

#include <thread>

#include "tests/support/TestSupport.h"

using qx::platform::TDialogKind;

// ---------------------------------------------------------------------------- components

namespace {
struct Tracked : TComponent {
    Tracked(TComponent* owner, int& alive) : TComponent(owner), alive_(alive) { ++alive_; }
    ~Tracked() override { --alive_; }
    int& alive_;
};
}  // namespace

TEST(Component, OwnerDeletesWhatItOwnsAndAChildDeletedFirstLeavesTheList) {
    int alive = 0;
    auto* root = new Tracked(nullptr, alive);
    auto* a = new Tracked(root, alive);
    auto* b = new Tracked(a, alive);
    new Tracked(root, alive);
    b->SetName("Grid");
    EXPECT_EQ(a->FindComponent("gRiD"), b);
    EXPECT_EQ(root->ComponentCount(), 2);
    delete a;  // takes b with it and leaves root's list
    EXPECT_EQ(alive, 2);
    EXPECT_EQ(root->ComponentCount(), 1);
    delete root;
    EXPECT_EQ(alive, 0);
}

TEST(Component, InsertingIntoAnotherOwnerMovesIt) {
    TComponent first(nullptr), second(nullptr);
    auto* c = new TComponent(&first);
    second.InsertComponent(c);
    EXPECT_EQ(c->Owner(), &second);
    EXPECT_EQ(first.ComponentCount(), 0);
    EXPECT_EQ(second.ComponentCount(), 1);
}

// ---------------------------------------------------------------------------- string list

TEST(StringList, SortedIgnoresDuplicatesWithoutRegardToCase) {
    TStringList l;
    l.SetSorted(true);
    TObject o1, o2;
    EXPECT_EQ(l.AddObject("Zeta", &o1), 0);
    EXPECT_EQ(l.Add("alpha"), 0);
    EXPECT_EQ(l.Add("\xC4pfel"), 2);         // Ä sorts after ASCII letters
    EXPECT_EQ(l.AddObject("ZETA", &o2), 1);  // ignored: returns the existing index
    ASSERT_EQ(l.Count(), 3);
    EXPECT_EQ(l.Strings(1), "Zeta");
    EXPECT_EQ(l.Objects(1), &o1);
    EXPECT_EQ(l.IndexOf("\xE4PFEL"), 2);  // ä and Ä compare equal
    int index = -1;
    EXPECT_FALSE(l.Find("beta", index));
    EXPECT_EQ(index, 1);  // where it would be inserted
    EXPECT_TRUE(l.Find("ALPHA", index));
    EXPECT_EQ(index, 0);
}

TEST(StringList, DuplicateRulesAndSortedRestrictions) {
    TStringList l;
    l.SetSorted(true);
    l.SetDuplicates(dupAccept);
    l.Add("b");
    l.Add("B");
    EXPECT_EQ(l.Count(), 2);
    l.SetDuplicates(dupError);
    EXPECT_THROW(l.Add("b"), Exception);
    EXPECT_THROW(l.Insert(0, "a"), Exception);
    EXPECT_THROW(l.Strings(2), Exception);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("b"), l.Strings(0) == "b" ? 0 : 1);
}

TEST(StringList, UnsortedKeepsOrderAndTextSplitsAnyLineEnd) {
    TStringList l;
    l.SetText("one\r\ntwo\nthree\rfour");
    ASSERT_EQ(l.Count(), 4);
    EXPECT_EQ(l[3], "four");
    EXPECT_EQ(l.IndexOf("TWO"), 1);
    EXPECT_EQ(l.Text(), "one\ntwo\nthree\nfour\n");
    l.SetSorted(true);
    EXPECT_EQ(l[0], "four");
}

// ---------------------------------------------------------------------------- streams

TEST(Streams, MemoryStreamGrowsOnWriteAndReadsBackWhatWasWritten) {
    TMemoryStream m;
    const char text[] = "0123456789";
    m.WriteBuffer(text, 10);
    m.SetPosition(20);
    m.WriteBuffer("x", 1);  // a gap is zero-filled
    EXPECT_EQ(m.Size(), 21);
    m.SetPosition(8);
    char buf[16] = {};
    EXPECT_EQ(m.Read(buf, 16), 13);
    EXPECT_EQ(buf[0], '8');
    EXPECT_EQ(buf[2], '\0');
    EXPECT_EQ(buf[12], 'x');
    EXPECT_EQ(m.Read(buf, 1), 0);
    EXPECT_THROW(m.ReadBuffer(buf, 1), Exception);
    m.SetSize(4);
    EXPECT_EQ(m.Position(), 4);
}

TEST(Streams, FileStreamRoundTripAndFailuresRaise) {
    qx::test::TTempDir dir;
    const std::string name = dir.File("data.bin");
    EXPECT_THROW(TFileStream(name, fmOpenRead), Exception);
    EXPECT_THROW(TFileStream(dir.File("no/such/dir/x"), fmCreate), Exception);
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("hello world", 11);
        EXPECT_EQ(f.Size(), 11);
    }
    TMemoryStream m;
    m.LoadFromFile(name);
    ASSERT_EQ(m.Size(), 11);
    EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), 11), "hello world");
    m.SaveToFile(dir.File("copy.bin"));
    EXPECT_EQ(qx::test::ReadFile(dir.File("copy.bin")), "hello world");
    TFileStream f(name, fmOpenReadWrite);
    f.SetSize(5);
    EXPECT_EQ(qx::test::ReadFile(name), "hello");
}

// ---------------------------------------------------------------------------- paths, time, text

TEST(Paths, BothSeparatorsAndDrivesAreSplit) {
    auto p = qx::platform::SplitPath("C:\\data/sub\\Table.v2.src");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.dir, "\\data/sub\\");
    EXPECT_EQ(p.name, "Table.v2");
    EXPECT_EQ(p.ext, ".src");
    EXPECT_EQ(qx::platform::FileNameOf("/home/u/grid.src"), "grid.src");
    EXPECT_EQ(qx::platform::FileNameOf("grid.src"), "grid.src");
    EXPECT_EQ(qx::platform::FileNameOf("dir/"), "");
}

TEST(Time, LongTimeFormatIsApplied) {
    const AnsiString saved = LongTimeFormat;
    qx::platform::TLocalTime t{2008, 1, 2, 9, 5, 7};
    EXPECT_EQ(qx::platform::FormatLongTime(t), "09:05:07");
    LongTimeFormat = "h.n 's";
    EXPECT_EQ(qx::platform::FormatLongTime(t), "9.5 '7");
    LongTimeFormat = saved;
}

TEST(Codepage, Cp1252RoundTripsThroughUtf8) {
    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(qx::platform::Utf8ToCp1252(qx::platform::Cp1252ToUtf8(all)), all);
    EXPECT_EQ(qx::platform::Cp1252ToUtf8("\x80\xE4"), "\u20AC\u00E4");
    EXPECT_EQ(qx::platform::Utf8ToCp1252("\u4E2D\xFF"), "??");
}

TEST(Clock, InjectedTickAndRealSystemFacts) {
    qx::platform::SetTickSource([] { return 1234u; });
    EXPECT_EQ(qx::platform::TickCount(), 1234u);
    qx::platform::SetTickSource({});
    EXPECT_NE(qx::platform::TickCount(), 1234u);

    Process::TTimeStamp a;
    Process::TTimeStamp b;
    EXPECT_GE(a.llDiff(b), 0);

    utsname u{};
    ASSERT_EQ(uname(&u), 0);
    const std::string& line = qx::platform::OperatingSystemLine();
    EXPECT_EQ(line.rfind(std::string(u.sysname) + " ", 0), 0u) << line;
    EXPECT_EQ(line.find("Windows"), std::string::npos);

    std::uint32_t other = 0;
    std::thread([&] { other = qx::platform::CurrentThreadId(); }).join();
    EXPECT_NE(other, qx::platform::CurrentThreadId());
}

TEST(Application, ArgumentsAndTitle) {
    const char* argv[] = {"/opt/bin/prog", "a", "b"};
    Application->SetArguments(3, argv);
    EXPECT_EQ(Application->ParamCount(), 2);
    EXPECT_EQ(Application->ParamStr(2), "b");
    EXPECT_EQ(Application->ParamStr(3), "");
    Application->SetArguments({});
    EXPECT_EQ(Application->ParamCount(), 0);
}

// ---------------------------------------------------------------------------- widget set

TEST(WidgetSet, ResponderAnswersInOrderAndRecordsRequests) {
    qx::test::TResponderScope r;
    r.MessageBox(IDNO);
    r.MessageDlg(mrCancel);
    EXPECT_EQ(Application->MessageBox("Sure?", "Question", MB_YESNO), IDNO);
    EXPECT_EQ(MessageDlg("Syntax Error!", mtWarning, mbOK), mrCancel);
    ASSERT_EQ(r.Requests().size(), 2u);
    EXPECT_EQ(r.Requests()[0].caption, "Question");
    EXPECT_EQ(r.Requests()[1].text, "Syntax Error!");
    EXPECT_EQ(r.Requests()[1].iFlags, mtWarning);
}

TEST(WidgetSet, UnexpectedDialogsAreReportedAndTakeTheirDefault) {
    qx::platform::TQueuedResponder r;
    std::vector<std::string> complaints;
    r.OnUnexpected = [&](const qx::platform::TDialogRequest&, const std::string& why) {
        complaints.push_back(why);
    };
    qx::platform::HeadlessWidgetSet().SetResponder(&r);
    r.Push({TDialogKind::InputQuery, mrOk, false, "typed"});
    EXPECT_EQ(Application->MessageBox("x", "y", MB_YESNO), IDYES);  // wrong kind
    EXPECT_EQ(r.Pending(), 1u);  // the mismatched answer stays for the next dialog
    AnsiString value;
    EXPECT_TRUE(InputQuery("c", "p", value));
    EXPECT_EQ(value, "typed");
    EXPECT_EQ(MessageDlg("z", mtError, mbOK | mbCancel), mrOk);  // queue empty
    qx::platform::HeadlessWidgetSet().SetResponder(nullptr);
    EXPECT_EQ(complaints.size(), 2u);
}
