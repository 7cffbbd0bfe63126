#include "tools/instrument.h"

#include "tools/acid_base_model.h"
#include "tools/measuring_table.h"
#include "tools/titration_run.h"

#include <algorithm>

namespace {

// The sample on the bench: potassium hydrogen phthalate, dissolved in 50 mL of water.
constexpr double sampleMolarMass = 204.22;
constexpr double samplePurity = 0.998;
constexpr double samplePKa = 5.41;
constexpr double waterMl = 50.0;
// What is really in the titrant bottle, whatever titer the operator enters.
constexpr double titrantMolPerL = 0.1;

constexpr int readingIntervalMs = 1000;
// The date prompt of power-on gives way to the ready state when nobody answers it.
constexpr int datePromptMs = 20000;
constexpr int measuringMs = 1500;
constexpr int fullStrokeMs = 20000;
constexpr qsizetype maxEntry = 16;
// A printer buffer that nobody empties loses what comes after.
constexpr qsizetype maxQueuedBytes = 256 * 1024;
constexpr int firstPredefinedSlot = 36;

QByteArray number(double value, int decimals, int width = 0)
{
    return QByteArray::number(value, 'f', decimals).rightJustified(width);
}

std::optional<double> parsePositive(const QByteArray &entry, double largest)
{
    bool ok = false;
    const double value = entry.toDouble(&ok);
    if (!ok || value <= 0.0 || value > largest)
        return std::nullopt;
    return value;
}

} // namespace

Instrument::Instrument(const QDate &today) : m_date(today), m_dateParts{today.day(), today.month(), today.year() % 100}
{
}

void Instrument::lineConnected()
{
    if (m_connectedOnce)
        return;
    m_connectedOnce = true;
    if (m_state != State::DatePrompt)
        return;
    print("\r\nDL25 TITRATOR   SIM 1.0\r\nd.At " + QByteArray::number(m_date.day()).rightJustified(2, '0') + "\r\n");
    queueDateExpiry();
}

void Instrument::receive(const QByteArray &bytes)
{
    for (const KeyPress &press : m_decoder.decode(bytes))
        handle(press);
}

bool Instrument::hasOutput() const
{
    return !m_queue.empty() || m_state == State::Streaming;
}

Printout Instrument::takeOutput()
{
    if (m_queue.empty())
        return {readingIntervalMs, m_streamPh ? "  pH = " + number(readSignal(), 2, 7) + "\r\n"
                                              : "  E = " + number(readSignal(), 1, 8) + " mV\r\n"};
    Printout printout = m_queue.front();
    m_queue.pop_front();
    m_queuedBytes -= printout.text.size();
    if (m_queue.empty() && (busy() || m_dateExpiryQueued))
        m_state = State::Idle;
    m_dateExpiryQueued = m_dateExpiryQueued && !m_queue.empty();
    return printout;
}

void Instrument::handle(const KeyPress &press)
{
    if (m_state == State::DatePrompt) {
        dropDateExpiry();
        handleKey(press);
        if (m_state == State::DatePrompt)
            queueDateExpiry();
        return;
    }
    handleKey(press);
}

void Instrument::handleKey(const KeyPress &press)
{
    if (press.key == KeyPress::Unknown) {
        // One complaint per run of unreadable bytes, and none into a running printout.
        if (!m_unknownReported && !busy() && m_state != State::Streaming)
            print("E0 KEY ?\r\n");
        m_unknownReported = true;
        return;
    }
    m_unknownReported = false;
    if (press.key == KeyPress::Reset)
        return reset();
    if (busy() || m_state == State::Streaming)
        return;
    if (press.key == KeyPress::Digit) {
        m_entry = (m_entry + press.character).right(maxEntry);
        return;
    }
    if (press.key == KeyPress::Status && m_state != State::Idle && m_state != State::DatePrompt)
        return print(statusText());
    switch (m_state) {
    case State::DatePrompt:
        return handleDate(press.key);
    case State::RunWeight:
    case State::RunIdentification:
    case State::RunReady:
    case State::RunStart:
        return handleRun(press.key);
    case State::CalibrationBuffer4:
    case State::CalibrationBuffer7:
        return handleCalibration(press.key);
    case State::MethodEntry:
        return handleMethodEntry(press.key);
    case State::ConfirmList:
    case State::ConfirmLoad:
    case State::ConfirmSave:
        return handleConfirmation(press.key);
    default:
        return handleIdle(press.key);
    }
}

