// The words of the instruction help: read from the word files with their
// help texts, kept in sorted order, and matched against a typed prefix.
#pragma once

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QStringList>
#include <QVector>

namespace quv {

class HelpWords {
  public:
    // Help_Text holds indexes 0 to 5000; the numbering of the words starts
    // at 1, so at most 5000 words are kept.
    static constexpr int kHelpTextSize = 5001;
    static constexpr int kMaxWords = kHelpTextSize - 1;
    // No real word file comes near these; they keep a stray large file from
    // freezing the editor. A larger word file is skipped, a longer word or
    // help text is cut to its first bytes.
    static constexpr qint64 kMaxFileBytes = 4 * 1024 * 1024;
    static constexpr qsizetype kMaxWordBytes = 200;
    static constexpr qsizetype kMaxHelpTextBytes = 500;
    // The word files, read in this order from the working folder.
    static const QStringList& fileNames();

    HelpWords();

    // Forgets every word and help text and restarts the numbering.
    void clear();
    // clear(), then the three word files of the folder; a missing file is
    // skipped without a word.
    void loadAll(const QDir& folder);
    // Adds the words of one file; nothing when it does not exist, is no
    // regular file (a pipe is never waited on), is larger than kMaxFileBytes
    // or cannot be read.
    void loadFile(const QString& path);
    // Adds the words of a word file's bytes: blanks and control bytes before
    // a word are skipped; a word runs up to a byte below 32, a "," or the end;
    // after a "," the rest of the line, behind one blank, is the help text of
    // the word just read (of the one before when the word is empty). Words
    // beyond the 5000th are left out; words and help texts are cut to their
    // limits.
    void loadBytes(const QByteArray& bytes);

    // The words in sorted order (byte order: upper case before lower case).
    const QStringList& words() const { return sorted_; }
    // The number given to the word at a row of words(): its index in Help_Text.
    int itemData(int row) const { return sortedData_.value(row); }
    const QString& helpText(int index) const;
    int Help_Count() const { return count_; }

    struct Match {
        int row = -1;          // the first word that starts with the prefix
        bool several = false;  // two or more words start with it
    };
    // The words that begin with the prefix exactly (letter case counts).
    Match match(const QString& prefix) const;

  private:
    void sortWords();
    QVector<QString> helpText_;
    int count_ = 0;
    // In file order until sortWords() runs.
    QStringList sorted_;
    QVector<int> sortedData_;
};

}  // namespace quv
