// The process-wide language switch (German or English) and the two-language text pair that
// every bilingual text of qx is stored in; and the process-wide kind of program user.
//
// Both settings are plain process-wide values without a lock: a host sets them at start-up
// (or changes them and then rebuilds its visible texts). Reading from any thread is fine; a
// change while another thread builds texts may give that thread a mix of both languages.
#pragma once

class TLanguage {
  public:
    enum eTLanguage : int { eDeutsch = 0, eEnglisch = 1, eAktLanguage = 0x7FFFFFFF };

    // A German and an English text; the pair does not own them. An English text that is null
    // or empty falls back to the German one, and so does any language value other than
    // eDeutsch and eEnglisch.
    struct TLanguageString {
        const char* cpDeutsch;
        const char* cpEnglisch;
        const char* operator()(eTLanguage e = eAktLanguage) const;
    };

    static eTLanguage eGetAktLanguage() { return eLanguage; }
    // Accepts eDeutsch and eEnglisch; any other value changes nothing.
    static void vSetAktLanguage(eTLanguage e);
    static void setDeutsch() { vSetAktLanguage(eDeutsch); }
    static void setEnglisch() { vSetAktLanguage(eEnglisch); }
    static bool isDeutsch() { return iOffset == 0; }
    static bool isEnglisch() { return iOffset == 1000; }
    // 0 while German is current, 1000 while English is: text n of a host table lives under
    // key n (German) and 1000 + n (English).
    static int getOffset() { return iOffset; }

  private:
    static inline eTLanguage eLanguage = eDeutsch;
    static inline int iOffset = 0;
};

// Kinds of program user. The package only tests whether the value is 0.
enum ProgramUser : unsigned char {
    puDeveloper = 0,
    puService = 1,
    puAdministrator = 2,
    puExpert = 3,
    puStandard = 4,
};

class TProgramUser {
  public:
    static void vSetUser(ProgramUser user) { eUser = user; }
    static ProgramUser eGetUser() { return eUser; }

  private:
    static inline ProgramUser eUser = puStandard;
};
