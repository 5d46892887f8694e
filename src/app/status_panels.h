// The status bar with its five keyed panels; panel 1 keeps the current date.
#pragma once

#include <QHash>
#include <QStatusBar>
#include <QString>

class QLabel;
class QTimer;

namespace quv {

class Clock;

class StatusPanels : public QStatusBar {
    Q_OBJECT
  public:
    StatusPanels(Clock& clock, QWidget* parent = nullptr);

    // Panels by key: "Baud", "Line", "Name", "Project".
    void setPanelText(const QString& key, const QString& text);
    QString panelText(const QString& key) const;
    // Panels 1 to 5 in order.
    QLabel* panel(int index) const;
    void refreshDate();
    // One line after the panels, for a condition that lasts; empty hides it.
    void setNotice(const QString& text);
    QString notice() const;

  private:
    Clock& clock_;
    QList<QLabel*> panels_;
    QHash<QString, QLabel*> byKey_;
    QTimer* dateTimer_;
    QLabel* notice_ = nullptr;
};

}  // namespace quv
