// The help window: the bundled help file shown at a topic number.
#pragma once

#include <QString>
#include <QWidget>

class QTextBrowser;

namespace quv {

class HelpViewer : public QWidget {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* parent = nullptr);

    // The help file of the application, "QuvC.HLP", bundled with the program.
    void setHelpFile(const QString& name) { helpFile_ = name; }
    QString helpFile() const { return helpFile_; }

    // Shows the window at the topic; topic 0 is the contents.
    void showTopic(int topic);
    int currentTopic() const { return topic_; }
    QTextBrowser* browser() const { return browser_; }

  private:
    QTextBrowser* browser_;
    QString helpFile_ = QStringLiteral("QuvC.HLP");
    int topic_ = -1;
};

}  // namespace quv
