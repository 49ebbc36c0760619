#include "qx/error/Language.h"

const char* TLanguage::TLanguageString::operator()(eTLanguage e) const {
    if (e == eAktLanguage) e = eLanguage;
    const char* picked = e == eDeutsch ? cpDeutsch : e == eEnglisch ? cpEnglisch : nullptr;
    if (!picked || !*picked) return cpDeutsch;
    return picked;
}

void TLanguage::vSetAktLanguage(eTLanguage e) {
    if (e != eDeutsch && e != eEnglisch) return;
    eLanguage = e;
    iOffset = e == eDeutsch ? 0 : 1000;
}