void Instrument::handleIdle(KeyPress::Key key)
{
    switch (key) {
    case KeyPress::Status:
        return print(statusText());
    case KeyPress::Run:
        return runFunction();
    case KeyPress::Mode:
        return modeFunction();
    case KeyPress::PhCalibration:
        return signalFunction();
    case KeyPress::Buret:
        return fillBuret();
    case KeyPress::Const:
        return setConstant(m_titer, 10.0, "TITER", " mol/L");
    case KeyPress::ConstReagent:
        return setConstant(m_reagentConstant, 1000.0, "REAGENT CONST", "");
    case KeyPress::Save:
        return askSave();
    case KeyPress::Method:
        return askLoad();
    case KeyPress::Keyboard:
        m_keyboard = true;
        return print("KEYBOARD ENABLED\r\n");
    default:
        m_entry.clear();
    }
}

void Instrument::handleDate(KeyPress::Key key)
{
    // Any other key than RUN after a typed value skips the date entry, as on power-on.
    if (key != KeyPress::Run || (m_entry.isEmpty() && m_dateStage == 0)) {
        m_state = State::Idle;
        return handleIdle(key);
    }
    static constexpr std::array<int, 3> largest{31, 12, 99};
    static constexpr std::array<const char *, 3> prompts{"d.At ", "Mo.  ", "Yr.  "};
    const QByteArray entry = takeEntry();
    bool ok = true;
    const int value = entry.isEmpty() ? m_dateParts[m_dateStage] : entry.toInt(&ok);
    if (!ok || value < (m_dateStage == 2 ? 0 : 1) || value > largest[m_dateStage])
        return print("E3 RANGE\r\n" + QByteArray(prompts[m_dateStage]) + "\r\n");
    m_dateParts[m_dateStage++] = value;
    if (m_dateStage < 3) {
        const int shown = m_dateStage == 1 ? m_date.month() : m_date.year() % 100;
        m_dateParts[m_dateStage] = shown;
        return print(prompts[m_dateStage] + QByteArray::number(shown).rightJustified(2, '0') + "\r\n");
    }
    const QDate date(2000 + m_dateParts[2], m_dateParts[1], m_dateParts[0]);
    m_dateStage = 0;
    m_dateParts[0] = m_date.day();
    if (!date.isValid())
        return print("E3 DATE\r\nd.At\r\n");
    m_date = date;
    m_state = State::Idle;
    print("DATE " + dateText() + "\r\n");
}

void Instrument::handleRun(KeyPress::Key key)
{
    if (m_state == State::RunStart && key == KeyPress::Enter)
        return startTitration();
    if (key != KeyPress::Run || m_state == State::RunStart)
        return refuseKey(key);
    const QByteArray entry = takeEntry();
    if (m_state == State::RunWeight) {
        if (!entry.isEmpty()) {
            const std::optional<double> weight = parsePositive(entry, 100.0);
            if (!weight)
                print("E3 WEIGHT ?\r\n");
            m_sample.weightG = weight.value_or(m_sample.weightG);
        }
        m_state = State::RunIdentification;
        return print("  W = " + number(m_sample.weightG, 4, 9) + " g\r\nSAMPLE ID ?\r\n");
    }
    if (m_state == State::RunIdentification) {
        if (!entry.isEmpty())
            m_sample.identification = entry.left(8);
        m_state = State::RunReady;
        return print("  ID " + m_sample.identification + "\r\nELECTRODE IN SAMPLE ?  RUN\r\n");
    }
    m_stirrer = true;
    m_state = State::RunStart;
    print("STIRRER ON\r\nSTART ?  ENTER\r\n");
}

