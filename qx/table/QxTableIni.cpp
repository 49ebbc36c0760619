// The ini form of a table and of a column descriptor: the description only.
#include <cstdio>
#include <string>

#include "qx/error/Qxexception.h"
#include "qx/ini/QxIniFile.h"
#include "qx/table/QxTable.h"

namespace {

std::string columnSection(const char* section, unsigned i) {
    char name[32];
    std::snprintf(name, sizeof name, TQxTable::cpFormat, static_cast<int>(i));
    return std::string(section) + "/" + name;
}

}  // namespace

// ------------------------------------------------------------------------------ descriptor

void TQxTable::TItem::vWriteIni(TQxIniFile* store, const char* section) const {
    if (store == nullptr || section == nullptr) return;
    try {
        store->vWriteString(section, cpName, sName.c_str());
        store->vWriteString(section, cpCaption, sCaption.c_str());
        store->vWriteString(section, cpEinheit, sEinheit.c_str());
        store->vWriteInteger(section, cpTyp, static_cast<int>(eTyp));
        store->vWriteInteger(section, cpStringSize, static_cast<int>(uStringSize));
        store->vWriteInteger(section, cpOffset, static_cast<int>(uOffset));
        store->vWriteString(section, cpFormat, sFormat.c_str());
        store->vWriteString(section, cpMinimum, sMinimum.c_str());
        store->vWriteString(section, cpMaximum, sMaximum.c_str());
        store->vWriteInteger(section, cpAdjust, iAdjust);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::TItem::vReadIni(TQxIniFile* store, const char* section) {
    if (store == nullptr || section == nullptr) return;
    try {
        sName = store->sReadString(section, cpName, sName.c_str());
        sCaption = store->sReadString(section, cpCaption, sCaption.c_str());
        sEinheit = store->sReadString(section, cpEinheit, sEinheit.c_str());
        eTyp = static_cast<TH5Type::TDataTyp>(
            store->iReadInteger(section, cpTyp, static_cast<int>(eTyp)));
        uStringSize = static_cast<unsigned>(
            store->iReadInteger(section, cpStringSize, static_cast<int>(uStringSize)));
        uOffset = static_cast<unsigned>(
            store->iReadInteger(section, cpOffset, static_cast<int>(uOffset)));
        sFormat = store->sReadString(section, cpFormat, sFormat.c_str());
        sMinimum = store->sReadString(section, cpMinimum, sMinimum.c_str());
        sMaximum = store->sReadString(section, cpMaximum, sMaximum.c_str());
        iAdjust = store->iReadInteger(section, cpAdjust, iAdjust);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::TItem::vWriteIni(const TIniFilename& file, const char* section) const {
    try {
        TQxStdIniFile store(TIniFilename(file.c_str()));
        vWriteIni(&store, section);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::TItem::vReadIni(const TIniFilename& file, const char* section) {
    try {
        TQxStdIniFile store(TIniFilename(file.c_str()));
        vReadIni(&store, section);
    } catch (...) {
        QX_PASS();
    }
}

// ------------------------------------------------------------------------------ table

void TQxTable::vWriteIni(TQxIniFile* store, const char* section) const {
    if (store == nullptr || section == nullptr) return;
    try {
        store->vWriteInteger(section, cpSize, static_cast<int>(uLineSize));
        store->vWriteInteger(section, cpCount, static_cast<int>(vColumns.size()));
        store->vWriteBool(section, cpShowLineNum, bShowLineNum);
        store->vWriteBool(section, cpShowEinheit, bShowEinheit);
        store->vWriteString(section, cpName, sName.c_str());
        store->vWriteBool(section, cpShowName, bShowName);
        store->vWriteBool(section, cpColumnCaption, bShowColumnCaption);
        store->vWriteBool(section, cpFooter, bShowFooter);
        for (unsigned i = 0; i < vColumns.size(); ++i)
            vColumns[i].vWriteIni(store, columnSection(section, i).c_str());
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::vReadIni(TQxIniFile* store, const char* section) {
    if (store == nullptr || section == nullptr) return;
    try {
        uLineSize = static_cast<unsigned>(
            store->iReadInteger(section, cpSize, static_cast<int>(uLineSize)));
        const int current = static_cast<int>(vColumns.size());
        const int count = store->iReadInteger(section, cpCount, current);
        // The count comes from a file: a negative or absurd one would allocate without bound.
        if (count >= 0 && count <= kMaxIniColumns) vSetColumnNumber(static_cast<unsigned>(count));
        bShowLineNum = store->bReadBool(section, cpShowLineNum, bShowLineNum);
        bShowEinheit = store->bReadBool(section, cpShowEinheit, bShowEinheit);
        sName = store->sReadString(section, cpName, sName.c_str());
        bShowName = store->bReadBool(section, cpShowName, bShowName);
        bShowColumnCaption = store->bReadBool(section, cpColumnCaption, bShowColumnCaption);
        bShowFooter = store->bReadBool(section, cpFooter, bShowFooter);
        for (unsigned i = 0; i < vColumns.size(); ++i)
            vColumns[i].vReadIni(store, columnSection(section, i).c_str());
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::vWriteIni(const TIniFilename& file, const char* section) const {
    try {
        TQxStdIniFile store(TIniFilename(file.c_str()));
        vWriteIni(&store, section);
    } catch (...) {
        QX_PASS();
    }
}

void TQxTable::vReadIni(const TIniFilename& file, const char* section) {
    try {
        TQxStdIniFile store(TIniFilename(file.c_str()));
        vReadIni(&store, section);
    } catch (...) {
        QX_PASS();
    }
}
