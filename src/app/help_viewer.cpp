#include "app/help_viewer.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

// The help page lives in a static library: register it before first use.
static void initHelpResource() {
    Q_INIT_RESOURCE(help);
}

namespace quv {

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser) {
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("QuvC Help"));
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        const QString fragment = url.fragment();
        if (fragment.startsWith(QLatin1String("topic-"))) showTopic(fragment.mid(6).toInt());
    });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    resize(520, 420);
}

void HelpViewer::load() {
    if (!topics_.isEmpty()) return;
    initHelpResource();
    QFile page(QStringLiteral(":/help/QuvC.html"));
    if (page.open(QIODevice::ReadOnly))
        topics_ = splitHelpTopics(QString::fromUtf8(page.readAll()));
}

void HelpViewer::showTopic(int topic) {
    load();
    topic_ = topics_.contains(topic) ? topic : 0;
    browser_->setHtml(helpTopicPage(topics_, topic_));
    setWindowTitle(QStringLiteral("QuvC Help - ") + helpFile_);
    show();
    raise();
}

}  // namespace quv
