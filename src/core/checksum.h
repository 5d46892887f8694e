// The two 16-bit checksums that protect every block sent to a terminal.
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace quv {

struct Checksum {
    // Plain sum of the bytes (each counted one higher), 0 to 65535.
    qint32 Checksum1 = 0;
    // Rotating sum: depends on the order of the bytes, 0 to 65535.
    qint32 Checksum2 = 0;

    void Reset_Checksum() {
        Checksum1 = 0;
        Checksum2 = 0;
    }

    void Do_Checksum(int c) {
        const qint32 v = (c + 1) & 0xFF;
        Checksum2 <<= 1;
        if (Checksum2 & 0x10000) Checksum2 |= 1;
        Checksum1 = (Checksum1 + v) & 0xFFFF;
        Checksum2 = (Checksum2 + v) & 0xFFFF;
    }

    void add(const char* data, qsizetype size) {
        for (qsizetype i = 0; i < size; ++i) Do_Checksum(static_cast<unsigned char>(data[i]));
    }
    void add(const QByteArray& block) { add(block.constData(), block.size()); }

    // Checksum1 low, Checksum1 high, Checksum2 low, Checksum2 high.
    QByteArray trailer() const {
        QByteArray t(4, '\0');
        t[0] = static_cast<char>(Checksum1 & 0xFF);
        t[1] = static_cast<char>((Checksum1 >> 8) & 0xFF);
        t[2] = static_cast<char>(Checksum2 & 0xFF);
        t[3] = static_cast<char>((Checksum2 >> 8) & 0xFF);
        return t;
    }

    // The checksums of one block computed from zero.
    static Checksum of(const QByteArray& block) {
        Checksum c;
        c.add(block);
        return c;
    }
};

}  // namespace quv
