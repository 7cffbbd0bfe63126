#include "commands/instrument_commands.h"

#include "commands/command_host.h"
#include "commands/command_input.h"
#include "commands/keypad.h"

#include <QDate>

namespace {

// Sequences read as they are written down.
const auto send = StepPlayer::send;
const auto wait = StepPlayer::wait;
const auto status = StepPlayer::status;
const auto line = StepPlayer::line;

} // namespace

InstrumentCommands::InstrumentCommands(KeyPort &port, const Pause &pause, CommandHost &host, CommandInput &input)
    : m_player(port, pause, host), m_host(host), m_input(input)
{
}

InstrumentCommands::Sequence InstrumentCommands::fixedSequence(Fixed command)
{
    switch (command) {
    case Fixed::Reset:
        return {send(keypad::Reset), wait(1000), status("RESET")};
    case Fixed::Status:
        return {line("Status:"), send(keypad::Status), wait(1000), status("Asking Status")};
    case Fixed::ListCurrentMethod:
        return {status("Listing actual method"),
                send("2"),
                wait(1000),
                send(keypad::Mode),
                wait(1000),
                send(keypad::Enter)};
    case Fixed::ListAllMethods:
        return {
            status("Listing all methods"), send("0"), wait(1000), send(keypad::Mode), wait(1000), send(keypad::Enter)};
    case Fixed::Stirrer:
        return {send("2"), wait(1000), send(keypad::Run), status("Stirrer toggled, stop with Reset")};
    case Fixed::ViewmV:
        return {send("2"), wait(1000), send(keypad::PhCalibration), status("Signal in mV, stop with reset:")};
    case Fixed::ViewpH:
        return {send("3"), wait(1000), send(keypad::PhCalibration), status("Signal in pH, stop with reset:")};
    case Fixed::GetResultsShort:
        return {line("Results (short):"), send("4"), wait(1000), send(keypad::Run), status("Getting Results (short)")};
    case Fixed::GetResultsTable:
        return {line("Results (table):"), send("7"), wait(1000), send(keypad::Run), status("Getting Results (long)")};
    case Fixed::Keyboard:
        return {send(keypad::EnableKeyboard), status("Keyboard is on")};
    }
    return {};
}

void InstrumentCommands::run(Fixed command)
{
    // Reset is how a user aborts: it always runs, and stops whatever else does.
    const Turn turn(m_player, command == Fixed::Reset ? Turn::Claim::Preempt : Turn::Claim::IfFree);
    if (ready(turn))
        play(turn, fixedSequence(command));
}

void InstrumentCommands::startTitration()
{
    const Turn turn(m_player);
    if (!ready(turn))
        return;
    const auto entry = m_input.askRun();
    if (!entry) {
        m_host.setStatus("Run cancelled!");
        return;
    }
    m_host.runStarted(*entry);
    const qsizetype mark = m_player.replyMark();
    const bool sent = play(turn, {send(keypad::Run), wait(5000), send(entry->weight), wait(1000), send(keypad::Run),
                                  wait(2000), send(entry->identification), wait(1000), send(keypad::Run), wait(2000),
                                  send(keypad::Run), wait(1000), send(keypad::Enter)});
    // A run whose keys did not all arrive, or that the titrator refused, will print no record.
    if (!sent || !m_player.report(mark, "Run started... Please wait.", "Run failed"))
        m_host.runFailed();
}

void InstrumentCommands::fillBuret()
{
    const Turn turn(m_player);
    if (!ready(turn))
        return;
    const auto volume = m_input.askBuretVolume();
    if (!volume)
        return;
    const QString filling = "Filling buret, please wait...";
    Sequence steps;
    // An empty volume leaves only the buret key, which fills the buret completely.
    if (!volume->isEmpty())
        steps = {status(filling), send(*volume), wait(1000)};
    steps.insert(steps.end(), {send(keypad::Buret), status(filling)});
    play(turn, steps);
}

void InstrumentCommands::setTiterConcentration()
{
    const Turn turn(m_player);
    if (!ready(turn))
        return;
    if (const auto titer = m_input.askTiterConcentration())
        play(turn, {send(*titer), wait(1000), send(keypad::Const), wait(1000), send(keypad::ConstEnd)});
}

void InstrumentCommands::setReagentConstant()
{
    const Turn turn(m_player);
    if (!ready(turn))
        return;
    if (const auto constant = m_input.askReagentConstant())
        play(turn, {send(*constant), wait(1000), send(keypad::ConstReagent), wait(1000), send(keypad::ConstEnd)});
}

void InstrumentCommands::calibratePh()
{
    const Turn turn(m_player);
    if (!ready(turn) || !m_input.confirmBufferPh4())
        return;
    if (!play(turn, {send(keypad::PhCalibration), wait(2000), send(keypad::Run), wait(2000)}))
        return;
    if (m_input.confirmBufferPh7())
        play(turn, {send(keypad::Run), wait(1000)});
    else
        play(turn, {send(keypad::Reset)});
}

void InstrumentCommands::setDate(const QDate &today)
{
    const Turn turn(m_player);
    if (!ready(turn))
        return;
    // The titrator takes each part as a 16-bit number; a year before 2000 wraps around.
    const auto day = static_cast<std::uint16_t>(today.day());
    const auto month = static_cast<std::uint16_t>(today.month());
    const auto year = static_cast<std::uint16_t>(today.year() - 2000);
    m_host.showMessage("Power on DL25 and wait for display:  d.At [day]");
    const qsizetype mark = m_player.replyMark();
    if (play(turn,
             {send(QString::number(day)), wait(1000), send(keypad::Run), wait(1000), send(QString::number(month)),
              wait(1000), send(keypad::Run), wait(1000), send(QString::number(year)), wait(1000), send(keypad::Run)}))
        m_player.report(mark, {}, "Set Date failed");
}

bool InstrumentCommands::ready(const Turn &turn)
{
    return turn.granted() && m_player.portReady();
}

bool InstrumentCommands::play(const Turn &turn, const Sequence &steps)
{
    if (turn.play(steps))
        return true;
    if (turn.portLost())
        m_host.setStatus("Command aborted - port lost");
    return false;
}
