// The application object: title, command-line arguments, main form and message boxes.
//
// One process-wide instance, reached through `Application`. Set the title and arguments at
// start-up; not synchronised.
#pragma once

#include <string>
#include <vector>

#include "qx/platform/Classes.h"
#include "qx/platform/WidgetSet.h"

class TApplication : public TObject {
  public:
    TApplication();

    // The program's title; by default the file name of the executable.
    const AnsiString& Title() const { return title_; }
    void SetTitle(AnsiString title) { title_ = std::move(title); }

    // Command-line arguments, argument 0 being the program. Read from /proc/self/cmdline
    // unless the host sets them.
    int ParamCount() const { return static_cast<int>(args_.size()) - 1; }
    AnsiString ParamStr(int index) const;
    void SetArguments(std::vector<AnsiString> args);
    void SetArguments(int argc, const char* const* argv);

    // The main window; the owner of dialogs. Not owned here.
    TComponent* MainForm() const { return mainForm_; }
    void SetMainForm(TComponent* form) { mainForm_ = form; }

    // A message box through the current widget set; returns the button pressed (IDOK, ...).
    int MessageBox(const char* text, const char* caption, int flags = MB_OK);

  private:
    AnsiString title_;
    std::vector<AnsiString> args_;
    TComponent* mainForm_ = nullptr;
};

extern TApplication* const Application;
