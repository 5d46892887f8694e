// The program image made from an ELF object file of the host compiler, its
// 8-byte header and its listing.
#include "toolchain.h"

#include <algorithm>

namespace quv::toolchain {

namespace {

constexpr quint32 kProgBits = 1;
constexpr quint32 kSymTab = 2;
constexpr quint32 kNoBits = 8;
constexpr quint32 kInitArray = 14;
constexpr quint32 kFiniArray = 15;
constexpr quint64 kAlloc = 0x2;
constexpr quint64 kMaxAlign = 4096;
constexpr quint16 kNoMain = 0xFFFF;

// Bounds-checked reads of an ELF file of either class and byte order.
class ElfReader {
  public:
    explicit ElfReader(const QByteArray& bytes) : b_(bytes) {}

    bool ok() const { return ok_; }
    void setLayout(bool wide, bool little) {
        wide_ = wide;
        little_ = little;
    }
    bool wide() const { return wide_; }

    quint64 read(quint64 offset, int size) {
        if (!ok_ || offset > static_cast<quint64>(b_.size()) ||
            static_cast<quint64>(b_.size()) - offset < static_cast<quint64>(size)) {
            ok_ = false;
            return 0;
        }
        quint64 v = 0;
        for (int i = 0; i < size; ++i) {
            const auto byte = static_cast<quint8>(b_.at(static_cast<qsizetype>(offset) + i));
            const int shift = little_ ? 8 * i : 8 * (size - 1 - i);
            v |= static_cast<quint64>(byte) << shift;
        }
        return v;
    }
    // A word that is 4 bytes in 32-bit files and 8 in 64-bit ones.
    quint64 word(quint64 offset) { return read(offset, wide_ ? 8 : 4); }

    QByteArray slice(quint64 offset, quint64 size) {
        if (!ok_ || offset > static_cast<quint64>(b_.size()) ||
            static_cast<quint64>(b_.size()) - offset < size) {
            ok_ = false;
            return QByteArray();
        }
        return b_.mid(static_cast<qsizetype>(offset), static_cast<qsizetype>(size));
    }
    QString text(quint64 offset) {
        if (!ok_ || offset >= static_cast<quint64>(b_.size())) {
            ok_ = false;
            return QString();
        }
        const char* start = b_.constData() + offset;
        const auto room = static_cast<size_t>(static_cast<quint64>(b_.size()) - offset);
        return QString::fromLatin1(start, static_cast<qsizetype>(qstrnlen(start, room)));
    }

