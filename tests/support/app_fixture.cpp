#include "support/app_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

namespace quv::test {

AppFixture::AppFixture() : previousFolder_(QDir::currentPath()) {}

AppFixture::~AppFixture() {
    window.reset();
    QDir::setCurrent(previousFolder_);
}

MainWindow& AppFixture::start() {
    window = std::make_unique<MainWindow>(AppServices{dialogs, settings, clock, com, pump, folder},
                                          link);
    window->start();
    return *window;
}

QString AppFixture::writeFile(const QString& relativePath, const QByteArray& bytes) const {
    const QString path = QDir::toNativeSeparators(dir.filePath(relativePath));
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return QString();
    return path;
}

QByteArray AppFixture::readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QByteArray("<missing>");
    return f.readAll();
}

}  // namespace quv::test
