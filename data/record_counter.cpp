#include "record_counter.h"

#include "data/header_walker.h"
#include "data/record_text.h"

#include <algorithm>

int RecordCounter::update(QByteArrayView text, qsizetype changedFrom)
{
    changedFrom = std::clamp<qsizetype>(changedFrom, 0, text.size());
    // A header that ends at or before the change is untouched, and so is every one before it.
    m_headerEnds.erase(std::upper_bound(m_headerEnds.begin(), m_headerEnds.end(), changedFrom), m_headerEnds.end());
    // No header of the unchanged text was missed, so a new one must reach into the changed part.
    const qsizetype longest = std::max(phHeader.size(), mvHeader.size());
    const qsizetype resumeFrom =
        std::max(m_headerEnds.empty() ? 0 : m_headerEnds.back(), std::max<qsizetype>(0, changedFrom - longest + 1));
    HeaderWalker walker(text, resumeFrom);
    for (qsizetype end = walker.next(); end >= 0; end = walker.next())
        m_headerEnds.push_back(end);
    findFirstReadBuffer(text, changedFrom);
    return count();
}

void RecordCounter::findFirstReadBuffer(QByteArrayView text, qsizetype changedFrom)
{
    // One that ends before the change still stands first; else none starts before the change
    // less its length, as in the header search.
    if (m_firstReadBuffer >= 0 && m_firstReadBuffer + readBufferText.size() <= changedFrom)
        return;
    m_firstReadBuffer = findReadBuffer(text, std::max<qsizetype>(0, changedFrom - readBufferText.size() + 1));
}
