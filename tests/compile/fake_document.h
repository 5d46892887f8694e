// A current document for the tests: scripted saves and opens, and every
// call in order ("ask", "save", "open FILE").
#pragma once

#include "core/current_document.h"

#include <QStringList>

namespace quv::test {

struct FakeDocument : CurrentDocument {
    explicit FakeDocument(const QString& file = {}) : name(file) {}
    QString name;
    bool isChanged = false, saveWorks = true;
    QStringList openable, calls;  // the files an open finds; the calls made

    QString fileName() const override { return name; }
    bool changed() const override { return isChanged; }
    bool askToSave() override { return calls << "ask", save(); }
    bool save() override { return calls << "save", isChanged = isChanged && !saveWorks, saveWorks; }
    bool open(const QString& path) override {
        calls << "open " + path;
        if (openable.contains(path)) name = path, isChanged = false;
        return name == path;
    }
};

}  // namespace quv::test
