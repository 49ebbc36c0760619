// Appending the items of one popup menu to another.
#pragma once

#include "qx/platform/Menus.h"

// Appends copies of the top-level items of `source` (with their sub-items) to the top-level
// items of `target`, after a separator line when `separator` is true. A copy takes caption,
// visibility and the click handler, and the tag, except that a tag of 0 becomes the item's
// group index. The separator belongs to `target`; the copies belong to the items they are
// added to (deleted with the menu). `source` is not changed. Null menus do nothing.
// Threads: the thread that owns the windows.
void vAddMenu(TPopupMenu* target, const TPopupMenu* source, bool separator);
