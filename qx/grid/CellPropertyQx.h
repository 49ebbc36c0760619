// The formatting of one grid cell: alignment, font size, font and background colour, an edit
// flag, a hidden second text and a changed flag, with a 7 + n byte stream record.
//
// TColumnPropertyQx and TLinePropertyQx add the automatic width and height flags that the grid
// keeps for its users on its line-number column and column-number line. The grid creates these
// objects lazily and owns them; they are plain values otherwise. Threads: none of their own.
#pragma once

#include <string>

#include "qx/platform/Classes.h"
#include "qx/platform/Graphics.h"
#include "qx/platform/Streams.h"

// Horizontal alignment of a cell's text; eAdjustDefault leaves it to the grid.
enum eAdjustQx : unsigned char {
    eAdjustDefault = 0,
    eAdjustLeft = 1,
    eAdjustCenter = 2,
    eAdjustRight = 3
};
// Font size class: 6, 8 and 10 points.
enum eFontSizeQx : unsigned char { eFontSmall = 0, eFontMedium = 1, eFontLarge = 2 };
// One colour name for text and background: pale as a background, saturated as text.
enum eColorQx : unsigned char {
    eColorBlack = 0,
    eColorGray = 1,
    eColorLightGray = 2,
    eColorBlue = 3,
    eColorGreen = 4,
    eColorRed = 5,
    eColorYellow = 6,
    eColorWhite = 7,
};

class TCellPropertyQx : public TObject {
  public:
    // Which formatting values vAssign copies; all four by default.
    struct TAssign {
        bool bFontSize = true;
        bool bFontColor = true;
        bool bAdjust = true;
        bool bBKColor = true;
    };

    TCellPropertyQx() = default;
    // The source's formatting and edit flag; the hidden text and changed flag start empty.
    TCellPropertyQx(const TCellPropertyQx& source);
    ~TCellPropertyQx() override;
    // Copies the formatting and the edit flag, never the hidden text or the changed flag.
    TCellPropertyQx& operator=(const TCellPropertyQx& source);
    // Copies the formatting values that `which` selects, nothing else.
    void vAssign(const TCellPropertyQx& source, const TAssign& which);
    // Whether the formatting and the edit flag equal `other`'s (the hidden text aside).
    bool bSameFormat(const TCellPropertyQx& other) const {
        return eAdjust == other.eAdjust && eFontSize == other.eFontSize &&
               eFontColor == other.eFontColor && eBKColor == other.eBKColor &&
               bCanEdit == other.bCanEdit;
    }

    eAdjustQx eGetAdjust() const { return eAdjust; }
    void vSetAdjust(eAdjustQx v) { eAdjust = v; }
    eFontSizeQx eGetFontSize() const { return eFontSize; }
    void vSetFontSize(eFontSizeQx v) { eFontSize = v; }
    // Points for the size class; any unknown class is 10 points.
    int iGetFontSize() const;
    eColorQx eGetFontColor() const { return eFontColor; }
    void vSetFontColor(eColorQx v) { eFontColor = v; }
    TColor iGetFontColor() const { return iEnum2TColor(eFontColor, false); }
    eColorQx eGetBKColor() const { return eBKColor; }
    void vSetBKColor(eColorQx v) { eBKColor = v; }
    TColor iGetBKColor() const { return iEnum2TColor(eBKColor, true); }
    bool bGetCanEdit() const { return bCanEdit; }
    void vSetCanEdit(bool v) { bCanEdit = v; }
    // Valid until the hidden text next changes or the object goes.
    const char* cpGetHiddenString() const { return sHidden.c_str(); }
    void vSetHiddenString(const char* text) { sHidden = text ? text : ""; }
    bool bGetChanged() const { return bChanged; }
    void vSetChanged(bool v) { bChanged = v; }

    // The concrete colour of a colour name; black for names outside the table.
    static TColor iEnum2TColor(eColorQx color, bool bBackground);

    // The record: version 1, alignment, size, font colour, background, edit flag (one byte
    // each), then the hidden text and a NUL.
    void vWrite2Stream(TStream& stream) const;
    // Reads a record. Another version leaves the object as it was; a hidden text longer than
    // 1023 characters is cut to 1023 (the rest of it is still read past); reading stops at the
    // end of the stream, keeping what was read.
    void vReadFromStream(TStream& stream);

    static constexpr unsigned char kRecordVersion = 1;
    static constexpr size_t kHiddenMax = 1023;

  protected:
    eAdjustQx eAdjust = eAdjustDefault;
    eFontSizeQx eFontSize = eFontMedium;
    eColorQx eFontColor = eColorBlack;
    eColorQx eBKColor = eColorWhite;
    bool bCanEdit = true;
    std::string sHidden;
    bool bChanged = false;
};

// The property of the line-number column's cells.
class TColumnPropertyQx : public TCellPropertyQx {
  public:
    TColumnPropertyQx() { eBKColor = eColorGray; }
    TColumnPropertyQx(const TColumnPropertyQx& source) : TColumnPropertyQx() { *this = source; }
    ~TColumnPropertyQx() override;
    TColumnPropertyQx& operator=(const TColumnPropertyQx& source);
    bool bGetAutomaticWidth() const { return bAutomaticWidth; }
    void vSetAutomaticWidth(bool v) { bAutomaticWidth = v; }

  private:
    bool bAutomaticWidth = true;
};

// The property of the column-number line's cells.
class TLinePropertyQx : public TCellPropertyQx {
  public:
    TLinePropertyQx() { eBKColor = eColorGray; }
    TLinePropertyQx(const TLinePropertyQx& source) : TLinePropertyQx() { *this = source; }
    ~TLinePropertyQx() override;
    TLinePropertyQx& operator=(const TLinePropertyQx& source);
    bool bGetAutomaticHeight() const { return bAutomaticHeight; }
    void vSetAutomaticHeight(bool v) { bAutomaticHeight = v; }

  private:
    bool bAutomaticHeight = true;
};
