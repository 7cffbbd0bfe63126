#include "header_walker.h"

#include <QByteArrayMatcher>

namespace {

constexpr qsizetype notSearched = -2;

const QByteArrayMatcher &matcherFor(QByteArrayView header)
{
    static const QByteArrayMatcher ph(phHeader);
    static const QByteArrayMatcher mv(mvHeader);
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

HeaderWalker::HeaderWalker(QByteArrayView text, qsizetype from) : m_text(text), m_start(from) {}

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

qsizetype HeaderWalker::nextOf(QByteArrayView header, qsizetype &cached) const
{
    if (cached == notSearched || (cached >= 0 && cached < m_start))
        cached = matcherFor(header).indexIn(m_text, m_start);
    return cached;
}

int countHeaders(QByteArrayView text)
{
    HeaderWalker walker(text);
    int count = 0;
    while (walker.next() >= 0)
        ++count;
    return count;
}
