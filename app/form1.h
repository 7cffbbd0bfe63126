#pragma once

#include "analysis/equivalence_points.h"
#include "analysis/signal_unit.h"
#include "curve/drawn_curve.h"
#include "data/data_block.h"
#include "data/record_counter.h"
#include "results/record_book.h"

#include <QMainWindow>
#include <QPrinter>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>

class CaptureLog;
class JournalRecorder;
class JournalWindow;
class ConfirmDialog;
class LiveCurve;
class QCheckBox;
class ResultFiles;
class ResultTable;
class ResultTableModel;
struct ResultRecord;
class Dialogs;
class InstrumentCommands;
class MethodTransfer;
class QComboBox;
class QImage;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class StatusLed;
class TickSource;
class TerminalEdit;
class TerminalText;
class TSerialBasicDLG;
class TSerialPort;
struct SerialBackend;

/// The main window: tool bar, menus, the pages "Terminal", "Table" and "Curve", the status bar,
/// and the serial port. Controls and handlers carry their fixed names; every handler a menu
/// entry, tool button or page button runs is a public member.
class TForm1 : public QMainWindow
{
    Q_OBJECT

  public:
    /// Builds the window and runs FormCreate, which opens the port with the built-in settings.
    TForm1(Dialogs &dialogs, SerialBackend backend, QWidget *parent = nullptr);
    /// Runs FormDestroy, which closes the port.
    ~TForm1() override;

    /// The curve picture's size in a window of the starting size: saved and printed curves have it.
    static constexpr QSize kSavedCurveSize{596, 477};

    /// Owned; its events reach this window on the window's thread.
    const std::unique_ptr<TSerialPort> SerialPort1;

    /// What the window works with that is created after it at start-up; not owned.
    struct Collaborators
    {
        TSerialBasicDLG &SerialBasicDLG;
        ConfirmDialog &OKRightDlg10;
        ConfirmDialog &OKRightDlg11;
        /// The instrument command set behind the command handlers, built on OKRightDlg3 to OKRightDlg9.
        InstrumentCommands &Commands;
        /// The Mode command's dialog and transfers.
        MethodTransfer &Transfer;
        /// The method dialog holds edits that no method file has.
        std::function<bool()> hasUnsavedMethodEdits;
    };
    /// Called once, before the window is shown.
    void setCollaborators(const Collaborators &collaborators);

    /// The one panel of the status bar; every command's feedback replaces the last text.
    QString statusText() const;
    void setStatusText(const QString &text);

    /// Adds a text to the terminal on a line of its own.
    void addTerminalLine(const QString &line);
    const TerminalText &terminalText() const;

    /// The platform's file, print and message dialogs.
    Dialogs &dialogs() const { return m_dialogs; }
    /// Shows PrintDialog1 for the shared printer; true when the user confirmed.
    bool executePrintDialog();
    QPrinter &printer() { return m_printer; }
    /// True when fileName does not exist yet, or OKRightDlg11 allowed overwriting it.
    bool confirmOverwrite(const QString &fileName);
    /// Brings a page to the front as the program does, without running ChangePageControl.
    void selectPage(int index);

    // Terminal, files, printing, clipboard, help.
    void SerialPort1RxClusterEvent();
    void SerialPort1RxCharEvent();
    /// Runs after every change of the terminal text; from is the offset of the first changed
    /// byte of terminalText(), the text before it is as it was.
    void TerminalChanged(qsizetype from);
    void TerminalMouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    void SendClick();
    void BitBtn2Click();
    void New1Click();
    void Open1Click();
    void Save1Click();
    void Print1Click();
    void PrintSetup1Click();
    void Cut1Click();
    void Copy1Click();
    void Paste1Click();
    void Selectall1Click();
    void BasicSettingsBtnClick();
    void OpenCaptureFolder1Click();
    void Contents1Click();
    void HelpContents1Click();
    void Journal1Click();
    void LabServer1Click();
    void About1Click();
    void QuitClick();

    // Instrument commands.
    void ResetClick();
    void StatusClick();
    void BitBtn6Click();
    void BitBtn7Click();
    void BitBtn9Click();
    void RunClick();
    void ViewmVpH1Click();
    void ViewpH1Click();
    void Fillburet1Click();
    void Getresultsshort1Click();
    void Getresultstable1Click();
    void iterconcentration1Click();
    void Reagentconstant1Click();
    void pHCalibration1Click();
    void Keyboard1Click();
    void SetDate1Click();
    void Mode1Click();

