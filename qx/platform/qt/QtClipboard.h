// The system clipboard as the framework's clipboard service: CF_TEXT is text/plain (code page
// 1252 here, UTF-8 there), a registered format is the MIME type "application/x-qx-<name>",
// any other standard format "application/x-qx-cf<number>".
//
// Changes made while the clipboard is open are collected and published on the last Close.
// Only the thread that owns the QApplication may open it.
#pragma once

#include <QString>
#include <string>
#include <utility>
#include <vector>

#include "qx/platform/Clipboard.h"

namespace qx::qt {

class TQtClipboard : public qx::platform::TClipboardService {
  public:
    bool Open() override;
    bool Close() override;
    bool Empty() override;
    bool SetData(unsigned format, const void* data, std::size_t size) override;
    bool HasFormat(unsigned format) override;
    std::size_t DataSize(unsigned format) override;
    std::size_t ReadData(unsigned format, std::size_t offset, void* out,
                         std::size_t limit) override;
    std::vector<unsigned> Formats() override;

    // The MIME type a format travels as; empty for format 0.
    static QString MimeType(unsigned format);

  private:
    using TItems = std::vector<std::pair<unsigned, std::string>>;
    bool held() const;
    TItems current() const;  // staged while changed, else the system clipboard's
    void stage();
    int depth_ = 0;
    bool changed_ = false;
    TItems staged_;
};

}  // namespace qx::qt
