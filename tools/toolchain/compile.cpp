// compile.exe BASE r: the second pass of the stand-in toolchain, which makes
// the program image.
#include "toolchain.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    return quv::toolchain::secondPass(QCoreApplication::arguments().mid(1));
}
