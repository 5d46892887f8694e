// The help file split into its topics: each topic is the part of the page
// from its heading to the next topic's heading, shown as a page of its own so
// that it always starts at the top of the help window.
#pragma once

#include <QMap>
#include <QString>

namespace quv {

struct HelpTopic {
    QString title;  // the heading's text
    QString html;   // the heading and everything up to the next topic
};

// Topics by number, from headings that carry an anchor named "topic-N".
QMap<int, HelpTopic> splitHelpTopics(const QString& page);

// The page shown for a topic: the topic itself, and a link back to the
// contents; the contents (topic 0) also list every topic as a link. An
// unknown topic shows the contents.
QString helpTopicPage(const QMap<int, HelpTopic>& topics, int topic);

}  // namespace quv
