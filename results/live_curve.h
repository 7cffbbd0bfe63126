#pragma once

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

class TickSource;

/// Follows the newest data record while it grows: on each change of the terminal text it reads
/// the record again and shows it when its data changed, at most once per interval, and once
/// more after the last change.
class LiveCurve : public QObject
{
  public:
    static constexpr std::uint32_t intervalMs = 500;

    /// The record's data, or nothing when it is no longer to be followed.
    using Reader = std::function<std::optional<QByteArray>()>;
    /// Shows the record as it now stands.
    using Shower = std::function<void()>;

    LiveCurve(std::shared_ptr<TickSource> ticks, Reader read, Shower show);

    /// Follows from now on; data is what is shown at the moment.
    void start(const QByteArray &data);
    void stop();

    /// The terminal text changed.
    void changed();

  private:
    void refresh();

    std::shared_ptr<TickSource> m_ticks;
    Reader m_read;
    Shower m_show;
    QTimer m_later;
    bool m_following = false;
    QByteArray m_shown;
    std::uint32_t m_lastRefresh = 0;
};
