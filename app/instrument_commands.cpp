#include "app/instrument_commands.h"

#include "app/command_host.h"
#include "app/command_input.h"
#include "app/key_port.h"
#include "app/keypad.h"
#include "app/pause.h"
#include "common/cp1252.h"
#include "serial/connection_summary.h"

#include <QDate>

InstrumentCommands::InstrumentCommands(KeyPort &port, const Pause &pause, CommandHost &host, CommandInput &input)
    : m_port(port), m_pause(pause), m_host(host), m_input(input)
{
}

InstrumentCommands::Step InstrumentCommands::send(const QString &keys)
{
    return {Step::Kind::Send, keys};
}

InstrumentCommands::Step InstrumentCommands::wait(std::uint32_t milliseconds)
{
    return {Step::Kind::Wait, {}, milliseconds};
}

InstrumentCommands::Step InstrumentCommands::status(const QString &text)
{
    return {Step::Kind::Status, text};
}

InstrumentCommands::Step InstrumentCommands::line(const QString &text)
{
    return {Step::Kind::Line, text};
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
    if (portReady())
        play(fixedSequence(command));
}

void InstrumentCommands::startTitration()
{
    if (!portReady())
        return;
    const auto entry = m_input.askRun();
    if (!entry) {
        m_host.setStatus("Run cancelled!");
        return;
    }
    play({send(keypad::Run), wait(5000), send(entry->weight), wait(1000), send(keypad::Run), wait(2000),
          send(entry->identification), wait(1000), send(keypad::Run), wait(2000), send(keypad::Run), wait(1000),
          send(keypad::Enter), status("Run started... Please wait.")});
}

void InstrumentCommands::fillBuret()
{
    if (!portReady())
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
    play(steps);
}

void InstrumentCommands::setTiterConcentration()
{
    if (!portReady())
        return;
    if (const auto titer = m_input.askTiterConcentration())
        play({send(*titer), wait(1000), send(keypad::Const), wait(1000), send(keypad::ConstEnd)});
}

void InstrumentCommands::setReagentConstant()
{
    if (!portReady())
        return;
    if (const auto constant = m_input.askReagentConstant())
        play({send(*constant), wait(1000), send(keypad::ConstReagent), wait(1000), send(keypad::ConstEnd)});
}

void InstrumentCommands::calibratePh()
{
    if (!portReady() || !m_input.confirmBufferPh4())
        return;
    play({send(keypad::PhCalibration), wait(2000), send(keypad::Run), wait(2000)});
    if (m_input.confirmBufferPh7())
        play({send(keypad::Run), wait(1000)});
    else
        play({send(keypad::Reset)});
}

void InstrumentCommands::setDate(const QDate &today)
{
    if (!portReady())
        return;
    // The titrator takes each part as a 16-bit number; a year before 2000 wraps around.
    const auto day = static_cast<std::uint16_t>(today.day());
    const auto month = static_cast<std::uint16_t>(today.month());
    const auto year = static_cast<std::uint16_t>(today.year() - 2000);
    m_host.showMessage("Power on DL25 and wait for display:  d.At [day]");
    play({send(QString::number(day)), wait(1000), send(keypad::Run), wait(1000), send(QString::number(month)),
          wait(1000), send(keypad::Run), wait(1000), send(QString::number(year)), wait(1000), send(keypad::Run)});
}

bool InstrumentCommands::portReady()
{
    if (m_port.isOpen())
        return true;
    m_host.setStatus(notOpenMessage(m_port.name()));
    return false;
}

void InstrumentCommands::play(const Sequence &steps)
{
    for (const Step &step : steps) {
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
        }
    }
}
