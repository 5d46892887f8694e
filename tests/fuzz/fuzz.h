// What every fuzz target shares: the check that stops on a broken rule, the
// input cut into the pieces a line delivers, and the Qt application that
// readers with timers or files need.
#pragma once

#include <QByteArray>
#include <QCoreApplication>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

// Stops the run, so that the fuzzer keeps the input, when a reader's rule breaks.
#define FUZZ_CHECK(cond) ((cond) ? void() : fuzz::broken(#cond, __FILE__, __LINE__))

namespace fuzz {

[[noreturn]] inline void broken(const char* rule, const char* file, int line) {
    std::fprintf(stderr, "rule broken: %s (%s:%d)\n", rule, file, line);
    std::abort();
}

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The input as pieces arriving one after the other: the first byte says how
// many piece lengths follow (0 to 7), and the rest is cut into pieces of
// those lengths, taken in turn (a 0 counts as 1). With no lengths the rest is
// one piece.
inline std::vector<QByteArray> pieces(const uint8_t* data, size_t size) {
    std::vector<QByteArray> out;
    if (size == 0) return out;
    const size_t lengths = std::min<size_t>(data[0] % 8, size - 1);
    for (size_t at = 1 + lengths, i = 0; at < size; ++i) {
        size_t n = lengths ? std::max<size_t>(data[1 + i % lengths], 1) : size - at;
        n = std::min(n, size - at);
        out.push_back(bytes(data + at, n));
        at += n;
    }
    return out;
}

// The input cut at each 0 byte, as the arguments of a command line.
inline QStringList arguments(const uint8_t* data, size_t size) {
    QStringList out;
    for (const QByteArray& a : bytes(data, size).split('\0')) out << QString::fromUtf8(a);
    return out;
}

// One application for the whole run, made before the first input.
inline void application() {
    static int argc = 1;
    static char name[] = "fuzz";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

}  // namespace fuzz