void Instrument::handleCalibration(KeyPress::Key key)
{
    if (key != KeyPress::Run)
        return refuseKey(key);
    m_entry.clear();
    if (m_state == State::CalibrationBuffer4) {
        m_mvAtPh4 = m_electrode.potentialMv(4.0);
        m_state = State::CalibrationBuffer7;
        return print("  E1 = " + number(m_mvAtPh4, 1, 7) + " mV\r\nBUFFER 2  pH 7.00  RUN\r\n", measuringMs);
    }
    const double mvAtPh7 = m_electrode.potentialMv(7.0);
    m_state = State::Idle;
    m_solutionPh = 7.0;
    QByteArray text = "  E2 = " + number(mvAtPh7, 1, 7) + " mV\r\n";
    if (!m_electrode.calibrate(m_mvAtPh4, mvAtPh7))
        return print(text + "E6 ELECTRODE ?  CALIBRATION NOT STORED\r\n", measuringMs);
    print(text + "SLOPE " + number(m_electrode.slopePercent(), 1, 6) + " %   ZERO " +
              number(m_electrode.zeroPh(), 2, 5) + " pH\r\nCALIBRATION STORED\r\n",
          measuringMs);
}

void Instrument::handleMethodEntry(KeyPress::Key key)
{
    if (key != KeyPress::Run)
        return refuseKey(key);
    const QByteArray entry = takeEntry();
    const std::optional<MethodCodes::Group> digits = MethodCodes::parseEntry(entry);
    QByteArray text = "  GROUP " + QByteArray(1, MethodCodes::label(m_enteredGroup)) + "  ";
    if (!entry.isEmpty() && digits)
        m_enteredMethod.setGroup(m_enteredGroup, *digits);
    if (!digits)
        text = "E1 INVALID, KEPT\r\n" + text;
    text += m_enteredMethod.groupText(m_enteredGroup) + "\r\n";
    if (++m_enteredGroup < MethodCodes::groupCount)
        return print(text);
    m_method = m_enteredMethod;
    m_methodSlot = -1;
    m_state = State::Idle;
    print(text + "METHOD ACCEPTED AS CURRENT\r\n");
}

void Instrument::handleConfirmation(KeyPress::Key key)
{
    const KeyPress::Key confirming = m_state == State::ConfirmSave ? KeyPress::Save : KeyPress::Enter;
    if (key == confirming)
        return confirm();
    // Any other key drops the question and does what it does at rest.
    m_state = State::Idle;
    handleIdle(key);
}

void Instrument::confirm()
{
    const State state = m_state;
    m_state = State::Idle;
    if (state == State::ConfirmList)
        return print(m_listAll ? memoryListing() : methodListing());
    if (state == State::ConfirmSave) {
        m_slots[m_chosenSlot] = m_method;
        m_methodSlot = m_chosenSlot;
        return print("METHOD SAVED AS " + methodName(m_chosenSlot) + "\r\n", measuringMs);
    }
    const std::optional<MethodCodes> stored = storedMethod(m_chosenSlot);
    if (!stored)
        return print("E5 " + methodName(m_chosenSlot) + " EMPTY\r\n");
    m_method = *stored;
    m_methodSlot = m_chosenSlot;
    print("METHOD " + methodName(m_chosenSlot) + " LOADED\r\n", measuringMs);
}

void Instrument::runFunction()
{
    const QByteArray entry = takeEntry();
    if (entry.isEmpty()) {
        m_state = State::RunWeight;
        return print("\r\nTITRATION  " + methodName(m_methodSlot) + "\r\nWEIGHT g ?\r\n");
    }
    if (entry == "2") {
        m_stirrer = !m_stirrer;
        return print(m_stirrer ? "STIRRER ON\r\n" : "STIRRER OFF\r\n");
    }
    if (entry == "4" || entry == "7") {
        if (m_lastResults.isEmpty())
            return print("E8 NO RESULTS\r\n");
        return print(entry == "7" ? "\r\n" + m_lastTable + m_lastResults : m_lastResults);
    }
    print("E2 FUNCTION ?\r\n");
}

