// myc.exe BASE [/D]: the compiler pass of the stand-in toolchain.
#include "toolchain.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return quv::toolchain::compilerPass(QCoreApplication::arguments().mid(1));
}
