// File dialogs.
//
// Execute shows the dialog through the widget set (in the headless set: the responder chooses
// a file or cancels; with none, it cancels). The framework applies the options after the
// choice: the default extension, the overwrite prompt and the refusal of read-only files.
#pragma once

#include "qx/platform/Classes.h"

enum TOpenOption : unsigned {
    ofReadOnly = 1u << 0,
    ofOverwritePrompt = 1u << 1,
    ofHideReadOnly = 1u << 2,
    ofNoReadOnlyReturn = 1u << 3,
    ofPathMustExist = 1u << 4,
    ofFileMustExist = 1u << 5,
};
using TOpenOptions = unsigned;

class TOpenDialog : public TComponent {
  public:
    explicit TOpenDialog(TComponent* owner) : TComponent(owner) {}

    // "Text|*.txt|All|*.*": pairs of a description and a pattern.
    const AnsiString& Filter() const { return filter_; }
    void SetFilter(const AnsiString& f) { filter_ = f; }
    // 1-based index of the chosen filter.
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int i) { filterIndex_ = i; }
    const AnsiString& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const AnsiString& e) { defaultExt_ = e; }
    const AnsiString& FileName() const { return fileName_; }
    void SetFileName(const AnsiString& f) { fileName_ = f; }
    const AnsiString& Title() const { return title_; }
    void SetTitle(const AnsiString& t) { title_ = t; }
    const AnsiString& InitialDir() const { return initialDir_; }
    void SetInitialDir(const AnsiString& d) { initialDir_ = d; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions o) { options_ = o; }

    // The pattern of filter `index` (1-based), or an empty text.
    AnsiString FilterPattern(int index) const;

    // True when the user chose a file; FileName then holds it.
    virtual bool Execute();
    virtual bool IsSaveDialog() const { return false; }

  private:
    AnsiString filter_, defaultExt_, fileName_, title_, initialDir_;
    int filterIndex_ = 1;
    TOpenOptions options_ = ofHideReadOnly;
};

class TSaveDialog : public TOpenDialog {
  public:
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}
    bool IsSaveDialog() const override { return true; }
};