void Instrument::modeFunction()
{
    const QByteArray entry = takeEntry();
    if (entry == "1") {
        m_enteredMethod = m_method;
        m_enteredGroup = 0;
        m_state = State::MethodEntry;
        return print("METHOD ENTRY\r\n");
    }
    if (entry != "0" && entry != "2")
        return print("E2 MODE ?\r\n");
    m_listAll = entry == "0";
    m_state = State::ConfirmList;
    print(m_listAll ? "LIST ALL METHODS ?  ENTER\r\n" : "LIST METHOD ?  ENTER\r\n");
}

void Instrument::signalFunction()
{
    const QByteArray entry = takeEntry();
    if (entry.isEmpty()) {
        m_state = State::CalibrationBuffer4;
        m_solutionPh = 4.0;
        return print("\r\nCALIBRATION\r\nBUFFER 1  pH 4.00  RUN\r\n");
    }
    if (entry != "2" && entry != "3")
        return print("E2 FUNCTION ?\r\n");
    m_streamPh = entry == "3";
    m_state = State::Streaming;
    print(m_streamPh ? "SIGNAL pH\r\n" : "SIGNAL mV\r\n");
}

void Instrument::fillBuret()
{
    const QByteArray entry = takeEntry();
    const double buret = m_method.buretVolumeMl();
    const std::optional<double> volume = entry.isEmpty() ? buret : parsePositive(entry, buret);
    if (!volume)
        return print("E3 VOLUME ?\r\n");
    m_state = State::Filling;
    print("FILLING BURET " + number(*volume, 3, 8) + " mL\r\n");
    print("BURET READY\r\n", static_cast<int>(fullStrokeMs * *volume / buret));
}

void Instrument::setConstant(double &constant, double largest, const QByteArray &name, const QByteArray &unit)
{
    const QByteArray entry = takeEntry();
    if (!entry.isEmpty()) {
        const std::optional<double> value = parsePositive(entry, largest);
        if (!value)
            return print("E3 " + name + " ?\r\n");
        constant = *value;
    }
    print(name + " " + number(constant, 4, 8) + unit + "\r\n");
}

void Instrument::askSave()
{
    const std::optional<int> slot = takeSlot();
    if (!slot)
        return print("E4 METHOD NO. ?\r\n");
    if (*slot >= firstPredefinedSlot)
        return print("E7 " + methodName(*slot) + " PREDEFINED, NOT SAVED\r\n");
    m_chosenSlot = *slot;
    m_state = State::ConfirmSave;
    print("SAVE METHOD AS " + methodName(*slot) + " ?  SAVE\r\n");
}

void Instrument::askLoad()
{
    const std::optional<int> slot = takeSlot();
    if (!slot)
        return print("E4 METHOD NO. ?\r\n");
    m_chosenSlot = *slot;
    m_state = State::ConfirmLoad;
    print("LOAD METHOD " + methodName(*slot) + " ?  ENTER\r\n");
}

void Instrument::startTitration()
{
    const AcidBaseModel sample(m_sample.weightG * 1000.0 * samplePurity / sampleMolarMass, samplePKa, waterMl,
                               titrantMolPerL);
    const bool measuresPh = m_method.measuresPh();
    const TitrationRun run(m_method, m_titer, [&](double volumeMl) {
        const double potential = m_electrode.potentialMv(sample.pH(volumeMl));
        return measuresPh ? m_electrode.displayedPh(potential) : potential;
    });
    ++m_sample.number;
    m_state = State::Titrating;
    m_solutionPh = sample.pH(run.points().back().volumeMl);
    print("TITRATION STARTED  " + dateText() + "\r\n");
    if (m_method.agitationSeconds() > 0)
        print("STIRRING " + QByteArray::number(m_method.agitationSeconds()) + " s\r\n");
    const MeasuringTable table(measuresPh);
    m_lastTable = table.header();
    print(m_lastTable, m_method.agitationSeconds() * 1000);
    for (const MeasuringPoint &point : run.points()) {
        m_lastTable += table.line(point);
        print(table.line(point), static_cast<int>(point.seconds * 1000.0));
    }
    const ResultReport report(measuresPh, m_method.resultUnit(), m_titer, m_reagentConstant);
    m_lastResults = report.text(m_sample, run.end());
    print(m_lastResults);
}

