#include "core/working_folder.h"

#include <QDir>

namespace quv {

QString ProcessWorkingFolder::current() const {
    return QDir::toNativeSeparators(QDir::currentPath());
}

bool ProcessWorkingFolder::setCurrent(const QString& folder) {
    return !folder.isEmpty() && QDir::setCurrent(folder);
}

}  // namespace quv
