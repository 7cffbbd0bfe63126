#include "results/live_curve.h"

#include "serial/tick_source.h"

LiveCurve::LiveCurve(std::shared_ptr<TickSource> ticks, Reader read, Shower show)
    : m_ticks(std::move(ticks)), m_read(std::move(read)), m_show(std::move(show))
{
    m_later.setSingleShot(true);
    connect(&m_later, &QTimer::timeout, this, &LiveCurve::changed);
}

void LiveCurve::start(const QByteArray &data)
{
    m_following = true;
    m_shown = data;
    m_lastRefresh = m_ticks->now();
}

void LiveCurve::stop()
{
    m_following = false;
    m_later.stop();
}

void LiveCurve::changed()
{
    if (!m_following)
        return;
    const std::uint32_t since = m_ticks->now() - m_lastRefresh;
    if (since >= intervalMs)
        refresh();
    else if (!m_later.isActive())
        m_later.start(int(intervalMs - since));
}

void LiveCurve::refresh()
{
    m_lastRefresh = m_ticks->now();
    const std::optional<QByteArray> data = m_read();
    if (!data) {
        stop();
        return;
    }
    if (*data == m_shown)
        return;
    m_shown = *data;
    m_show();
}
