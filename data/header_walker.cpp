#include "header_walker.h"

#include <QStringMatcher>

namespace {

constexpr qsizetype notSearched = -2;

const QStringMatcher &matcherFor(QStringView header)
{
    static const QStringMatcher ph(phHeader);
    static const QStringMatcher mv(mvHeader);
    return header == phHeader ? ph : mv;
}

} // namespace

bool GetFoundPattern(qsizetype PosPh, qsizetype PosMv)
{
    if (PosMv == 0)
        return true;
    if (PosPh == 0)
        return false;
    return PosPh < PosMv;
}

HeaderWalker::HeaderWalker(QStringView text, qsizetype from) : m_text(text), m_start(from) {}

qsizetype HeaderWalker::next()
{
    const qsizetype ph = nextOf(phHeader, m_nextPh);
    const qsizetype mv = nextOf(mvHeader, m_nextMv);
    if (ph < 0 && mv < 0)
        return -1;
    const auto oneBased = [this](qsizetype pos) { return pos < 0 ? 0 : pos - m_start + 1; };
    const bool takePh = GetFoundPattern(oneBased(ph), oneBased(mv));
    m_start = takePh ? ph + phHeader.size() : mv + mvHeader.size();
    return m_start;
}

qsizetype HeaderWalker::nextOf(QStringView header, qsizetype &cached) const
{
    if (cached == notSearched || (cached >= 0 && cached < m_start))
        cached = matcherFor(header).indexIn(m_text, m_start);
    return cached;
}

int countHeaders(QStringView text)
{
    HeaderWalker walker(text);
    int count = 0;
    while (walker.next() >= 0)
        ++count;
    return count;
}