  private:
    const QByteArray& b_;
    bool ok_ = true;
    bool wide_ = true;
    bool little_ = true;
};

struct SectionHeader {
    quint32 name = 0;
    quint32 type = 0;
    quint64 flags = 0;
    quint64 offset = 0;
    quint64 size = 0;
    quint32 link = 0;
    quint64 align = 0;
    quint64 entrySize = 0;
};

SectionHeader sectionHeader(ElfReader& r, quint64 at) {
    SectionHeader h;
    h.name = static_cast<quint32>(r.read(at, 4));
    h.type = static_cast<quint32>(r.read(at + 4, 4));
    h.flags = r.word(at + 8);
    if (r.wide()) {
        h.offset = r.read(at + 24, 8);
        h.size = r.read(at + 32, 8);
        h.link = static_cast<quint32>(r.read(at + 40, 4));
        h.align = r.read(at + 48, 8);
        h.entrySize = r.read(at + 56, 8);
    } else {
        h.offset = r.read(at + 16, 4);
        h.size = r.read(at + 20, 4);
        h.link = static_cast<quint32>(r.read(at + 24, 4));
        h.align = r.read(at + 32, 4);
        h.entrySize = r.read(at + 36, 4);
    }
    return h;
}

void putLittle(QByteArray& out, quint64 value, int size) {
    for (int i = 0; i < size; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

std::variant<Image, QString> imageFromObject(const QByteArray& object) {
    const QString damaged = QStringLiteral("the object file is damaged");
    if (object.size() < 16 || !object.startsWith("\x7f"
                                                 "ELF"))
        return QStringLiteral("the host compiler did not write an ELF object file");
    ElfReader r(object);
    const auto elfClass = static_cast<quint8>(object.at(4));
    const auto order = static_cast<quint8>(object.at(5));
    if ((elfClass != 1 && elfClass != 2) || (order != 1 && order != 2))
        return QStringLiteral("the object file is of an unknown ELF kind");
    r.setLayout(elfClass == 2, order == 1);
    const quint64 shoff = r.wide() ? r.read(0x28, 8) : r.read(0x20, 4);
    const quint64 shentsize = r.read(r.wide() ? 0x3A : 0x2E, 2);
    const quint64 shnum = r.read(r.wide() ? 0x3C : 0x30, 2);
    const quint64 shstrndx = r.read(r.wide() ? 0x3E : 0x32, 2);
    if (!r.ok() || shnum == 0 || shstrndx >= shnum || shentsize < (r.wide() ? 64u : 40u))
        return damaged;

    QList<SectionHeader> headers;
    for (quint64 i = 0; i < shnum; ++i) headers << sectionHeader(r, shoff + i * shentsize);
    if (!r.ok()) return damaged;
    const SectionHeader& names = headers.at(static_cast<qsizetype>(shstrndx));

    Image image;
    QList<qint64> imageOffsetOfSection(headers.size(), -1);
    for (qsizetype i = 0; i < headers.size(); ++i) {
        const SectionHeader& h = headers.at(i);
        if (!(h.flags & kAlloc) || h.size == 0) continue;
        const bool data = h.type == kProgBits || h.type == kInitArray || h.type == kFiniArray;
        if (!data && h.type != kNoBits) continue;
        Section s;
        s.name = r.text(names.offset + h.name);
        s.size = static_cast<quint32>(h.size);
        s.inImage = data;
        if (data) {
            const quint64 align = std::clamp<quint64>(h.align, 1, kMaxAlign);
            const quint64 at =
                (static_cast<quint64>(image.bytes.size()) + align - 1) / align * align;
            if (at + h.size > 0xFFFFFFFFull) return QStringLiteral("the program is too large");
            image.bytes.append(QByteArray(static_cast<qsizetype>(at) - image.bytes.size(), '\0'));
            image.bytes.append(r.slice(h.offset, h.size));
            s.offset = static_cast<quint32>(at);
            imageOffsetOfSection[i] = static_cast<qint64>(at);
        }
        if (!r.ok()) return damaged;
        image.sections << s;
    }
    if (image.bytes.isEmpty()) return QStringLiteral("the program has no code or data");

    // main: a symbol of that name in a section of the image.
    for (const SectionHeader& h : std::as_const(headers)) {
        if (h.type != kSymTab || h.link >= static_cast<quint32>(headers.size())) continue;
        const quint64 entry = r.wide() ? 24 : 16;
        if (h.entrySize < entry) return damaged;
        const SectionHeader& strings = headers.at(h.link);
        for (quint64 at = h.offset; at + h.entrySize <= h.offset + h.size; at += h.entrySize) {
            const quint64 name = r.read(at, 4);
            const quint64 section = r.read(at + (r.wide() ? 6 : 14), 2);
            const quint64 value = r.wide() ? r.read(at + 8, 8) : r.read(at + 4, 4);
            if (!r.ok()) return damaged;
            if (section >= static_cast<quint64>(imageOffsetOfSection.size()) ||
                imageOffsetOfSection.at(static_cast<qsizetype>(section)) < 0)
                continue;
            if (r.text(strings.offset + name) != QLatin1String("main")) continue;
            image.mainOffset =
                static_cast<quint32>(imageOffsetOfSection.at(static_cast<qsizetype>(section)) +
                                     static_cast<qint64>(value));
        }
    }
    if (!r.ok()) return damaged;
    return image;
}

QByteArray programHeader(const Image& image) {
    QByteArray h("Z7");
    putLittle(h, static_cast<quint64>(image.bytes.size()), 4);
    const quint16 main = image.mainOffset && *image.mainOffset < kNoMain
                             ? static_cast<quint16>(*image.mainOffset)
                             : kNoMain;
    putLittle(h, main, 2);
    return h;
}

QByteArray listing(const Image& image, const QString& source, const QString& compiler) {
    QStringList lines;
    lines << QStringLiteral("Program image of %1").arg(source)
          << QStringLiteral("compiled by %1").arg(compiler) << QString()
          << QStringLiteral("%1 %2 %3")
                 .arg(QStringLiteral("section"), -24)
                 .arg(QStringLiteral("offset"), 10)
                 .arg(QStringLiteral("bytes"), 10);
    for (const Section& s : image.sections) {
        lines << QStringLiteral("%1 %2 %3%4")
                     .arg(s.name, -24)
                     .arg(s.inImage ? QString::number(s.offset) : QStringLiteral("-"), 10)
                     .arg(s.size, 10)
                     .arg(s.inImage ? QString()
                                    : QStringLiteral("  zero-filled, not in the image"));
    }
    lines << QString() << QStringLiteral("image   %1 bytes").arg(image.bytes.size())
          << (image.mainOffset ? QStringLiteral("main    at offset %1").arg(*image.mainOffset)
                               : QStringLiteral("main    not found"))
          << QStringLiteral("header  %1").arg(QString::fromLatin1(programHeader(image).toHex(' ')));
    return (lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLocal8Bit();
}

}  // namespace quv::toolchain
