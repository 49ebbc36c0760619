// The table frame's files, permissions, popup and example table.
#include <unistd.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "tests/tableframe/FrameFixture.h"

namespace qx::test {
namespace {

class FrameFiles : public FrameTest {
  protected:
    // A file of the standard structure with `lines` lines, written by another frame.
    std::string vFile(const std::string& name, int lines) {
        TQxTableFrame other(nullptr);
        vColumns(other);
        for (int i = 0; i < lines; ++i)
            other.vAppendLine(line(("f" + std::to_string(i)).c_str(), 1, i, 0.25).data());
        const std::string path = dir.File(name);
        other.vWriteFileBin(path.c_str());
        return path;
    }
    // Opens the grid's popup, chooses `choose` (nothing for ""), and gives the captions of the
    // visible items.
    // `then` queues the answers for the dialogs the chosen command opens.
    std::set<std::string> popup(TResponderScope& r, const std::string& choose = "",
                                const std::function<void()>& then = {}) {
        r.PopupMenu(choose);
        if (then) then();
        frame->StringGridQx->pGetPopupMenu()->Popup(0, 0);
        std::set<std::string> shown;
        TMenuItem* items = frame->StringGridQx->pGetPopupMenu()->Items();
        for (int i = 0; i < items->Count(); ++i)
            if (items->Items(i)->Visible() && !items->Items(i)->IsLine())
                shown.insert(items->Items(i)->Caption());
        return shown;
    }
    TTempDir dir;
};

TEST_F(FrameFiles, OtherStructureNeedsPermission) {
    const std::string f = vFile("a.tbl", 3);
    EXPECT_EQ(code([&] { frame->vReadFile(f.c_str(), false); }), 0x12345678UL);
    EXPECT_EQ(frame->iGetColCount(), 0);
    frame->vPermitChangeColumn(true);
    frame->vReadFile(f.c_str(), false);
    EXPECT_EQ(frame->iGetColCount(), 4);
    EXPECT_EQ(frame->iGetLineCount(), 3);
    EXPECT_EQ(frame->iGetLineSize(), kLineSize);
    expectBound(*frame);
    EXPECT_EQ(cell(2, 0), "f2");
    EXPECT_EQ(cell(2, 2), "2");
}

TEST_F(FrameFiles, SameStructureReplacesOrAppends) {
    vStandard(2);
    const std::string f = vFile("a.tbl", 3);
    frame->vReadFile(f.c_str(), true);
    EXPECT_EQ(frame->iGetLineCount(), 5);
    EXPECT_EQ(cell(0, 0), "n0");
    EXPECT_EQ(cell(4, 0), "f2");
    frame->vReadFile(f.c_str(), false);
    EXPECT_EQ(frame->iGetLineCount(), 3);
    EXPECT_EQ(cell(0, 0), "f0");
    expectBound(*frame);
}

TEST_F(FrameFiles, RefusedOrDamagedFileLeavesFrameAsItWas) {
    vStandard(2);
    TQxTableFrame other(nullptr);
    other.vSetLineSize(1);
    other.vAppendColumn(item("B", TH5Type::eTypUChar, 0));
    other.vAppendLine(std::vector<unsigned char>{5}.data());
    const std::string f = dir.File("other.tbl");
    other.vWriteFileBin(f.c_str());
    frame->vPermitChangeColumn(true);
    // Appending never changes the structure.
    EXPECT_EQ(code([&] { frame->vReadFile(f.c_str(), true); }), 0x12345678UL);
    EXPECT_EQ(frame->iGetColCount(), 4);
    // A truncated file fails before anything changes.
    const std::string good = vFile("good.tbl", 4);
    const std::string bytes = ReadFile(good);
    const std::string bad = dir.File("bad.tbl");
    ASSERT_TRUE(qx::platform::WriteFileAtomically(bad, bytes.substr(0, bytes.size() - 10)));
    EXPECT_EQ(code([&] { frame->vReadFile(bad.c_str(), false); }), 0xE332204AUL);
    EXPECT_EQ(frame->iGetLineCount(), 2);
    EXPECT_EQ(cell(1, 0), "n1");
    EXPECT_EQ(code([&] { frame->vReadFile(dir.File("missing.tbl").c_str(), false); }),
              0xE332204AUL);
    EXPECT_EQ(frame->iGetLineCount(), 2);
    expectBound(*frame);
}

TEST_F(FrameFiles, WriteChoosesFormByExtension) {
    vStandard(2);
    frame->vWriteFile(dir.File("t.TXT").c_str());
    frame->vWriteFile(dir.File("t.dat").c_str());
    frame->vWriteFile(dir.File("noext").c_str());
    frame->vWriteFile(dir.File("x.y.txt").c_str());
    EXPECT_EQ(ReadFile(dir.File("t.TXT")).substr(0, 4), "Name");
    EXPECT_NE(ReadFile(dir.File("x.y.txt")).find("n1\t0x08\t-1"), std::string::npos);
    EXPECT_EQ(ReadFile(dir.File("t.dat")).substr(0, 7), "QxTable");
    EXPECT_EQ(ReadFile(dir.File("noext")).substr(0, 7), "QxTable");
}

TEST_F(FrameFiles, BinarySaveIsTheTablesBinaryForm) {
    vStandard(3);
    frame->vSetCaption("Beispiel einer Tabelle");
    frame->vWriteFileBin(dir.File("frame.tbl").c_str());
    frame->tTable.vWriteBin(dir.File("table.tbl").c_str());
    EXPECT_EQ(ReadFile(dir.File("frame.tbl")), ReadFile(dir.File("table.tbl")));
    // And it reads back.
    TQxTableFrame back(nullptr);
    back.vPermitChangeColumn(true);
    back.vReadFile(dir.File("frame.tbl").c_str(), false);
    EXPECT_TRUE(back.tTable.bCompareColumns(frame->tTable));
    for (int i = 0; i < 3; ++i) {
        std::vector<char> a(kLineSize), b(kLineSize);
        back.vGetLine(i, a.data());
        frame->vGetLine(i, b.data());
        EXPECT_EQ(a, b);
    }
}

TEST_F(FrameFiles, FailedSavesAreReported) {
    vStandard(1);
    const std::string nowhere = dir.File("missing/t.tbl");
    EXPECT_EQ(code([&] { frame->vWriteFileBin(nowhere.c_str()); }), 0xE3636013UL);
    EXPECT_EQ(code([&] { frame->vWriteFileTxt(dir.File("missing/t.txt").c_str()); }), 0xE3636013UL);
    EXPECT_EQ(code([&] { frame->vWriteFile(dir.Path().c_str()); }), 0xE3636013UL);  // a folder
    // The report names the file.
    try {
        frame->vWriteFileBin(nowhere.c_str());
    } catch (unsigned long) {
        char report[8192] = {};
        qx::SPrintfErrorMessage(report, sizeof report);
        EXPECT_NE(std::string(report).find("File: " + nowhere), std::string::npos);
        qx::deleteError();
    }
    // A path that runs through a file.
    const std::string file = dir.File("keep.txt");
    frame->vWriteFileTxt(file.c_str());
    EXPECT_EQ(code([&] { frame->vWriteFileTxt((file + "/x.txt").c_str()); }), 0xE3636013UL);
}

TEST_F(FrameFiles, PopupOffersWhatPermissionsAllow) {
    vStandard(2);
    TResponderScope r;
    auto shown = popup(r);
    EXPECT_EQ(shown, (std::set<std::string>{"\xDC"
                                            "berschrift",
                                            "Tabelle laden", "Tabelle speichern", "Kopieren",
                                            "Formatierung"}));
    TMenuItem* items = frame->StringGridQx->pGetPopupMenu()->Items();
    EXPECT_EQ(items->Items(0), frame->pmiCaption);
    EXPECT_EQ(items->Items(1), frame->pmiSeparator);
    EXPECT_TRUE(frame->pmiSeparator->IsLine());

    frame->vPermitChangeCaption(false);
    frame->vPermitBinaerFile(false);
    frame->vPermitCopy(false);
    frame->vPermitFormat(false);
    shown = popup(r);
    EXPECT_EQ(shown, (std::set<std::string>{"Tabelle speichern"}));
    EXPECT_EQ(items->Items(0), frame->pmiCaption);  // kept, hidden
    EXPECT_FALSE(frame->pmiSeparator->Visible());

    frame->vPermitSave(false);
    frame->vPermitBinaerFile(true);
    frame->vPermitLoad(true);
    EXPECT_EQ(popup(r), (std::set<std::string>{"Tabelle laden"}));
    frame->vPermitLoad(false);
    EXPECT_TRUE(popup(r).empty());
}

TEST_F(FrameFiles, SaveAndLoadCommands) {
    vStandard(2);
    TResponderScope r;
    const std::string path = dir.File("cmd.tbl");
    popup(r, "Tabelle speichern", [&] { r.FileDialog(path); });
    EXPECT_EQ(frame->SaveDialog1->Filter(), "Textexportdateien *.txt|*.txt|Tabellen *.tbl|*.tbl");
    EXPECT_EQ(frame->SaveDialog1->DefaultExt(), ".txt");
    EXPECT_EQ(ReadFile(path).substr(0, 7), "QxTable");

    frame->vDeleteLine(0);
    TLanguage::setEnglisch();
    frame->vSetBinFileExtension(".tab");
    popup(r, "Tabelle laden", [&] { r.FileDialog(path); });  // items keep their first texts
    TLanguage::setDeutsch();
    EXPECT_EQ(frame->OpenDialog1->Filter(), "Tables *.tab|*.tab");
    EXPECT_EQ(frame->OpenDialog1->DefaultExt(), ".tab");
    EXPECT_EQ(frame->iGetLineCount(), 2);
    EXPECT_EQ(frame->SaveDialog1->FileName(), path);

    frame->vPermitBinaerFile(false);
    popup(r, "Tabelle speichern", [&] { r.FileDialog("", false); });
    EXPECT_EQ(frame->SaveDialog1->Filter(), "Textexportdateien *.txt|*.txt");
}

TEST_F(FrameFiles, LoadErrorIsShownAndCleared) {
    vStandard(1);
    TResponderScope r;
    popup(r, "Tabelle laden", [&] {
        r.FileDialog(dir.File("missing.tbl"));
        r.ErrorDialog();
    });
    EXPECT_EQ(qx::getErrorCode(), 0u);
    EXPECT_EQ(frame->iGetLineCount(), 1);
    // A refused structure too: 0x12345678 reaches the dialog unchanged.
    TQxTableFrame other(nullptr);
    other.vSetLineSize(1);
    other.vAppendColumn(item("B", TH5Type::eTypUChar, 0));
    other.vWriteFileBin(dir.File("o.tbl").c_str());
    try {
        frame->vReadFile(dir.File("o.tbl").c_str(), false);
        FAIL();
    } catch (unsigned long c) {
        EXPECT_EQ(c, 0x12345678UL);
        EXPECT_EQ(qx::getErrorCode(), 0x12345678UL);
        qx::deleteError();
    }
}

TEST_F(FrameFiles, CaptionCommand) {
    frame->vSetCaption("Alt");
    TResponderScope r;
    popup(r,
          "\xDC"
          "berschrift",
          [&] { r.InputQuery("Neu", false); });
    EXPECT_EQ(frame->sGetCaption(), "Alt");
    popup(r,
          "\xDC"
          "berschrift",
          [&] { r.InputQuery("Neu"); });
    EXPECT_EQ(frame->sGetCaption(), "Neu");
    EXPECT_EQ(frame->tTable.sName, "Neu");
    // The item's text stays as created.
    TLanguage::setEnglisch();
    popup(r);
    TLanguage::setDeutsch();
    EXPECT_EQ(frame->pmiCaption->Caption(),
              "\xDC"
              "berschrift");
}

TEST_F(FrameFiles, ExampleTable) {
    char old[4096];
    ASSERT_NE(getcwd(old, sizeof old), nullptr);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    frame->vCreateTestTable();
    ASSERT_EQ(chdir(old), 0);
    EXPECT_EQ(frame->iGetLineCount(), 100);
    EXPECT_EQ(frame->iGetColCount(), 5);
    EXPECT_FALSE(frame->tTable.bShowLineNum);
    expectBound(*frame);
    EXPECT_EQ(ReadFile(dir.File("TableTest.tbl")).substr(0, 7), "QxTable");
    EXPECT_NE(ReadFile(dir.File("TableTest.ini")).find("[TableTest]"), std::string::npos);
    frame->StringGridQx->vSetTableSize(100 + 2, 5);
    frame->vDrawTable();
    EXPECT_EQ(cell(0, 0), "Name1");
    EXPECT_EQ(cell(99, 0), "Name100");
    EXPECT_EQ(frame->StringGridQx->Cells(3, 2), "cd/m\xB2");
}

}  // namespace
}  // namespace qx::test
