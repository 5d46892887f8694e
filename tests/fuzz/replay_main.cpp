// Runs a fuzz target over saved inputs, without libFuzzer: each argument is
// a file or a folder of files. Every input that once broke a reader stays a
// regression test this way, with any compiler.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
    int inputs = 0;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo arg(QString::fromLocal8Bit(argv[i]));
        const QFileInfoList files =
            arg.isDir() ? QDir(arg.filePath()).entryInfoList(QDir::Files, QDir::Name)
                        : QFileInfoList{arg};
        for (const QFileInfo& file : files) {
            QFile f(file.filePath());
            // The name first, so that a crash shows which input it was.
            std::fprintf(stderr, "%s\n", qPrintable(f.fileName()));
            if (!f.open(QIODevice::ReadOnly)) return 1;
            const QByteArray data = f.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(data.constData()),
                                   static_cast<size_t>(data.size()));
            ++inputs;
        }
    }
    std::printf("%d inputs replayed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
