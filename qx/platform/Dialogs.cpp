#include "qx/platform/Dialogs.h"

#include <sys/stat.h>
#include <unistd.h>

#include "qx/platform/WidgetSet.h"

AnsiString TOpenDialog::FilterPattern(int index) const {
    // Items alternate description|pattern|description|pattern...
    int item = 0;
    size_t start = 0;
    while (start <= filter_.size()) {
        size_t end = filter_.find('|', start);
        if (end == AnsiString::npos) end = filter_.size();
        if (item == 2 * index - 1) return filter_.substr(start, end - start);
        ++item;
        start = end + 1;
    }
    return {};
}

bool TOpenDialog::Execute() {
    using qx::platform::WidgetSet;
    for (;;) {
        if (!WidgetSet().FileDialog(*this)) return false;
        AnsiString name = fileName_;
        // The default extension is added to a name without one.
        const auto parts = qx::platform::SplitPath(name);
        if (parts.ext.empty() && !defaultExt_.empty() && !parts.name.empty())
            name += (defaultExt_[0] == '.' ? "" : ".") + defaultExt_;
        fileName_ = name;
        struct stat st {};
        const bool exists = ::stat(name.c_str(), &st) == 0;
        if ((options_ & ofFileMustExist) && !exists) {
            WidgetSet().MessageBox(name + "\nFile not found.", title_, MB_OK | MB_ICONWARNING);
            continue;
        }
        if (exists && (options_ & ofNoReadOnlyReturn) && ::access(name.c_str(), W_OK) != 0) {
            WidgetSet().MessageBox(name + "\nThe file is read-only.", title_,
                                   MB_OK | MB_ICONWARNING);
            continue;
        }
        if (exists && IsSaveDialog() && (options_ & ofOverwritePrompt) &&
            WidgetSet().MessageBox(name + " already exists.\nDo you want to replace it?", title_,
                                   MB_YESNO | MB_ICONWARNING) != IDYES)
            continue;
        return true;
    }
}
