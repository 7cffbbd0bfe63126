#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

/// The master side of a raw pseudo-terminal; whoever opens the slave path talks to us.
class PseudoTerminal
{
  public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    /// Creates the pair, raw, at the given speed; on failure returns false with a reason.
    bool open(quint32 baud, QString *error);
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    /// The speed the slave side is set to now, as its opener chose it.
    quint32 lineSpeed() const;
    /// Bytes the opener wrote; empty when there are none.
    QByteArray readAvailable();
    /// How many bytes the slave side took; 0 when its input queue is full.
    qsizetype write(const QByteArray &bytes);

  private:
    bool configure(quint32 baud);

    int m_master = -1;
    QString m_slavePath;
};