void Instrument::reset()
{
    m_queue.clear();
    m_queuedBytes = 0;
    m_entry.clear();
    m_state = State::Idle;
    m_stirrer = false;
    print("\r\nRESET\r\n");
}

void Instrument::refuseKey(KeyPress::Key key)
{
    m_entry.clear();
    if (key != KeyPress::Enter)
        print("E1 KEY NOT ALLOWED\r\n");
}

void Instrument::queueDateExpiry()
{
    const std::size_t queued = m_queue.size();
    print("READY\r\n", datePromptMs);
    m_dateExpiryQueued = m_queue.size() > queued;
}

void Instrument::dropDateExpiry()
{
    if (!m_dateExpiryQueued)
        return;
    m_queuedBytes -= m_queue.back().text.size();
    m_queue.pop_back();
    m_dateExpiryQueued = false;
}

void Instrument::print(const QByteArray &text, int delayMs)
{
    if (m_queuedBytes + text.size() > maxQueuedBytes)
        return;
    m_queue.push_back({delayMs, text});
    m_queuedBytes += text.size();
}

QByteArray Instrument::takeEntry()
{
    QByteArray entry;
    std::swap(entry, m_entry);
    return entry;
}

std::optional<int> Instrument::takeSlot()
{
    bool ok = false;
    const int slot = takeEntry().toInt(&ok);
    if (!ok || slot < 0 || slot >= slotCount)
        return std::nullopt;
    return slot;
}

std::optional<MethodCodes> Instrument::storedMethod(int slot) const
{
    return slot >= firstPredefinedSlot ? MethodCodes::predefined(slot) : m_slots[slot];
}

QByteArray Instrument::methodName(int slot) const
{
    return slot < 0 ? "ENTERED" : "M" + QByteArray::number(slot);
}

QByteArray Instrument::statusText() const
{
    return "\r\nSTATUS DL25\r\n  METHOD        " + methodName(m_methodSlot) + "\r\n  SIGNAL        " +
           (m_method.measuresPh() ? "pH" : "mV") + "\r\n  TITER         " + number(m_titer, 4) +
           " mol/L\r\n  REAGENT CONST " + number(m_reagentConstant, 4) + "\r\n  SLOPE         " +
           number(m_electrode.slopePercent(), 1) + " %\r\n  ZERO          " + number(m_electrode.zeroPh(), 2) +
           " pH\r\n  BURET         " + number(m_method.buretVolumeMl(), 0) + " mL\r\n  STIRRER       " +
           (m_stirrer ? "ON" : "OFF") + "\r\n  KEYBOARD      " + (m_keyboard ? "ON" : "OFF") + "\r\n  DATE          " +
           dateText() + "\r\n  SAMPLES       " + QByteArray::number(m_sample.number) + "\r\n";
}

QByteArray Instrument::methodListing() const
{
    QByteArray text = "\r\nMETHOD " + methodName(m_methodSlot) + "\r\n";
    for (int group = 0; group < MethodCodes::groupCount; ++group)
        text += "  " + QByteArray(1, MethodCodes::label(group)) + "   " + m_method.groupText(group) + "\r\n";
    return text;
}

QByteArray Instrument::memoryListing() const
{
    QByteArray text = "\r\nMETHOD MEMORY\r\n";
    for (int slot = 0; slot < slotCount; ++slot) {
        const std::optional<MethodCodes> method = storedMethod(slot);
        text += "  " + methodName(slot).leftJustified(5);
        for (int group = 0; group < MethodCodes::groupCount; ++group)
            text += " " + (method ? method->groupText(group) : QByteArray("----"));
        text += "\r\n";
    }
    return text;
}

QByteArray Instrument::dateText() const
{
    return m_date.toString("dd.MM.yy").toLatin1();
}

double Instrument::readSignal()
{
    const double potential = m_electrode.potentialMv(m_solutionPh);
    return m_streamPh ? m_electrode.displayedPh(potential) : potential;
}

bool Instrument::busy() const
{
    return m_state == State::Titrating || m_state == State::Filling;
}
