#include "app/help_topics.h"

#include <QRegularExpression>

namespace quv {

QMap<int, HelpTopic> splitHelpTopics(const QString& page) {
    static const QRegularExpression heading(
        QStringLiteral("<h2><a name=\"topic-(\\d+)\"></a>(.*?)</h2>"));
    QMap<int, HelpTopic> topics;
    // The body ends the last topic.
    const qsizetype end = page.indexOf(QStringLiteral("</body>"));
    QRegularExpressionMatchIterator it = heading.globalMatch(page);
    int number = -1;
    qsizetype from = 0;
    QString title;
    const auto close = [&](qsizetype to) {
        if (number >= 0) topics.insert(number, {title, page.mid(from, to - from).trimmed()});
    };
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        close(m.capturedStart());
        number = m.captured(1).toInt();
        title = m.captured(2);
        from = m.capturedStart();
    }
    close(end >= from ? end : page.size());
    return topics;
}

QString helpTopicPage(const QMap<int, HelpTopic>& topics, int topic) {
    if (!topics.contains(topic)) topic = 0;
    QString html = QStringLiteral("<html><body>") + topics.value(topic).html;
    if (topic == 0) {
        html += QStringLiteral("<ul>");
        for (auto it = topics.cbegin(); it != topics.cend(); ++it)
            if (it.key() != 0)
                html += QStringLiteral("<li><a href=\"#topic-%1\">%2</a></li>")
                            .arg(it.key())
                            .arg(it->title);
        html += QStringLiteral("</ul>");
    } else {
        html += QStringLiteral("<p><a href=\"#topic-0\">Contents</a></p>");
    }
    return html + QStringLiteral("</body></html>");
}

}  // namespace quv
