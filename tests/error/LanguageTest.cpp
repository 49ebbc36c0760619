// The process-wide language switch, the two-language text pair and the program user.
#include "tests/support/TestSupport.h"

namespace {

using L = TLanguage;

// Restores German (and the default program user) after each case.
class Language : public qx::test::ErrorStateTest {
  protected:
    void TearDown() override {
        TProgramUser::vSetUser(puStandard);
        ErrorStateTest::TearDown();
    }
    static void ExpectGerman() {
        EXPECT_EQ(L::eGetAktLanguage(), L::eDeutsch);
        EXPECT_EQ(L::getOffset(), 0);
        EXPECT_TRUE(L::isDeutsch());
        EXPECT_FALSE(L::isEnglisch());
    }
    static void ExpectEnglish() {
        EXPECT_EQ(L::eGetAktLanguage(), L::eEnglisch);
        EXPECT_EQ(L::getOffset(), 1000);
        EXPECT_FALSE(L::isDeutsch());
        EXPECT_TRUE(L::isEnglisch());
    }
};

TEST_F(Language, StartsGermanWithStandardUser) {
    ExpectGerman();
    EXPECT_EQ(TProgramUser::eGetUser(), 4);
    TProgramUser::vSetUser(puDeveloper);
    EXPECT_EQ(TProgramUser::eGetUser(), 0);
}

TEST_F(Language, LanguageAndOffsetChangeTogether) {
    L::setEnglisch();
    ExpectEnglish();
    L::setDeutsch();
    ExpectGerman();
    L::vSetAktLanguage(L::eEnglisch);
    ExpectEnglish();
    L::vSetAktLanguage(L::eDeutsch);
    ExpectGerman();
}

TEST_F(Language, ValuesOutsideTheTwoLanguagesAreIgnored) {
    for (L::eTLanguage bad :
         {static_cast<L::eTLanguage>(2), static_cast<L::eTLanguage>(-1), L::eAktLanguage}) {
        L::vSetAktLanguage(bad);
        ExpectGerman();
        L::setEnglisch();
        L::vSetAktLanguage(bad);
        ExpectEnglish();
        L::setDeutsch();
    }
}

TEST_F(Language, TextPairPicksCurrentOrExplicitLanguage) {
    const L::TLanguageString both{"Fehler", "error"};
    EXPECT_STREQ(both(), "Fehler");
    EXPECT_STREQ(both(L::eEnglisch), "error");  // an explicit language wins
    EXPECT_STREQ(both(static_cast<L::eTLanguage>(7)), "Fehler");
    L::setEnglisch();
    EXPECT_STREQ(both(), "error");
    EXPECT_STREQ(both(L::eAktLanguage), "error");
    EXPECT_STREQ(both(L::eDeutsch), "Fehler");
    EXPECT_STREQ(both(static_cast<L::eTLanguage>(7)), "Fehler");
}

TEST_F(Language, MissingEnglishFallsBackToGerman) {
    const L::TLanguageString nullEnglish{"Fehler", nullptr};
    const L::TLanguageString emptyEnglish{"Fehler", ""};
    for (bool english : {false, true}) {
        if (english) L::setEnglisch();
        EXPECT_STREQ(nullEnglish(), "Fehler");
        EXPECT_STREQ(emptyEnglish(), "Fehler");
        EXPECT_STREQ(nullEnglish(L::eEnglisch), "Fehler");
        EXPECT_STREQ(emptyEnglish(L::eEnglisch), "Fehler");
    }
}

}  // namespace
