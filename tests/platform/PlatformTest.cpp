// The framework stand-in: string list, streams, paths, time, widget set.
#include <sys/stat.h>

#include <algorithm>
#include <fstream>

#include "tests/support/TestSupport.h"

using qx::platform::TDialogKind;

TEST(StringList, SortedIgnoresDuplicatesWithoutRegardToCaseUnlessToldUnsortedKeepsOrder) {
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

    l.SetDuplicates(dupAccept);
    l.Add("zeta");
    EXPECT_EQ(l.Count(), 4);
    l.SetDuplicates(dupError);
    EXPECT_THROW(l.Add("alpha"), Exception);
    EXPECT_THROW(l.Insert(0, "a"), Exception);  // a sorted list takes no position
    EXPECT_THROW(l.Strings(4), Exception);
    l.SetCaseSensitive(true);
    EXPECT_EQ(l.IndexOf("zeta"), l.Strings(1) == "zeta" ? 1 : 2);

    // Unsorted, the order stays; text splits at any line end.
    TStringList u;
    u.SetText("one\r\ntwo\nthree\rfour");
    EXPECT_EQ(u.IndexOf("TWO"), 1);
    EXPECT_EQ(u.Text(), "one\ntwo\nthree\nfour\n");
    u.SetSorted(true);
    EXPECT_EQ(u[0], "four");
}

TEST(Streams, MemoryStreamGrowsOnWriteFileStreamRoundTripsAndFailuresRaise) {
    TMemoryStream m;
    const char text[] = "0123456789";
    m.WriteBuffer(text, 10);
    m.SetPosition(20);
    m.WriteBuffer("x", 1);  // a gap is zero-filled
    EXPECT_EQ(m.Size(), 21);
    m.SetPosition(8);
    char buf[16] = {};
    EXPECT_EQ(m.Read(buf, 16), 13);
    EXPECT_EQ(std::string(buf, 13), "89" + std::string(10, '\0') + "x");
    EXPECT_EQ(m.Read(buf, 1), 0);
    EXPECT_THROW(m.ReadBuffer(buf, 1), Exception);
    m.SetSize(4);
    EXPECT_EQ(m.Position(), 4);

    // File streams round-trip; failures raise.
    qx::test::TTempDir dir;
    const std::string name = dir.File("data.bin");
    EXPECT_THROW(TFileStream(name, fmOpenRead), Exception);
    EXPECT_THROW(TFileStream(dir.File("no/such/dir/x"), fmCreate), Exception);
    {
        TFileStream f(name, fmCreate);
        f.WriteBuffer("hello world", 11);
        EXPECT_EQ(f.Size(), 11);
    }
    m.LoadFromFile(name);
    ASSERT_EQ(m.Size(), 11);
    EXPECT_EQ(std::string(static_cast<char*>(m.Memory()), 11), "hello world");
    m.SaveToFile(dir.File("copy.bin"));
    EXPECT_EQ(qx::test::ReadFile(dir.File("copy.bin")), "hello world");
    TFileStream f(name, fmOpenReadWrite);
    f.SetSize(5);
    EXPECT_EQ(qx::test::ReadFile(name), "hello");
}

TEST(Paths, BothSeparatorsAreSplitAndAcceptedByExistDir) {
    auto p = qx::platform::SplitPath("C:\\data/sub\\Table.v2.src");
    EXPECT_EQ(std::tie(p.drive, p.dir, p.name, p.ext),
              std::tuple("C:", "\\data/sub\\", "Table.v2", ".src"));
    EXPECT_EQ(qx::platform::FileNameOf("/home/u/grid.src"), "grid.src");
    EXPECT_EQ(qx::platform::FileNameOf("dir/"), "");

    qx::test::TTempDir dir;
    const std::string sub = dir.File("empty dir");
    ASSERT_EQ(mkdir(sub.c_str(), 0777), 0);
    std::string back = sub;
    std::ranges::replace(back, '/', '\\');
    std::ofstream(dir.File("file.txt")) << "x";
    for (const std::string& yes : {sub, sub + "/", back, back + "\\"})
        EXPECT_TRUE(qx::existDir(yes.c_str())) << yes;
    for (const std::string& no : {dir.File("file.txt"), dir.File("missing"), std::string()})
        EXPECT_FALSE(qx::existDir(no.c_str())) << no;
    EXPECT_FALSE(qx::existDir(nullptr));
}

TEST(Codepage, Cp1252RoundTripsThroughUtf8AndTheLongTimeFormatIsApplied) {
    const AnsiString saved = LongTimeFormat;
    qx::platform::TLocalTime t{2008, 1, 2, 9, 5, 7};
    EXPECT_EQ(qx::platform::FormatLongTime(t), "09:05:07");
    LongTimeFormat = "h.n 's";
    EXPECT_EQ(qx::platform::FormatLongTime(t), "9.5 '7");
    LongTimeFormat = saved;

    std::string all;
    for (int c = 1; c < 256; ++c) all += static_cast<char>(c);
    EXPECT_EQ(qx::platform::Utf8ToCp1252(qx::platform::Cp1252ToUtf8(all)), all);
    EXPECT_EQ(qx::platform::Cp1252ToUtf8("\x80\xE4"), "\u20AC\u00E4");
    EXPECT_EQ(qx::platform::Utf8ToCp1252("\u4E2D\xFF"), "??");
}

TEST(WidgetSet, ResponderAnswersInOrderAndUnexpectedDialogsTakeTheirDefault) {
    qx::platform::TQueuedResponder r;
    std::vector<std::string> complaints;
    r.OnUnexpected = [&](const qx::platform::TDialogRequest&, const std::string& why) {
        complaints.push_back(why);
    };
    qx::platform::HeadlessWidgetSet().SetResponder(&r);
    r.Push({TDialogKind::MessageDlg, mrCancel, false});
    r.Push({TDialogKind::InputQuery, mrOk, false, "typed"});
    EXPECT_EQ(MessageDlg("Syntax Error!", mtWarning, mbOK), mrCancel);
    EXPECT_EQ(Application->MessageBox("x", "Question", MB_YESNO), IDYES);  // wrong kind
    EXPECT_EQ(r.Pending(), 1u);  // the mismatched answer stays for the next dialog
    AnsiString value;
    EXPECT_TRUE(InputQuery("c", "p", value));
    EXPECT_EQ(value, "typed");
    EXPECT_EQ(MessageDlg("z", mtError, mbOK | mbCancel), mrOk);  // queue empty
    qx::platform::HeadlessWidgetSet().SetResponder(nullptr);
    EXPECT_EQ(complaints.size(), 2u);
    ASSERT_EQ(r.Requests().size(), 4u);
}
