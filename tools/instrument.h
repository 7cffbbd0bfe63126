#pragma once

#include "tools/electrode.h"
#include "tools/key_decoder.h"
#include "tools/method_codes.h"
#include "tools/result_report.h"

#include <QByteArray>
#include <QDate>

#include <array>
#include <deque>
#include <optional>

/// A piece of printed text and how long the instrument takes before it comes out,
/// counted from the previous piece.
struct Printout
{
    int delayMs = 0;
    QByteArray text;
};

/// The simulated titrator: reacts to its keypad keys and prints what a DL25 of our own
/// design prints. Time only exists as the delays of the printouts, so it runs without a
/// serial line or a clock.
class Instrument
{
  public:
    explicit Instrument(const QDate &today);

    /// Someone opened the line; the first time, the power-on text goes out.
    void lineConnected();
    void receive(const QByteArray &bytes);
    bool hasOutput() const;
    Printout takeOutput();

  private:
    enum class State {
        DatePrompt,
        Idle,
        RunWeight,
        RunIdentification,
        RunReady,
        RunStart,
        Titrating,
        Filling,
        Streaming,
        CalibrationBuffer4,
        CalibrationBuffer7,
        MethodEntry,
        ConfirmList,
        ConfirmLoad,
        ConfirmSave,
    };

    void handle(const KeyPress &press);
    void handleKey(const KeyPress &press);
    void handleIdle(KeyPress::Key key);
    void handleDate(KeyPress::Key key);
    void handleRun(KeyPress::Key key);
    void handleCalibration(KeyPress::Key key);
    void handleMethodEntry(KeyPress::Key key);
    void handleConfirmation(KeyPress::Key key);
    void runFunction();
    void modeFunction();
    void signalFunction();
    void fillBuret();
    void setConstant(double &constant, double largest, const QByteArray &name, const QByteArray &unit);
    void askSave();
    void askLoad();
    void confirm();
    void startTitration();
    void reset();
    void refuseKey(KeyPress::Key key);

    void queueDateExpiry();
    void dropDateExpiry();
    void print(const QByteArray &text, int delayMs = answerDelayMs);
    QByteArray takeEntry();
    std::optional<int> takeSlot();
    std::optional<MethodCodes> storedMethod(int slot) const;
    QByteArray methodName(int slot) const;
    QByteArray statusText() const;
    QByteArray methodListing() const;
    QByteArray memoryListing() const;
    QByteArray dateText() const;
    double readSignal();
    bool busy() const;

    static constexpr int answerDelayMs = 80;
    static constexpr int slotCount = 51;

    KeyDecoder m_decoder;
    State m_state = State::DatePrompt;
    QByteArray m_entry;
    bool m_connectedOnce = false;
    bool m_unknownReported = false;
    /// The last printout in the queue is the end of the power-on date prompt.
    bool m_dateExpiryQueued = false;
    std::deque<Printout> m_queue;
    qsizetype m_queuedBytes = 0;

    QDate m_date;
    int m_dateStage = 0;
    std::array<int, 3> m_dateParts{};

    MethodCodes m_method;
    int m_methodSlot = 36;
    MethodCodes m_enteredMethod;
    int m_enteredGroup = 0;
    std::array<std::optional<MethodCodes>, slotCount> m_slots;
    int m_chosenSlot = 0;
    bool m_listAll = false;

    Sample m_sample;
    double m_titer = 0.1;
    double m_reagentConstant = 0.2042;
    Electrode m_electrode;
    double m_solutionPh = 7.0;
    double m_mvAtPh4 = 0.0;
    bool m_streamPh = false;
    bool m_stirrer = false;
    bool m_keyboard = false;
    QByteArray m_lastTable;
    QByteArray m_lastResults;
};
