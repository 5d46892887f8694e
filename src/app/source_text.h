// The editor control as the documents' view of the program text.
#pragma once

#include "app/documents.h"
#include "editor/source_editor.h"

namespace quv {

class SourceText : public DocumentText {
  public:
    explicit SourceText(SourceEditor& editor) : editor_(editor) {}
    QByteArray bytes() const override { return editor_.bytes(); }
    void setBytes(const QByteArray& text) override { editor_.setBytes(text); }
    int caretPosition() const override { return editor_.caretPosition(); }
    void setCaretPosition(int position) override { editor_.setCaretPosition(position); }
    void focus() override { editor_.setFocus(); }

  private:
    SourceEditor& editor_;
};

}  // namespace quv
