// F1 in the main window: shows the help topic of the focused control in the help window.
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace quv {

class HelpViewer;

class HelpRouting : public QObject {
    Q_OBJECT
  public:
    // window: the main window; it holds the F1 key and owns the help window.
    // ownWindow makes the help window one of the program's own windows.
    HelpRouting(QWidget* window, std::function<void(QWidget*)> ownWindow);

    // Built the first time help is asked for.
    HelpViewer* helpViewer();
    // Opens the help window at the topic of the focused control or menu item,
    // or of its nearest parent that has one; the contents otherwise.
    void Help_Click();
    void showHelpTopic(int topic);
    // The help file the window names; a help window already built follows it.
    void setHelpFile(const QString& name);

  private:
    static int topicOfFocus();

    QWidget* window_;
    std::function<void(QWidget*)> ownWindow_;
    HelpViewer* help_ = nullptr;
    QString helpFile_ = QStringLiteral("QuvC.HLP");
};

}  // namespace quv
