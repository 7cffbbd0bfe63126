#pragma once

#include "commands/command_host.h"
#include "commands/command_input.h"
#include "commands/event_pump.h"
#include "commands/instrument_commands.h"
#include "commands/key_port.h"
#include "commands/pause.h"
#include "serial/manual_clock.h"

#include <QCoreApplication>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <string>
#include <vector>

/// The log a sequence should leave when it starts at time 0: "wait n" moves on to the first tick
/// past n milliseconds, every other step is logged at the time it happens.
inline std::vector<std::string> timed(const std::vector<std::string> &steps)
{
    std::vector<std::string> entries;
    std::uint64_t now = 0;
    for (const std::string &step : steps) {
        if (step.starts_with("wait "))
            now += std::stoul(step.substr(5)) + 1;
        else
            entries.push_back(std::to_string(now) + " " + step);
    }
    return entries;
}

/// Everything the commands make visible, each entry stamped with the manual clock's time.
class CommandLog
{
  public:
    explicit CommandLog(const ManualClock &clock) : m_clock(clock) {}

    void add(const std::string &kind, const QString &text)
    {
        QString shown = text;
        shown.replace('\r', "<CR>");
        m_entries.push_back(std::to_string(m_clock.elapsed()) + " " + kind + " " + shown.toStdString());
    }

    const std::vector<std::string> &entries() const { return m_entries; }

  private:
    const ManualClock &m_clock;
    std::vector<std::string> m_entries;
};

/// The window thread's events on a manual clock: Qt's own (with the synchronized calls of a serial
/// worker on the same clock) and scripted ones due at given times. A wait moves the clock on to the
/// next scripted event or the deadline, at most step milliseconds at a time; a step of 1 lets
/// a worker poll as often as in real time.
class ScriptedPump : public EventPump
{
  public:
    explicit ScriptedPump(ManualClock &clock, std::uint32_t step = UINT32_MAX) : m_clock(clock), m_step(step) {}

    void at(std::uint64_t time, std::function<void()> event) { m_events.emplace(time, std::move(event)); }

    void processPending() override
    {
        do {
            QCoreApplication::processEvents();
            m_clock.advance(0);
        } while (m_clock.parked() > 0);
        while (!m_events.empty() && m_events.begin()->first <= m_clock.elapsed()) {
            // Taken off the list first: the event may pause, and its pause processes events too.
            auto event = std::move(m_events.begin()->second);
            m_events.erase(m_events.begin());
            event();
        }
    }

    void waitForEvents(std::uint32_t milliseconds) override
    {
        std::uint64_t until = m_clock.elapsed() + std::min(milliseconds, m_step);
        if (!m_events.empty())
            until = std::min(until, m_events.begin()->first);
        m_clock.advance(static_cast<std::uint32_t>(until - m_clock.elapsed()));
    }

  private:
    ManualClock &m_clock;
    const std::uint32_t m_step;
    std::multimap<std::uint64_t, std::function<void()>> m_events;
};

class RecordingPort : public KeyPort
{
  public:
    explicit RecordingPort(CommandLog &log) : m_log(log) {}

    bool isOpen() const override { return open; }
    QString name() const override { return "COM3"; }
    std::uint32_t connection() const override { return openings; }
    void send(const QByteArray &keys) override { m_log.add("send", QString::fromLatin1(keys)); }

    bool open = true;
    std::uint32_t openings = 1;

  private:
    CommandLog &m_log;
};

class RecordingHost : public CommandHost
{
  public:
    explicit RecordingHost(CommandLog &log) : m_log(log) {}

    void setStatus(const QString &text) override { m_log.add("status", text); }
    void addTerminalLine(const QString &text) override { m_log.add("line", text); }
    QByteArray terminalText() const override { return received; }
    void showMessage(const QString &text) override { m_log.add("message", text); }

    /// What the titrator has printed so far.
    QByteArray received;

  private:
    CommandLog &m_log;
};

/// Answers every question at once as set up; counts how often it was asked.
class ScriptedInput : public CommandInput
{
  public:
    std::optional<RunEntry> askRun() override { return ask(run); }
    std::optional<QString> askBuretVolume() override { return ask(volume); }
    std::optional<QString> askTiterConcentration() override { return ask(titer); }
    std::optional<QString> askReagentConstant() override { return ask(reagent); }
    bool confirmBufferPh4() override { return ask(ph4); }
    bool confirmBufferPh7() override { return ask(ph7); }

    std::optional<RunEntry> run = RunEntry{};
    std::optional<QString> volume = QString();
    std::optional<QString> titer = QString();
    std::optional<QString> reagent = QString();
    bool ph4 = true;
    bool ph7 = true;
    int asked = 0;

  private:
    template <typename T> T ask(const T &answer)
    {
        ++asked;
        return answer;
    }
};

/// The command set on a recording port and host, with its waits on a manual clock.
struct RecordedCommands
{
    ManualClock clock;
    CommandLog log{clock};
    ScriptedPump pump{clock};
    Pause pause{clock, pump};
    RecordingPort port{log};
    RecordingHost host{log};
    ScriptedInput input;
    InstrumentCommands commands{port, pause, host, input};
};
