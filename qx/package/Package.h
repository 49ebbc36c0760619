// Start-up and shut-down of the package.
//
// Nothing has to be called: the process-wide error list is built on first use (before any
// static object can raise through it) and the error log is closed when the process exits.
// Hosts that load and unload qx explicitly, or want the log closed at a known point, pair
// vStartUp and vShutDown: calls are counted, the first start-up does the work and so does the
// last shut-down. An error raised after shut-down is still recorded, in memory only.
// Call both from one thread (the host's main thread).
#pragma once

namespace qx::package {
void vStartUp();
void vShutDown();
// Number of vStartUp calls not yet matched by vShutDown.
int iStartUpCount();
// For a host that builds a component palette: puts the package's five components on the page
// "ORVI" in the package's order (TQxParser, TORVI_TableView, TDoubleEdit, TStringGridQx,
// TCDoubleSpinEdit), each through its unit's Register().
void vRegisterComponents();
}  // namespace qx::package
