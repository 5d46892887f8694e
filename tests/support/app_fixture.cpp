#include "support/app_fixture.h"

#include <QDir>

namespace quv::test {

AppFixture::AppFixture() : previousFolder_(QDir::currentPath()) {}

AppFixture::~AppFixture() {
    window.reset();
    QDir::setCurrent(previousFolder_);
}

MainWindow& AppFixture::start() {
    window = std::make_unique<MainWindow>(AppServices{dialogs, settings, clock, com, pump, folder,
                                                      dir.filePath(QStringLiteral("recovery"))},
                                          link);
    window->start();
    return *window;
}

}  // namespace quv::test
