#include "qx/platform/qt/QtClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QThread>
#include <algorithm>
#include <cstring>

#include "qx/platform/Codepage.h"

namespace qx::qt {

namespace {
const QString kPrefix = QStringLiteral("application/x-qx-");

bool onGuiThread() {
    return QGuiApplication::instance() &&
           QThread::currentThread() == QGuiApplication::instance()->thread();
}

// The format a MIME type stands for, or 0.
unsigned formatOf(const QString& mime) {
    if (mime == QLatin1String("text/plain")) return CF_TEXT;
    if (!mime.startsWith(kPrefix)) return 0;
    const QString rest = mime.mid(kPrefix.size());
    if (rest.startsWith(QLatin1String("cf"))) {
        bool ok = false;
        const unsigned n = rest.mid(2).toUInt(&ok);
        if (ok && n != 0 && n < qx::platform::kFirstRegisteredFormat) return n;
    }
    return qx::platform::RegisterClipboardFormat(rest.toStdString());
}
}  // namespace

QString TQtClipboard::MimeType(unsigned format) {
    if (format == 0) return {};
    if (format == CF_TEXT) return QStringLiteral("text/plain");
    const std::string name = qx::platform::ClipboardFormatName(format);
    if (!name.empty()) return kPrefix + QString::fromStdString(qx::platform::Cp1252ToUtf8(name));
    return kPrefix + QStringLiteral("cf") + QString::number(format);
}

bool TQtClipboard::held() const {
    return depth_ > 0 && onGuiThread();
}

bool TQtClipboard::Open() {
    if (!onGuiThread()) return false;
    ++depth_;
    return true;
}

bool TQtClipboard::Close() {
    if (!held()) return false;
    if (--depth_ == 0 && changed_) {
        auto* mime = new QMimeData;
        for (const auto& [format, bytes] : staged_) {
            if (format == CF_TEXT) {
                // The framework's text ends at its NUL.
                const std::string text(bytes.c_str());
                mime->setText(QString::fromStdString(qx::platform::Cp1252ToUtf8(text)));
            } else {
                mime->setData(MimeType(format),
                              QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
            }
        }
        QGuiApplication::clipboard()->setMimeData(mime);
        changed_ = false;
        staged_.clear();
    }
    return true;
}

TQtClipboard::TItems TQtClipboard::current() const {
    if (changed_) return staged_;
    TItems out;
    const QMimeData* mime = onGuiThread() ? QGuiApplication::clipboard()->mimeData() : nullptr;
    if (!mime) return out;
    for (const QString& type : mime->formats()) {
        const unsigned format = formatOf(type);
        if (format == 0) continue;
        if (std::any_of(out.begin(), out.end(), [&](const auto& i) { return i.first == format; }))
            continue;
        if (format == CF_TEXT) {
            std::string text = qx::platform::Utf8ToCp1252(mime->text().toStdString());
            text.push_back('\0');
            out.emplace_back(format, std::move(text));
        } else {
            const QByteArray b = mime->data(type);
            out.emplace_back(format, std::string(b.constData(), static_cast<size_t>(b.size())));
        }
    }
    return out;
}

void TQtClipboard::stage() {
    if (!changed_) {
        staged_ = current();
        changed_ = true;
    }
}

bool TQtClipboard::Empty() {
    if (!held()) return false;
    staged_.clear();
    changed_ = true;
    return true;
}

bool TQtClipboard::SetData(unsigned format, const void* data, std::size_t size) {
    if (!held() || format == 0 || (size && !data)) return false;
    stage();
    std::string bytes(static_cast<const char*>(data), size);
    for (auto& item : staged_)
        if (item.first == format) {
            item.second = std::move(bytes);
            return true;
        }
    staged_.emplace_back(format, std::move(bytes));
    return true;
}

bool TQtClipboard::HasFormat(unsigned format) {
    const TItems items = current();
    return std::any_of(items.begin(), items.end(),
                       [&](const auto& i) { return i.first == format; });
}

std::size_t TQtClipboard::DataSize(unsigned format) {
    if (!held()) return 0;
    for (const auto& [f, bytes] : current())
        if (f == format) return bytes.size();
    return 0;
}

std::size_t TQtClipboard::ReadData(unsigned format, std::size_t offset, void* out,
                                   std::size_t limit) {
    if (!held() || !out) return 0;
    for (const auto& [f, bytes] : current())
        if (f == format) {
            if (offset >= bytes.size()) return 0;
            const std::size_t n = std::min(limit, bytes.size() - offset);
            std::memcpy(out, bytes.data() + offset, n);
            return n;
        }
    return 0;
}

std::vector<unsigned> TQtClipboard::Formats() {
    std::vector<unsigned> out;
    if (!held()) return out;
    for (const auto& item : current()) out.push_back(item.first);
    return out;
}

}  // namespace qx::qt
