#include "help/help_index.h"

#include <QFile>
#include <QRegularExpression>
#include <QTextDocument>

#include <algorithm>

const QString HelpIndex::contentsId = QStringLiteral("contents");

namespace {

const QString folder = QStringLiteral(":/help/");

QString readPage(const QString &id)
{
    QFile file(folder + id + QStringLiteral(".html"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

} // namespace

HelpIndex::HelpIndex()
{
    // The contents page decides which pages there are and in what order.
    const QString contents = readPage(contentsId);
    for (const QString &id : QStringList{contentsId} + linkedIds(contents)) {
        QTextDocument document;
        document.setHtml(readPage(id));
        m_pages.append({id, document.metaInformation(QTextDocument::DocumentTitle), document.toPlainText()});
    }
}

QUrl HelpIndex::url(const QString &pageId)
{
    const QString page = pageId.section(QLatin1Char('#'), 0, 0);
    const QString place = pageId.section(QLatin1Char('#'), 1);
    QUrl url(QStringLiteral("qrc") + folder + page + QStringLiteral(".html"));
    if (!place.isEmpty())
        url.setFragment(place);
    return url;
}

QString HelpIndex::pageId(const QUrl &url)
{
    const QString path = url.path();
    if (url.scheme() != QLatin1String("qrc") || !path.startsWith(folder.mid(1)) || !path.endsWith(".html"))
        return {};
    return path.mid(folder.size() - 1).chopped(5);
}

QStringList HelpIndex::search(const QString &query) const
{
    const QStringList words = query.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return {};
    QList<std::pair<qsizetype, QString>> found;
    for (const Page &page : m_pages) {
        qsizetype hits = 0;
        for (const QString &word : words) {
            const qsizetype count = (page.title + QLatin1Char('\n') + page.text).count(word, Qt::CaseInsensitive);
            hits = count == 0 ? -1 : hits + count;
            if (hits < 0)
                break;
        }
        if (hits > 0)
            found.append({hits, page.id});
    }
    std::stable_sort(found.begin(), found.end(), [](const auto &a, const auto &b) { return a.first > b.first; });
    QStringList ids;
    for (const auto &[hits, id] : found)
        ids << id;
    return ids;
}

QStringList HelpIndex::linkedIds(const QString &html)
{
    static const QRegularExpression link(QStringLiteral("href=\"([a-z0-9-]+)\\.html[\"#]"));
    QStringList ids;
    for (const QRegularExpressionMatch &match : link.globalMatch(html))
        ids << match.captured(1);
    ids.removeDuplicates();
    ids.removeAll(contentsId);
    return ids;
}