    // Data records, result table and curve.
    /// Number of data rows the last parse wrote into Table; the curve draws that many.
    int DataRowCount = 0;
    void ChangePageControl();
    void ShowCurve();
    void Graph2Click();
    void BitBtn1Click();
    void SavetoExcel1Click();
    void ClearTableClick();
    void BtPrintCurveClick();
    void SaveClick();

    // Results beyond the table and the curve.
    void SaveasCSV1Click();
    void SaveasXLSX1Click();
    void ExportReport1Click();
    /// A titration was started from the run dialog; its table will be the next record.
    void runStarted(const RunEntry &entry);
    /// The run last started never began on the titrator.
    void runFailed();
    /// Asks before a running titration is given up, and marks its record aborted when the user
    /// agrees; true when nothing runs or the user agreed.
    bool confirmAbortRun();
    /// Asks before the program ends with a running titration or unsaved method edits.
    bool confirmQuit();

  signals:
    /// The window was closed; the program ends once the handler that is running has returned.
    void closed();

  protected:
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    void FormCreate();
    void FormDestroy();
    void setUpPort();
    void showConnectionState();
    void showConnectionChange(const char *change);
    void buildToolBar();
    void buildMenus();
    QWidget *buildTerminalPage();
    QWidget *buildTablePage();
    QWidget *buildCurvePage();
    void writeTerminalFile(const QString &fileName);
    void FindRecords(qsizetype from);
    void ChooseSelectedData(int RecordNo);
    void FillTableAutomatic(const QString &Data);
    void showRows(const QList<DataRow> &rows);
    void clearResults();
    void showChosenRecord();
    void settleRecords();
    void recordsCompleted();
    ResultRecord currentRecord() const;
    ResultRecord recordOf(int recordNo) const;
    QString journalRecord(int recordNo);
    bool hasManualSelection() const;
    QImage curvePicture() const;
    void drawCurvePicture(bool warn);
    void updateResults();
    void followNewestRecord();
    std::optional<QByteArray> newestRecordData() const;
    ResultRecord resultRecord();

    Dialogs &m_dialogs;
    TSerialBasicDLG *SerialBasicDLG = nullptr;
    ConfirmDialog *OKRightDlg10 = nullptr;
    ConfirmDialog *OKRightDlg11 = nullptr;
    InstrumentCommands *Commands = nullptr;
    MethodTransfer *Transfer = nullptr;
    std::function<bool()> m_hasUnsavedMethodEdits;
    QPrinter m_printer{QPrinter::HighResolution};
    // Set while the program changes the page, which must not run ChangePageControl.
    bool m_selectingPage = false;
    RecordCounter m_records;
    RecordBook m_book;
    std::shared_ptr<TickSource> m_ticks;
    // Polls for the quiet after a received table, which completes its record.
    QTimer m_settle;
    // The data rows last parsed and where they came from, so an unchanged source is not parsed again.
    struct ParsedTable
    {
        int recordNo = -1;
        QByteArray data;
        QList<DataRow> rows;
    } m_parsed;
    // Set once the user agreed to close, so the close event does not ask again.
    bool m_closeConfirmed = false;
    // The unit named by the header of the record last parsed; unknown for a selection by hand.
    std::optional<SignalUnit> m_recordUnit;
    int m_recordNo = 0;
    SignalUnit m_unit = SignalUnit::pH;
    QList<EquivalencePoint> m_points;
    // What the curve page's picture was last drawn from; saving and printing draw it again.
    std::optional<DrawnCurve> m_drawnCurve;
    std::unique_ptr<LiveCurve> m_liveCurve;
    std::unique_ptr<ResultFiles> m_resultFiles;

    QToolBar *ToolBar1 = nullptr;
    QTabWidget *PageControl1 = nullptr;
    TerminalEdit *Terminal = nullptr;
    StatusLed *LED = nullptr;
    QLineEdit *Edit1 = nullptr;
    QPushButton *Send = nullptr;
    QPushButton *BitBtn2 = nullptr;
    QComboBox *comboBoxSelectRecord = nullptr;
    QLabel *LabelResult = nullptr;
    ResultTable *Table = nullptr;
    /// The cells that Table shows.
    ResultTableModel *m_cells = nullptr;
    QLabel *Titrationskurve = nullptr;
    QCheckBox *MarkEquivalencePoints = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *m_statusPanel = nullptr;
    /// Right end of the status bar: the port, its line settings and its state.
    QLabel *m_connectionPanel = nullptr;
    QLabel *m_labJournalPanel = nullptr;
    std::unique_ptr<CaptureLog> m_capture;
    std::unique_ptr<JournalRecorder> m_journal;
    std::unique_ptr<JournalWindow> m_journalWindow;
};
