#include "commands/step_player.h"

#include "commands/command_host.h"
#include "commands/instrument_error.h"
#include "commands/key_port.h"
#include "commands/pause.h"
#include "common/cp1252.h"
#include "serial/connection_summary.h"

StepPlayer::StepPlayer(KeyPort &port, const Pause &pause, CommandHost &host)
    : m_port(port), m_pause(pause), m_host(host)
{
}

StepPlayer::Step StepPlayer::send(const QString &keys)
{
    return {Step::Kind::Send, keys};
}

StepPlayer::Step StepPlayer::wait(std::uint32_t milliseconds)
{
    return {Step::Kind::Wait, {}, milliseconds};
}

StepPlayer::Step StepPlayer::status(const QString &text)
{
    return {Step::Kind::Status, text};
}

StepPlayer::Step StepPlayer::line(const QString &text)
{
    return {Step::Kind::Line, text};
}

StepPlayer::Step StepPlayer::call(std::function<void()> action)
{
    return {Step::Kind::Call, {}, 0, std::move(action)};
}

bool StepPlayer::portReady()
{
    if (m_port.isOpen())
        return true;
    m_host.setStatus(notOpenMessage(m_port.name()));
    return false;
}

void StepPlayer::stop()
{
    ++m_generation;
    m_running = false;
}

qsizetype StepPlayer::replyMark() const
{
    return m_host.terminalText().size();
}

bool StepPlayer::report(qsizetype mark, const QString &completed, const QString &failed)
{
    if (const auto error = instrumentError(m_host.terminalText(), mark)) {
        m_host.setStatus(failed + ": " + *error);
        return false;
    }
    if (!completed.isEmpty())
        m_host.setStatus(completed);
    return true;
}

void StepPlayer::perform(const Step &step)
{
    switch (step.kind) {
    case Step::Kind::Send:
        // An empty field sends nothing, but the waits around it still run.
        if (!step.text.isEmpty())
            m_port.send(cp1252::encode(step.text));
        break;
    case Step::Kind::Wait:
        m_pause(step.milliseconds);
        break;
    case Step::Kind::Status:
        m_host.setStatus(step.text);
        break;
    case Step::Kind::Line:
        m_host.addTerminalLine(step.text);
        break;
    case Step::Kind::Call:
        step.action();
        break;
    }
}

StepPlayer::Turn::Turn(StepPlayer &player, Claim claim) : m_player(player)
{
    if (claim == Claim::IfFree && m_player.m_running) {
        m_player.m_host.setStatus("Busy - command not sent");
        return;
    }
    if (claim == Claim::Preempt)
        ++m_player.m_generation;
    m_player.m_running = true;
    m_granted = true;
    m_generation = m_player.m_generation;
}

StepPlayer::Turn::~Turn()
{
    // A stopped command no longer counts as running; the one that stopped it does.
    if (current())
        m_player.m_running = false;
}

bool StepPlayer::Turn::current() const
{
    return m_granted && m_generation == m_player.m_generation;
}

bool StepPlayer::Turn::live() const
{
    if (!current())
        return false;
    const KeyPort &port = m_player.m_port;
    if (!port.isOpen() || port.connection() != m_connection)
        m_portLost = true;
    return !m_portLost;
}

bool StepPlayer::Turn::play(const Sequence &steps) const
{
    if (!m_connection)
        m_connection = m_player.m_port.connection();
    for (const Step &step : steps) {
        if (!live())
            return false;
        m_player.perform(step);
    }
    return live();
}
