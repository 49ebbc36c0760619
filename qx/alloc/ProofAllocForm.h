// TProofAllocForm: a window over the allocation register. It switches recording on and off and
// shows, side by side, the source files that reported, the outstanding blocks per source
// position and the stray releases per source position, as of the last press of "Report".
// Texts are German only.
//
// The host creates, shows and deletes it; `ProofAllocForm` is a slot for that one instance.
// The form owns its components; the register is the process-wide one. Threads: the thread
// that owns the windows.
#pragma once

#include "qx/alloc/ProofAlloc.h"
#include "qx/platform/Forms.h"
#include "qx/platform/Grids.h"

class TProofAllocForm : public TForm {
  public:
    explicit TProofAllocForm(TComponent* owner);

    TPanel* Panel1;
    TButton* btOk;
    TButton* btReport;
    TStringGrid* StringGrid1;
    TCheckBox* CheckBox1;

    void btOkClick(TObject* sender);
    void btReportClick(TObject* sender);
    void CheckBox1Click(TObject* sender);
    void FormResize(TObject* sender);
};

// The host's one instance, or null.
extern TProofAllocForm* ProofAllocForm;
