// Umbrella header: every public header of qx and of its platform layer.
#pragma once

#include "qx/platform/Application.h"
#include "qx/platform/Classes.h"
#include "qx/platform/Controls.h"
#include "qx/platform/Dialogs.h"
#include "qx/platform/Files.h"
#include "qx/platform/Forms.h"
#include "qx/platform/Graphics.h"
#include "qx/platform/Grids.h"
#include "qx/platform/Menus.h"
#include "qx/platform/Registry.h"
#include "qx/platform/Clipboard.h"
#include "qx/platform/Codepage.h"
#include "qx/platform/Os.h"
#include "qx/platform/Streams.h"
#include "qx/platform/SysUtils.h"
#include "qx/platform/TimeStamp.h"
#include "qx/platform/WidgetSet.h"

#include "qx/error/ErrorMessageForm.h"
#include "qx/error/ErrorTexts.h"
#include "qx/error/Language.h"
#include "qx/error/Qxerror.h"
#include "qx/error/Qxexception.h"

#include "qx/parser/P8build.h"
#include "qx/parser/Parser8.h"

#include "qx/translator/Translator.h"

#include "qx/alloc/ProofAlloc.h"
#include "qx/alloc/ProofAllocForm.h"

#include "qx/delivery/Delivery.h"

#include "qx/clipboard/ExternMemoryStream.h"
#include "qx/clipboard/QxClipboard.h"

#include "qx/ini/QxIniFile.h"

#include "qx/grid/CellPropertyQx.h"
#include "qx/grid/GridDialogs.h"
#include "qx/grid/Stringgridqx.h"
#include "qx/tableframe/QxTableFrame.h"
#include "qx/orvi_components/ORVI_TableView.h"

#include "qx/numeric/FormatNumber.h"
#include "qx/numeric/StringUtils.h"
#include "qx/numeric/MenuUtils.h"
#include "qx/numeric/DoubleEdit.h"
#include "qx/numeric/CDoubleSpinEdit.h"

#include "qx/package/Package.h"

#include "qx/table/QxTable.h"
#include "qx/table/TableText.h"
