#include "app/help_viewer.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The help page lives in a static library: register it before first use.
static void initHelpResource() {
    Q_INIT_RESOURCE(help);
}

namespace quv {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser) {
    initHelpResource();
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("QuvC Help"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(520, 420);
}

void HelpViewer::showTopic(int topic) {
    topic_ = topic;
    QUrl url(QStringLiteral("qrc:/help/QuvC.html"));
    url.setFragment(QStringLiteral("topic-%1").arg(topic));
    browser_->setSource(url, QTextDocument::HtmlResource);
    browser_->scrollToAnchor(url.fragment());
    setWindowTitle(QStringLiteral("QuvC Help - ") + helpFile_);
    show();
    raise();
}

}  // namespace quv
