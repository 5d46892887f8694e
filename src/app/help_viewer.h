// The help window: the bundled help file shown one topic at a time.
#pragma once

#include "app/help_topics.h"

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

    // Shows the window at the topic, which starts at the top of the window;
    // topic 0 is the contents, and so is a topic the file does not have.
    void showTopic(int topic);
    int currentTopic() const { return topic_; }
    QTextBrowser* browser() const { return browser_; }

  private:
    void load();
    QTextBrowser* browser_;
    QString helpFile_ = QStringLiteral("QuvC.HLP");
    QMap<int, HelpTopic> topics_;
    int topic_ = -1;
};

}  // namespace quv
