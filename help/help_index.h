#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

/// The pages of the user manual that the program carries, in the order of its contents page,
/// with their plain text for searching.
class HelpIndex
{
  public:
    struct Page
    {
        QString id;
        QString title;
        QString text;
    };

    /// The page every other page is reached from.
    static const QString contentsId;

    HelpIndex();

    const QList<Page> &pages() const { return m_pages; }
    /// Where a page is; an id may name a place in the page after '#' ("commands#file").
    static QUrl url(const QString &pageId);
    /// The id of the page a URL of this manual shows; empty for anything else.
    static QString pageId(const QUrl &url);
    /// Ids of the pages that hold every word of the query, most hits first; none for an empty query.
    QStringList search(const QString &query) const;

  private:
    static QStringList linkedIds(const QString &html);

    QList<Page> m_pages;
};
