// Umbrella header: every public header of qx and of its platform layer.
#pragma once

#include "qx/platform/Application.h"
#include "qx/platform/Classes.h"
#include "qx/platform/Codepage.h"
#include "qx/platform/Os.h"
#include "qx/platform/Streams.h"
#include "qx/platform/SysUtils.h"
#include "qx/platform/TimeStamp.h"
#include "qx/platform/WidgetSet.h"

#include "qx/error/ErrorTexts.h"
#include "qx/error/Language.h"
#include "qx/error/Qxerror.h"
#include "qx/error/Qxexception.h"

#include "qx/numeric/FormatNumber.h"
#include "qx/numeric/StringUtils.h"

#include "qx/package/Package.h"
