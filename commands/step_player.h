#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

class CommandHost;
class KeyPort;
class Pause;

/// Plays the steps of an instrument command: key strings to the port, waits that keep events
/// flowing, texts for the user. The titrator's answers are not awaited. One command runs at a
/// time, so that no two commands interleave their strings; a Reset stops the running one, and so
/// does a port lost while the command runs.
class StepPlayer
{
  public:
    struct Step
    {
        enum class Kind {
            Send,
            Wait,
            Status,
            Line,
            Call,
        };
        Kind kind;
        QString text;
        std::uint32_t milliseconds = 0;
        std::function<void()> action{};
    };
    using Sequence = std::vector<Step>;

    static Step send(const QString &keys);
    static Step wait(std::uint32_t milliseconds);
    static Step status(const QString &text);
    static Step line(const QString &text);
    /// A step of the command's own, such as moving a progress display on.
    static Step call(std::function<void()> action);

    /// A command's right to play, held for as long as the command runs.
    class Turn
    {
      public:
        enum class Claim {
            /// Refused with "Busy - command not sent" while another command runs.
            IfFree,
            /// Stops the running command, which sends nothing more, and runs instead.
            Preempt,
        };

        explicit Turn(StepPlayer &player, Claim claim = Claim::IfFree);
        ~Turn();
        Turn(const Turn &) = delete;
        Turn &operator=(const Turn &) = delete;

        bool granted() const { return m_granted; }
        /// False once a later command has stopped this one.
        bool current() const;
        /// Plays the steps in order; false when the command was stopped before its end, by a
        /// later command or by the loss of the port.
        bool play(const Sequence &steps) const;
        /// True once the port was closed or reopened after this command began to play: what it
        /// sent before went to a titrator that got only part of it, so it sends nothing more.
        bool portLost() const { return m_portLost; }

      private:
        /// Current, and still on the line it began to play on.
        bool live() const;

        StepPlayer &m_player;
        bool m_granted = false;
        std::uint64_t m_generation = 0;
        // Taken when the command first plays, since a dialog may come before that.
        mutable std::optional<std::uint32_t> m_connection{};
        mutable bool m_portLost = false;
    };

    StepPlayer(KeyPort &port, const Pause &pause, CommandHost &host);

    /// Tells the user and returns false when nothing could reach the titrator.
    bool portReady();
    /// Stops the running command, which sends nothing more, so that the program can end.
    void stop();

    /// Where what the titrator prints from now on begins in the terminal text.
    qsizetype replyMark() const;
    /// Ends a command that ran to its end: the status says failed and the first error line the
    /// titrator printed since mark, or else completed. An empty completed leaves the status.
    /// True when completed.
    bool report(qsizetype mark, const QString &completed, const QString &failed);

  private:
    void perform(const Step &step);

    KeyPort &m_port;
    const Pause &m_pause;
    CommandHost &m_host;
    bool m_running = false;
    // Moves on at each preemption; a turn of an earlier generation has been stopped.
    std::uint64_t m_generation = 0;
};
