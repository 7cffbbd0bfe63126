#include "app/form1.h"

#include "analysis/result_text.h"
#include "app/status_led.h"
#include "commands/confirm_dialog.h"
#include "commands/instrument_commands.h"
#include "commands/method_transfer.h"
#include "common/cp1252.h"
#include "common/dialogs.h"
#include "common/file_save.h"
#include "controls/fonts.h"
#include "controls/tab_page.h"
#include "controls/lazy_list_view.h"
#include "curve/curve_columns.h"
#include "curve/curve_print.h"
#include "curve/drawn_curve.h"
#include "data/record_list.h"
#include "data/record_text.h"
#include "data/table_printer.h"
#include "data/table_snapshot.h"
#include "data/worksheet_writer.h"
#include "help/help_window.h"
#include "method/method_folder.h"
#include "results/capture_log.h"
#include "results/journal/journal_recorder.h"
#include "results/journal/journal_window.h"
#include "results/journal/lab_server_dialog.h"
#include "results/live_curve.h"
#include "results/result_files.h"
#include "results/result_record.h"
#include "results/result_table.h"
#include "results/result_table_model.h"
#include "serial/connection_summary.h"
#include "serial/serial_port.h"
#include "serial/tick_source.h"
#include "serial/ui/serial_basic_dlg.h"
#include "terminal/terminal_accessible_notifier.h"
#include "terminal/terminal_edit.h"
#include "terminal/terminal_print.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <array>

namespace {

using Handler = void (TForm1::*)();

const QColor kSilver(0xC0, 0xC0, 0xC0);
const QColor kLampIdle(0x80, 0x80, 0x80);
const QColor kLampReceiving(0xFF, 0x00, 0x00);

const QString kFirstTerminalLine = QStringLiteral("Terminal DL 25 - Laborkurs Nord");
constexpr std::array<int, 5> kColumnWidths = {93, 95, 96, 85, 96};
// A manual selection of more lines than a worksheet holds is refused before any row is built.
constexpr qsizetype kMaxSelectedLines = 16384;

struct ToolButtonSpec
{
    const char *hint; // empty: the button shows no hint
    const char *icon; // desktop theme name; the bundled picture has the same name
    Handler handler;
};

// Left to right; a null handler is a separator.
const ToolButtonSpec kToolButtons[] = {
    {"New File", "document-new", &TForm1::New1Click},
    {"Open File", "document-open", &TForm1::Open1Click},
    {"", "document-save", &TForm1::Save1Click},
    {"", "document-print", &TForm1::Print1Click},
    {nullptr, nullptr, nullptr},
    {"Cut", "edit-cut", &TForm1::Cut1Click},
    {"Copy", "edit-copy", &TForm1::Copy1Click},
    {"Paste", "edit-paste", &TForm1::Paste1Click},
    {"Select All", "edit-select-all", &TForm1::Selectall1Click},
    {nullptr, nullptr, nullptr},
    {"Fill Buret", "go-bottom", &TForm1::Fillburet1Click},
    {"Mode", "preferences-system", &TForm1::Mode1Click},
    {"List Method", "document-properties", &TForm1::BitBtn6Click},
    {"List All Methods", "format-justify-fill", &TForm1::BitBtn7Click},
    {nullptr, nullptr, nullptr},
    {"Run", "media-playback-start", &TForm1::RunClick},
    {"Show Results (table)", "x-office-spreadsheet", &TForm1::Getresultstable1Click},
    {"Reset", "view-refresh", &TForm1::ResetClick},
    {"Status", "dialog-information", &TForm1::StatusClick},
    {nullptr, nullptr, nullptr},
    {"Keyboard on", "input-keyboard", &TForm1::Keyboard1Click},
    {nullptr, nullptr, nullptr},
    {"Help", "help-contents", &TForm1::Contents1Click},
    {nullptr, nullptr, nullptr},
    {"Exit The Program", "application-exit", &TForm1::QuitClick},
};

struct MenuEntrySpec
{
    const char *caption; // "-" is a separator
    const char *name;
    const char *shortcut;
    Handler handler; // null: shown disabled
};

struct MenuSpec
{
    const char *caption;
    const char *name;
    std::initializer_list<MenuEntrySpec> entries;
};

const MenuEntrySpec kSeparator = {"-", "", "", nullptr};

const MenuSpec kMenus[] = {
    {"&File",
     "File1",
     {{"&New", "New1", "Ctrl+N", &TForm1::New1Click},
      {"&Open...", "Open1", "Ctrl+O", &TForm1::Open1Click},
      {"&Save as Text file", "Save1", "Ctrl+S", &TForm1::Save1Click},
      {"Save as &Excel file", "SavetoExcel1", "", &TForm1::SavetoExcel1Click},
      {"Save as &CSV...", "SaveasCSV1", "", &TForm1::SaveasCSV1Click},
      {"Save as X&LSX...", "SaveasXLSX1", "", &TForm1::SaveasXLSX1Click},
      {"Export &Report...", "ExportReport1", "", &TForm1::ExportReport1Click},
      kSeparator,
      {"&Print...", "Print1", "Ctrl+P", &TForm1::Print1Click},
      {"Print Set&up...", "PrintSetup1", "", &TForm1::PrintSetup1Click},
      kSeparator,
      {"Open capture &folder", "OpenCaptureFolder1", "", &TForm1::OpenCaptureFolder1Click},
      kSeparator,
      {"E&xit", "Exit1", "Ctrl+Q", &TForm1::QuitClick}}},
    {"&Edit",
     "Edit2",
     {{"Cu&t", "Cut1", "Ctrl+X", &TForm1::Cut1Click},
      {"&Copy", "Copy1", "Ctrl+C", &TForm1::Copy1Click},
      {"&Paste", "Paste1", "Ctrl+V", &TForm1::Paste1Click},
      {"Select &all", "Selectall1", "", &TForm1::Selectall1Click},
      {"&Replace", "Replace1", "", nullptr}}},
    {"&Titrator Setup",
     "TitratorSetup1",
     {{"Set &Date", "SetDate1", "", &TForm1::SetDate1Click},
      {"&Fill Buret", "Fillburet1", "", &TForm1::Fillburet1Click},
      {"p&H Calibration", "pHCalibration1", "", &TForm1::pHCalibration1Click},
      {"Reagent &Constant", "Reagentconstant1", "", &TForm1::Reagentconstant1Click},
      {"T&iter Concentration", "iterconcentration1", "", &TForm1::iterconcentration1Click},
      {"&Series Input", "SeriesInput1", "", nullptr},
      {"Com &Port Settings", "ComPortSettings1", "", &TForm1::BasicSettingsBtnClick}}},
    {"&Method",
     "Method1",
     {{"&Mode (Method Setup)", "Mode1", "", &TForm1::Mode1Click},
      {"List &Current Method", "ListCurrentMethod1", "", &TForm1::BitBtn6Click},
      {"List &All Methods", "ListAllMethods1", "", &TForm1::BitBtn7Click}}},
    {"Titr&ation",
     "Titration1",
     {{"Start Titration (&run)", "StartTitration1", "", &TForm1::RunClick},
      {"S&eries Run", "SeriesRun1", "", nullptr},
      {"Get Results (s&hort)", "Getresultsshort1", "", &TForm1::Getresultsshort1Click},
      {"Get Results (&table)", "Getresultstable1", "", &TForm1::Getresultstable1Click},
      {"View &pH", "ViewpH1", "", &TForm1::ViewpH1Click},
      {"View &mV", "ViewmVpH1", "", &TForm1::ViewmVpH1Click},
      // The tool bar's two commands of their own, so that the keyboard reaches them too.
      kSeparator,
      {"Re&set", "Reset1", "", &TForm1::ResetClick},
      {"Stat&us", "Status1", "", &TForm1::StatusClick}}},
    {"T&oggle",
     "Toggle1",
     {{"&Keyboard", "Keyboard1", "", &TForm1::Keyboard1Click}, {"&Stirrer", "Stirrer1", "", &TForm1::BitBtn9Click}}},
    {"&Journal",
     "JournalMenu1",
     {{"&Open Journal...", "Journal1", "Ctrl+J", &TForm1::Journal1Click},
      {"Lab &server...", "LabServer1", "", &TForm1::LabServer1Click}}},
    {"&Help",
     "Help1",
     {{"&Contents", "HelpContents1", "", &TForm1::HelpContents1Click},
      {"Co&mmands", "Contents1", "", &TForm1::Contents1Click},
      {"&About...", "About1", "", &TForm1::About1Click}}},
};

QString withoutAccessKey(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

QPushButton *makeButton(const QString &name, const QString &caption, QWidget *parent = nullptr)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleName(caption);
    return button;
}

QLabel *makeLabel(const QString &name, const QString &caption)
{
    auto *label = new QLabel(caption);
    label->setObjectName(name);
    label->setAccessibleName(caption);
    return label;
}

template <typename Widget> Widget *named(Widget *widget, const QString &name)
{
    widget->setObjectName(name);
    widget->setAccessibleName(name);
    return widget;
}

} // namespace

TForm1::TForm1(Dialogs &dialogs, SerialBackend backend, QWidget *parent)
    : QMainWindow(parent), SerialPort1(std::make_unique<TSerialPort>(this, backend)), m_dialogs(dialogs),
      m_ticks(backend.ticks), m_liveCurve(std::make_unique<LiveCurve>(
                                  backend.ticks, [this] { return newestRecordData(); },
                                  [this] {
                                      ChooseSelectedData(comboBoxSelectRecord->count());
                                      drawCurvePicture(false);
                                  })),
      m_resultFiles(std::make_unique<ResultFiles>(
          dialogs, this, [this](const QString &fileName) { return confirmOverwrite(fileName); })),
      m_capture(std::make_unique<CaptureLog>(CaptureLog::defaultFolder())),
      m_journal(std::make_unique<JournalRecorder>())
{
    m_settle.setInterval(250);
    connect(&m_settle, &QTimer::timeout, this, &TForm1::settleRecords);
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Korvane"));
    setFont(fonts::arial(13));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, kSilver);
    setPalette(colours);

    setUpPort();
    buildToolBar();
    buildMenus();

    PageControl1 = named(new QTabWidget, QStringLiteral("PageControl1"));
    PageControl1->addTab(buildTerminalPage(), QStringLiteral("Terminal"));
    PageControl1->addTab(buildTablePage(), QStringLiteral("Table"));
    PageControl1->addTab(buildCurvePage(), QStringLiteral("Curve"));
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (!m_selectingPage)
            ChangePageControl();
    });
    setCentralWidget(PageControl1);
    // F1 opens the manual on the page in front.
    auto *help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] {
        static const char *const pages[] = {"main-window#terminal", "main-window#table", "main-window#curve"};
        HelpWindow::open(QString::fromLatin1(pages[PageControl1->currentIndex()]));
    });

    StatusBar1 = named(new QStatusBar, QStringLiteral("StatusBar1"));
    m_statusPanel = new QLabel;
    m_statusPanel->setObjectName(QStringLiteral("StatusPanel0"));
    // No accessible name of its own: screen readers then read, and are told of, its text.
    StatusBar1->addWidget(m_statusPanel, 1);
    m_connectionPanel = new QLabel;
    m_connectionPanel->setObjectName(QStringLiteral("ConnectionPanel")); // read by its text, as the panel above
    // Shown only while rows wait for the lab server; the server's reason is its tool tip.
    m_labJournalPanel = new QLabel;
    m_labJournalPanel->setObjectName(QStringLiteral("LabJournalPanel"));
    m_labJournalPanel->hide();
    StatusBar1->addPermanentWidget(m_labJournalPanel);
    StatusBar1->addPermanentWidget(m_connectionPanel);
    m_journal->onServerStateChanged = [this](const QString &state) {
        m_labJournalPanel->setText(state);
        m_labJournalPanel->setVisible(!state.isEmpty());
        m_labJournalPanel->setToolTip(m_journal->serverReason());
    };
    m_journal->useServer(LabServerSettings::load());
    setStatusBar(StatusBar1);

    // Outer size 688 x 626 on a desktop whose frame takes 8 pixels across and 27 down.
    resize(680, 599);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(688 / 2, 626 / 2));

    FormCreate();
}

TForm1::~TForm1()
{
    FormDestroy();
    // The port goes before the controls; its last events must not reach a half-destroyed window.
    SerialPort1->OnRxClusterEvent = nullptr;
    SerialPort1->OnRxCharEvent = nullptr;
    SerialPort1->OnDeviceLost = nullptr;
    SerialPort1->OnReconnected = nullptr;
}

void TForm1::setCollaborators(const Collaborators &collaborators)
{
    SerialBasicDLG = &collaborators.SerialBasicDLG;
    OKRightDlg10 = &collaborators.OKRightDlg10;
    OKRightDlg11 = &collaborators.OKRightDlg11;
    Commands = &collaborators.Commands;
    Transfer = &collaborators.Transfer;
    m_hasUnsavedMethodEdits = collaborators.hasUnsavedMethodEdits;
}

void TForm1::setUpPort()
{
    TSerialPort &port = *SerialPort1;
    port.SetCommPort(QStringLiteral("COM1"));
    port.SetBaudRate(2400);
    port.SetDataBits(7);
    port.SetParityType(2);
    port.SetStopBits(2);
    port.SetRTOCharDelayTime(4500);
    port.SetWTOCharDelayTime(4500);
    port.SetWTOExtraDelayTime(1000);
    port.SetClusterSize(4096);
    port.SetRxQueueSize(2048);
    port.SetErrorNoise(255);
    port.OnRxClusterEvent = [this](TSerialPort *) { SerialPort1RxClusterEvent(); };
    port.OnRxCharEvent = [this](TSerialPort *) { SerialPort1RxCharEvent(); };
    port.SetAutoReconnect(true);
    port.OnDeviceLost = [this](TSerialPort *) { showConnectionChange("lost - waiting for the device"); };
    port.OnReconnected = [this](TSerialPort *) { showConnectionChange("reconnected"); };
    port.OnReconnectRefused = [this](TSerialPort *refused) {
        setStatusText(reconnectRefusedMessage(*refused));
        showConnectionState();
    };
}

void TForm1::showConnectionState()
{
    m_connectionPanel->setText(connectionSummary(*SerialPort1));
}

void TForm1::showConnectionChange(const char *change)
{
    setStatusText(QStringLiteral("Port %1 %2").arg(SerialPort1->CommPort(), QLatin1String(change)));
    showConnectionState();
}

void TForm1::buildToolBar()
{
    ToolBar1 = named(new QToolBar, QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(16, 16));
    int number = 0;
    for (const ToolButtonSpec &item : kToolButtons) {
        if (!item.handler) {
            ToolBar1->addSeparator();
            continue;
        }
        const QString name = QStringLiteral("ToolButton%1").arg(++number);
        const QString hint = QString::fromLatin1(item.hint);
        auto *button = new QToolButton;
        button->setObjectName(name);
        button->setAccessibleName(hint.isEmpty() ? name : hint);
        button->setToolTip(hint);
        button->setAutoRaise(true);
        const QString icon = QString::fromLatin1(item.icon);
        button->setIcon(QIcon::fromTheme(icon, QIcon(QStringLiteral(":/icons/%1.png").arg(icon))));
        connect(button, &QToolButton::clicked, this, item.handler);
        ToolBar1->addWidget(button);
    }
    addToolBar(ToolBar1);
}

void TForm1::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    for (const MenuSpec &item : kMenus) {
        QMenu *menu = bar->addMenu(QString::fromLatin1(item.caption));
        menu->setObjectName(QString::fromLatin1(item.name));
        menu->setAccessibleName(withoutAccessKey(menu->title()));
        for (const MenuEntrySpec &entry : item.entries) {
            if (QLatin1String(entry.caption) == QLatin1String("-")) {
                menu->addSeparator();
                continue;
            }
            QAction *action = menu->addAction(QString::fromLatin1(entry.caption));
            action->setObjectName(QString::fromLatin1(entry.name));
            action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
            action->setEnabled(entry.handler != nullptr);
            if (entry.handler)
                connect(action, &QAction::triggered, this, entry.handler);
        }
    }
}

QWidget *TForm1::buildTerminalPage()
{
    auto *page = named(new TabPage, QStringLiteral("TabSheet1"));
    Terminal = named(new TerminalEdit, QStringLiteral("Terminal"));
    TerminalAccessibleNotifier::attach(Terminal);
    QFont terminalFont = fonts::lucidaConsole();
    terminalFont.setPixelSize(11);
    Terminal->setFont(terminalFont);
    Terminal->setMinimumSize(200, 100);
    Terminal->resize(665, 425);
    connect(Terminal, &TerminalEdit::terminalChanged, this, &TForm1::TerminalChanged);
    connect(Terminal, &TerminalEdit::mouseMoved, this,
            [this](Qt::KeyboardModifiers shift, const QPoint &at) { TerminalMouseMove(shift, at.x(), at.y()); });

    LED = named(new StatusLed, QStringLiteral("LED"));
    LED->setToolTip(QStringLiteral("COM Status"));
    Edit1 = named(new QLineEdit, QStringLiteral("Edit1"));
    QFont editFont = fonts::lucidaConsole();
    editFont.setPixelSize(13);
    Edit1->setFont(editFont);
    Edit1->setAccessibleName(QStringLiteral("Send string:"));
    // "Send" is the default button: Enter in the send field presses it.
    connect(Edit1, &QLineEdit::returnPressed, this, &TForm1::SendClick);
    Send = makeButton(QStringLiteral("Send"), QStringLiteral("Send"));
    Send->setDefault(true);
    connect(Send, &QPushButton::clicked, this, &TForm1::SendClick);
    BitBtn2 = makeButton(QStringLiteral("BitBtn2"), QStringLiteral("Beautify"));
    BitBtn2->setToolTip(QStringLiteral("Remove double blank lines"));
    connect(BitBtn2, &QPushButton::clicked, this, &TForm1::BitBtn2Click);
    comboBoxSelectRecord = named(new QComboBox, QStringLiteral("comboBoxSelectRecord"));
    comboBoxSelectRecord->setEditable(true);
    comboBoxSelectRecord->setEditText(QStringLiteral("no data available"));
    // Typing into the box must not add records to the list.
    comboBoxSelectRecord->setInsertPolicy(QComboBox::NoInsert);
    // Its completer filters every item each time the newest record is selected, which made each
    // new table cost as much as the whole list.
    comboBoxSelectRecord->setCompleter(nullptr);
    comboBoxSelectRecord->setMinimumWidth(130);
    comboBoxSelectRecord->setView(new LazyListView); // screen readers get the items in view, not 100,000
    comboBoxSelectRecord->setAccessibleName(QStringLiteral("Selected data record :"));

    auto *controls = new QHBoxLayout;
    controls->addWidget(LED);
    controls->addWidget(makeLabel(QStringLiteral("Label1"), QStringLiteral("Send string:")));
    controls->addWidget(Edit1, 1);
    controls->addWidget(Send);
    controls->addWidget(BitBtn2);
    controls->addSpacing(8);
    controls->addWidget(makeLabel(QStringLiteral("Label2"), QStringLiteral("Selected data record :")));
    controls->addWidget(comboBoxSelectRecord);

    // The equivalence points of the record last parsed, under the record chooser.
    LabelResult = makeLabel(QStringLiteral("LabelResult"), QString());
    LabelResult->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(Terminal, 1);
    layout->addLayout(controls);
    layout->addWidget(LabelResult);
    return page;
}

QWidget *TForm1::buildTablePage()
{
    auto *page = named(new TabPage, QStringLiteral("TabSheet2"));
    m_cells = new ResultTableModel(ReceivedRecord::columnTitles(), this);
    Table = named(new ResultTable(m_cells), QStringLiteral("Table"));
    Table->horizontalHeader()->hide();
    Table->verticalHeader()->hide();
    Table->setRowHeight(16);
    Table->horizontalHeader()->setDefaultSectionSize(85);
    for (int column = 0; column < int(kColumnWidths.size()); ++column)
        Table->setColumnWidth(column, kColumnWidths[column]);
    QFont tableFont = fonts::lucidaConsole();
    tableFont.setPixelSize(11);
    Table->setFont(tableFont);
    // The columns keep their width; more rows show as the window grows.
    Table->setFixedWidth(505);
    Table->setMinimumHeight(200);
    // The cell editor opens on entering a cell; ranges can be selected; Tab moves between cells.
    Table->setEditTriggers(QAbstractItemView::AllEditTriggers);
    Table->setSelectionMode(QAbstractItemView::ContiguousSelection);
    Table->setTabKeyNavigation(true);

    auto *group = named(new QGroupBox, QStringLiteral("GroupBox1"));
    auto *buttons = new QVBoxLayout(group);
    const std::pair<QPushButton *, Handler> tableButtons[] = {
        {makeButton(QStringLiteral("Graph2"), QStringLiteral("Show Graph")), &TForm1::Graph2Click},
        {makeButton(QStringLiteral("BitBtn1"), QStringLiteral("Print Table")), &TForm1::BitBtn1Click},
        {makeButton(QStringLiteral("SaveTable"), QStringLiteral("Save Table")), &TForm1::SavetoExcel1Click},
        {makeButton(QStringLiteral("ClearTable"), QStringLiteral("Clear Table")), &TForm1::ClearTableClick},
    };
    for (const auto &[button, handler] : tableButtons) {
        buttons->addWidget(button);
        connect(button, &QPushButton::clicked, this, handler);
    }
    buttons->addStretch();

    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 4, 4, 4);
    layout->addWidget(Table);
    layout->addWidget(group);
    layout->addStretch();
    return page;
}

QWidget *TForm1::buildCurvePage()
{
    auto *page = named(new TabPage, QStringLiteral("TabSheet3"));
    // The curve places and sizes its picture itself, so the picture stays out of the layout.
    Titrationskurve = named(new QLabel(page), QStringLiteral("Titrationskurve"));
    Titrationskurve->move(5, 5);
    // The picture follows the page's size once it has been drawn.
    page->installEventFilter(this);

    QPushButton *print = makeButton(QStringLiteral("BtPrintCurve"), QStringLiteral("Print"));
    QPushButton *save = makeButton(QStringLiteral("Save"), QStringLiteral("Save"));
    connect(print, &QPushButton::clicked, this, &TForm1::BtPrintCurveClick);
    connect(save, &QPushButton::clicked, this, &TForm1::SaveClick);
    const QString mark = QStringLiteral("Mark equivalence points");
    MarkEquivalencePoints = new QCheckBox;
    MarkEquivalencePoints->setObjectName(QStringLiteral("MarkEquivalencePoints"));
    MarkEquivalencePoints->setAccessibleName(mark);
    MarkEquivalencePoints->setChecked(true);
    connect(MarkEquivalencePoints, &QCheckBox::toggled, this, [this] { drawCurvePicture(false); });
    // The caption stands under the box, wrapped to the narrow column, and toggles it like the box.
    auto *caption =
        new QLabel(QStringLiteral("<a href=\"mark\" style=\"color: black; text-decoration: none\">%1</a>").arg(mark));
    caption->setObjectName(QStringLiteral("LabelMarkEquivalencePoints"));
    caption->setAccessibleName(mark);
    caption->setWordWrap(true);
    caption->setBuddy(MarkEquivalencePoints);
    connect(caption, &QLabel::linkActivated, MarkEquivalencePoints, &QCheckBox::toggle);

    // The picture ends 75 pixels before the page's right edge; the column stays within them.
    constexpr int columnWidth = 70;
    auto *buttons = new QVBoxLayout;
    for (QWidget *control : std::initializer_list<QWidget *>{print, save, MarkEquivalencePoints, caption}) {
        control->setFixedWidth(columnWidth);
        buttons->addWidget(control);
    }
    buttons->addStretch();
    auto *layout = new QHBoxLayout(page);
    layout->setContentsMargins(0, 5, 2, 5);
    layout->addStretch();
    layout->addLayout(buttons);
    return page;
}

void TForm1::FormCreate()
{
    selectPage(0);
    Terminal->setText(cp1252::encode(kFirstTerminalLine + QStringLiteral("\r\n")));
    SerialPort1->SetActive(true);
    setStatusText(SerialPort1->Active() ? QStringLiteral("Ready") : SerialPort1->OpenFailure());
    showConnectionState();
}

void TForm1::FormDestroy()
{
    SerialPort1->SetActive(false);
}

QString TForm1::statusText() const
{
    return m_statusPanel->text();
}

void TForm1::setStatusText(const QString &text)
{
    m_statusPanel->setText(text);
}

void TForm1::addTerminalLine(const QString &line)
{
    Terminal->addLine(cp1252::encode(line));
}

const TerminalText &TForm1::terminalText() const
{
    return Terminal->terminalText();
}

bool TForm1::executePrintDialog()
{
    return m_dialogs.print(this, m_printer);
}

bool TForm1::confirmOverwrite(const QString &fileName)
{
    return !QFileInfo::exists(fileName) || OKRightDlg11->exec() == QDialog::Accepted;
}

void TForm1::selectPage(int index)
{
    m_selectingPage = true;
    PageControl1->setCurrentIndex(index);
    m_selectingPage = false;
}

void TForm1::closeEvent(QCloseEvent *event)
{
    if (!m_closeConfirmed && !confirmQuit()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

bool TForm1::event(QEvent *event)
{
    // Hover hints would cover the status panel, and a button without a hint never takes its
    // hint away again; status texts only replace each other.
    if (event->type() == QEvent::StatusTip)
        return true;
    return QMainWindow::event(event);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == Titrationskurve->parentWidget() &&
        !Titrationskurve->pixmap().isNull())
        drawCurvePicture(false);
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::SerialPort1RxClusterEvent()
{
    LED->setColor(kLampIdle);
    if (SerialPort1->NextClusterSize() >= 0) {
        const QByteArray cluster = SerialPort1->ReadNextCluster();
        if (const std::optional<QString> status = m_capture->append(cluster, statusText()))
            setStatusText(*status);
        m_book.received(cluster, QDateTime::currentDateTime(), m_ticks->now());
        Terminal->appendReceived(cluster);
        recordsCompleted();
    }
    Terminal->scrollToEnd();
}

void TForm1::settleRecords()
{
    m_book.settle(m_ticks->now());
    recordsCompleted();
}

// A record is complete once its results have come: the table then describes it for good, and a
// run's end is told.
void TForm1::recordsCompleted()
{
    if (m_book.settling())
        m_settle.start();
    else
        m_settle.stop();
    for (const int recordNo : m_book.takeCompleted()) {
        if (recordNo == 0)
            continue;
        if (recordNo == comboBoxSelectRecord->currentIndex() + 1 && !hasManualSelection())
            ChooseSelectedData(recordNo);
        const std::shared_ptr<const ReceivedRecord> record = m_book.receivedOf(recordNo);
        if (!record)
            continue;
        // The journal has the record before the user is told it arrived.
        QStringList status;
        const QString journalFailure = journalRecord(recordNo);
        if (m_book.runOf(recordNo))
            status.append(QStringLiteral("Titration %1 - data record %2")
                              .arg(record->aborted ? QStringLiteral("aborted") : QStringLiteral("finished"))
                              .arg(recordNo));
        if (!journalFailure.isEmpty())
            status.append(journalFailure);
        if (!status.isEmpty())
            setStatusText(status.join(QStringLiteral(". ")));
    }
}

// Writes the record into the journal; the failure as the user is told it, else empty. The message
// box comes once per run of failures, the status bar every time.
QString TForm1::journalRecord(int recordNo)
{
    const bool failing = m_journal->waiting() > 0;
    const QString reason = m_journal->record(recordOf(recordNo), connectionSummary(*SerialPort1));
    if (const QString keptAside = m_journal->takeKeptAside(); !keptAside.isEmpty())
        m_dialogs.error(this, QStringLiteral("The journal file was damaged. It was kept as %1 and a new journal "
                                             "was started.")
                                  .arg(QDir::toNativeSeparators(keptAside)));
    if (reason.isEmpty()) {
        if (m_journalWindow && m_journalWindow->isVisible())
            m_journalWindow->refresh();
        return {};
    }
    const QString failure = QStringLiteral("Journal not written - %1; the entry is kept and retried").arg(reason);
    if (!failing)
        m_dialogs.error(this, failure);
    return failure;
}

void TForm1::SerialPort1RxCharEvent()
{
    LED->setColor(kLampReceiving);
}

void TForm1::TerminalChanged(qsizetype from)
{
    FindRecords(from);
}

void TForm1::FindRecords(qsizetype from)
{
    const int before = comboBoxSelectRecord->count();
    const int count = m_records.update(Terminal->text(), from);
    showRecordCount(*comboBoxSelectRecord, count);
    m_book.terminalCounted(count);
    // The result line never speaks of a table other than the chosen one.
    if (count != before && m_recordNo != comboBoxSelectRecord->currentIndex() + 1)
        LabelResult->clear();
    m_liveCurve->changed();
}

void TForm1::TerminalMouseMove(Qt::KeyboardModifiers, int, int)
{
    setStatusText(hasManualSelection() ? QStringLiteral("Attention: Manual Selection of Data!") : QString());
}

// A selection of 6 or more characters of the terminal text counts as data chosen by hand. Its
// length comes from its ends, so that a mouse move over a large selection costs nothing.
bool TForm1::hasManualSelection() const
{
    constexpr qsizetype manualSelectionMinimum = 6;
    return Terminal->selectedSize() >= manualSelectionMinimum;
}

void TForm1::ChooseSelectedData(int RecordNo)
{
    QByteArray data;
    if (hasManualSelection()) {
        const TerminalText &text = Terminal->terminalText();
        const qsizetype lines = text.lineAt(Terminal->selectionEnd()) - text.lineAt(Terminal->selectionStart()) + 1;
        if (lines > kMaxSelectedLines) {
            setStatusText(
                QStringLiteral("The selection has %L1 lines; the table takes at most %L2. Select fewer lines.")
                    .arg(lines)
                    .arg(kMaxSelectedLines));
            return;
        }
        RecordNo = 0;
        m_recordUnit.reset();
        data = Terminal->selectedBytes();
    } else if (const std::optional<RecordBlock> block = recordBlock(Terminal->text(), m_records, RecordNo)) {
        m_recordUnit = block->unit;
        data = block->data;
    } else {
        return;
    }
    m_recordNo = RecordNo;
    // The same text again gives the same rows: shown again without parsing it again.
    if (m_parsed.recordNo == RecordNo && m_parsed.data == data) {
        showRows(m_parsed.rows);
        return;
    }
    m_parsed.recordNo = RecordNo;
    m_parsed.data = data;
    FillTableAutomatic(cp1252::decode(data));
}

void TForm1::FillTableAutomatic(const QString &Data)
{
    m_parsed.rows = splitDataBlock(Data);
    showRows(m_parsed.rows);
}

void TForm1::showRows(const QList<DataRow> &rows)
{
    DataRowCount = int(rows.size());
    m_cells->setDataRows(rows);
    updateResults();
}

// The table, curve and result line of nothing: after the terminal was emptied or replaced.
void TForm1::clearResults()
{
    m_cells->setDataRows({});
    DataRowCount = 0;
    m_recordNo = 0;
    m_recordUnit.reset();
    m_parsed = {};
    m_points.clear();
    LabelResult->clear();
    Titrationskurve->clear();
}

// The table describes the record the chooser shows, unless the user chose data by hand: it is
// parsed again only when it is another record, or its text changed since.
void TForm1::showChosenRecord()
{
    const int chosen = comboBoxSelectRecord->currentIndex() + 1;
    if (hasManualSelection() || chosen == 0)
        return;
    if (chosen != m_recordNo || recordData(Terminal->text(), m_records, chosen) != m_parsed.data)
        ChooseSelectedData(chosen);
}

// The equivalence points of the table's data rows as they stand, edits included.
void TForm1::updateResults()
{
    const QList<QStringList> rows = m_cells->rows().mid(1, DataRowCount);
    const QList<TitrationSample> samples = titrationSamples(rows);
    m_unit = m_recordUnit.value_or(guessSignalUnit(samples));
    m_points = findEquivalencePoints(samples);
    QStringList label{resultLine(m_points, m_unit, QLocale())};
    label += currentRecord().marks();
    LabelResult->setText(label.join(QStringLiteral(" - ")));
}

void TForm1::SendClick()
{
    if (Edit1->text().isEmpty())
        return;
    if (!SerialPort1->Active()) {
        setStatusText(notOpenMessage(SerialPort1->CommPort()));
        return;
    }
    const QByteArray typed = cp1252::encode(Edit1->text());
    Terminal->addLine(typed);
    SerialPort1->SendString(typed);
    Edit1->clear();
}

void TForm1::BitBtn2Click()
{
    Terminal->beautify();
}

void TForm1::New1Click()
{
    if (!confirmAbortRun() || OKRightDlg10->exec() != QDialog::Accepted)
        return;
    Terminal->setText({});
    clearResults();
}

void TForm1::Open1Click()
{
    const QString fileName = m_dialogs.openFileName(
        this, {QStringLiteral("txt"), QString(), QStringLiteral("Text (*.txt);;Tab (*.tab *.txt);;CSV (*.csv)")});
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        m_dialogs.error(
            this,
            QStringLiteral("Cannot open file \"%1\". %2").arg(QDir::toNativeSeparators(fileName), file.errorString()));
        return;
    }
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_dialogs.error(this, file.errorString());
        return;
    }
    Terminal->setText(content);
    clearResults();
    Terminal->setFocus();
    Terminal->scrollToEnd();
    setStatusText(QDir::toNativeSeparators(QFileInfo(fileName).absoluteFilePath()));
}

void TForm1::Save1Click()
{
    const QString fileName = m_dialogs.saveFileName(this, {QStringLiteral("txt"), QStringLiteral("Korvane.txt"),
                                                           QStringLiteral("Text (*.txt);;Tab (*.tab);;CSV (*.csv)")});
    if (fileName.isEmpty() || !confirmOverwrite(fileName))
        return;
    writeTerminalFile(fileName);
}

void TForm1::writeTerminalFile(const QString &fileName)
{
    FileSave file(fileName);
    if (file.write(Terminal->text()) != FileSave::Status::Saved)
        m_dialogs.error(this, file.failureMessage());
}

void TForm1::Print1Click()
{
    if (!executePrintDialog())
        return;
    QStringList lines;
    for (const QByteArray &line : Terminal->terminalText().lines())
        lines.append(cp1252::decode(line));
    QString error;
    if (!TerminalPrint::print(m_printer, lines, error))
        m_dialogs.error(this, error);
}

void TForm1::PrintSetup1Click()
{
    m_dialogs.printSetup(this, m_printer);
}

void TForm1::Cut1Click()
{
    Terminal->cut();
    Terminal->setFocus();
}

void TForm1::Copy1Click()
{
    Terminal->copy();
    Terminal->setFocus();
}

void TForm1::Paste1Click()
{
    Terminal->paste();
    Terminal->setFocus();
}

void TForm1::Selectall1Click()
{
    Terminal->selectAll();
}

void TForm1::BasicSettingsBtnClick()
{
    SerialBasicDLG->PortToDialog(*SerialPort1);
    if (SerialBasicDLG->exec() != QDialog::Accepted)
        return;
    const QStringList refused = SerialBasicDLG->DialogToPort(*SerialPort1);
    if (!refused.isEmpty())
        setStatusText(QStringLiteral("Port refused: ") + refused.join(QStringLiteral(", ")));
    else if (!SerialPort1->Active())
        setStatusText(SerialPort1->OpenFailure());
    showConnectionState();
}

void TForm1::OpenCaptureFolder1Click()
{
    // Made first, so the desktop's opener has a folder to show before anything was received.
    QDir().mkpath(m_capture->folder());
    const QString folder = QDir::toNativeSeparators(m_capture->folder());
    // Without a file manager the user still learns where the folder is and can take its path along.
    if (!m_dialogs.openDocument(m_capture->folder()) &&
        m_dialogs.question(this, QStringLiteral("No program to show folders was found. The capture folder is\n\n%1"
                                                "\n\nCopy its path to the clipboard?")
                                     .arg(folder)))
        QGuiApplication::clipboard()->setText(folder);
}

void TForm1::Contents1Click()
{
    HelpWindow::open(QStringLiteral("commands"));
}

void TForm1::Journal1Click()
{
    if (!m_journalWindow) {
        Journal *journal = m_journal->journal();
        if (!journal) {
            m_dialogs.error(this, QStringLiteral("The journal %1 cannot be opened.")
                                      .arg(QDir::toNativeSeparators(JournalRecorder::defaultPath())));
            return;
        }
        m_journalWindow = std::make_unique<JournalWindow>(*journal, m_dialogs, this);
        m_journalWindow->setAmendmentWriter(
            [this](const JournalAmendment &amendment) { return m_journal->amend(amendment); });
        HelpWindow::addHelpKey(m_journalWindow.get(), QStringLiteral("journal"));
    }
    m_journalWindow->refresh();
    m_journalWindow->show();
    m_journalWindow->raise();
    m_journalWindow->activateWindow();
}

void TForm1::LabServer1Click()
{
    LabServerDialog dialog(LabServerSettings::load(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const LabServerSettings settings = dialog.settings();
    if (const QString failure = settings.save(); !failure.isEmpty())
        m_dialogs.error(this, failure);
    m_journal->useServer(settings);
    // The Journal window lists the journal now in use.
    const bool shown = m_journalWindow && m_journalWindow->isVisible();
    m_journalWindow.reset();
    if (shown)
        Journal1Click();
}

void TForm1::HelpContents1Click()
{
    HelpWindow::open(QStringLiteral("contents"));
}

void TForm1::About1Click()
{
    m_dialogs.message(this,
                      QStringLiteral("Korvane\n\nTerminal, method editor and curve display for the DL25 titrator."));
}

void TForm1::QuitClick()
{
    if (!confirmQuit())
        return;
    m_closeConfirmed = true;
    SerialPort1->SetActive(false);
    showConnectionState();
    close();
}

void TForm1::ResetClick()
{
    if (!confirmAbortRun())
        return;
    Commands->run(InstrumentCommands::Fixed::Reset);
}

void TForm1::StatusClick()
{
    Commands->run(InstrumentCommands::Fixed::Status);
}

void TForm1::BitBtn6Click()
{
    Commands->run(InstrumentCommands::Fixed::ListCurrentMethod);
}

void TForm1::BitBtn7Click()
{
    Commands->run(InstrumentCommands::Fixed::ListAllMethods);
}

void TForm1::BitBtn9Click()
{
    Commands->run(InstrumentCommands::Fixed::Stirrer);
}

void TForm1::RunClick()
{
    Commands->startTitration();
}

void TForm1::ViewmVpH1Click()
{
    Commands->run(InstrumentCommands::Fixed::ViewmV);
}

void TForm1::ViewpH1Click()
{
    Commands->run(InstrumentCommands::Fixed::ViewpH);
}

void TForm1::Fillburet1Click()
{
    Commands->fillBuret();
}

void TForm1::Getresultsshort1Click()
{
    Commands->run(InstrumentCommands::Fixed::GetResultsShort);
}

void TForm1::Getresultstable1Click()
{
    Commands->run(InstrumentCommands::Fixed::GetResultsTable);
}

void TForm1::iterconcentration1Click()
{
    Commands->setTiterConcentration();
}

void TForm1::Reagentconstant1Click()
{
    Commands->setReagentConstant();
}

void TForm1::pHCalibration1Click()
{
    Commands->calibratePh();
}

void TForm1::Keyboard1Click()
{
    Commands->run(InstrumentCommands::Fixed::Keyboard);
}

void TForm1::SetDate1Click()
{
    Commands->setDate(QDate::currentDate());
}

void TForm1::Mode1Click()
{
    Transfer->Mode();
}

void TForm1::ChangePageControl()
{
    // Any page change by the user ends following; the table page is where the user edits.
    m_liveCurve->stop();
    const int page = PageControl1->currentIndex();
    // Before drawing: the warning box of ShowCurve lets the record grow while it is open.
    if (page == 2)
        followNewestRecord();
    if (page == 0 || (comboBoxSelectRecord->currentIndex() < 0 && !hasManualSelection()))
        return;
    ChooseSelectedData(comboBoxSelectRecord->currentIndex() + 1);
    if (page == 2)
        ShowCurve();
}

// While the newest record is in front on the curve page, the curve grows with it; a record that
// appears while the page is in front is followed from its start.
void TForm1::followNewestRecord()
{
    if (const std::optional<QByteArray> data = newestRecordData())
        m_liveCurve->start(*data);
}

// The data of the newest record while it is the one the curve page shows (empty while there is
// none yet); else nothing.
std::optional<QByteArray> TForm1::newestRecordData() const
{
    const int newest = comboBoxSelectRecord->count();
    if (PageControl1->currentIndex() != 2 || comboBoxSelectRecord->currentIndex() != newest - 1 || hasManualSelection())
        return std::nullopt;
    return newest == 0 ? QByteArray() : recordData(Terminal->text(), m_records, newest);
}

void TForm1::ShowCurve()
{
    // Show Graph draws the table as it stands, edits included.
    updateResults();
    drawCurvePicture(true);
}

// The curve of the table, with its equivalence points marked when the user wants them. Only
// the user's own request warns about a table that cannot be drawn.
void TForm1::drawCurvePicture(bool warn)
{
    // A page that is not in front keeps the size it had when it was last shown; the page stack
    // it lives in has the size it will have.
    const QSize page = Titrationskurve->parentWidget()->parentWidget()->size();
    Titrationskurve->setVisible(true);
    Titrationskurve->setGeometry(5, 5, std::max(1, page.width() - 80), std::max(1, page.height() - 20));
    m_drawnCurve = DrawnCurve{readCurveColumns(m_cells->rows(), DataRowCount),
                              MarkEquivalencePoints->isChecked() ? m_points : QList<EquivalencePoint>(), m_unit,
                              QLocale(), fonts::lucidaConsole()};
    QImage picture(Titrationskurve->size(), QImage::Format_RGB32);
    const CurveOutcome outcome = m_drawnCurve->drawInto(picture);
    Titrationskurve->setPixmap(QPixmap::fromImage(picture));
    if (warn && outcome == CurveOutcome::DivisionByZero)
        m_dialogs.message(this, QStringLiteral("Warning: division by zero"));
}

// The picture as last drawn, at the size it has in a window of the starting size, so saved and
// printed curves do not change with the window; white before the first drawing.
QImage TForm1::curvePicture() const
{
    QImage picture(kSavedCurveSize, QImage::Format_RGB32);
    if (m_drawnCurve)
        m_drawnCurve->drawInto(picture);
    else
        picture.fill(Qt::white);
    return picture;
}

void TForm1::Graph2Click()
{
    ShowCurve();
    selectPage(2);
}

void TForm1::BitBtn1Click()
{
    if (!executePrintDialog())
        return;
    const TableSnapshot grid = TableSnapshot::fromView(*Table);
    if (!TablePrinter::PrtGrid(grid, m_printer, QStringLiteral("Titration Table"), QStringLiteral("Titration")))
        m_dialogs.error(this, QStringLiteral("Printing failed: the printer could not start the job."));
}

void TForm1::SavetoExcel1Click()
{
    const QString fileName = m_dialogs.saveFileName(
        this, {QStringLiteral("xls"), QStringLiteral("korvanetable"), QStringLiteral("Excel worksheet (*.xls)")});
    if (fileName.isEmpty() || !confirmOverwrite(fileName))
        return;
    QString error;
    if (WorksheetWriter::SaveGridAsExcel(TableSnapshot::fromView(*Table), fileName, error))
        m_dialogs.message(this, QStringLiteral("Table saved!"));
    else
        m_dialogs.error(this, error);
}

void TForm1::ClearTableClick()
{
    m_cells->clearData();
}

void TForm1::BtPrintCurveClick()
{
    if (!executePrintDialog())
        return;
    if (!printCurve(m_printer, curvePicture(), QSize(logicalDpiX(), logicalDpiY())))
        m_dialogs.error(this, QStringLiteral("Printing failed: the printer could not start the job."));
}

void TForm1::SaveClick()
{
    const QString fileName = m_dialogs.saveFileName(
        this, {QStringLiteral("bmp"), QStringLiteral("Curve.bmp"), QStringLiteral("Bitmap (*.bmp)")});
    if (fileName.isEmpty() || !confirmOverwrite(fileName))
        return;
    FileSave file(fileName);
    const QImage picture = curvePicture();
    if (file.write([&picture](QIODevice &device) { return picture.save(&device, "BMP"); }) != FileSave::Status::Saved)
        m_dialogs.error(this, file.failureMessage());
}

void TForm1::SaveasCSV1Click()
{
    m_resultFiles->saveCsv(resultRecord());
}

void TForm1::SaveasXLSX1Click()
{
    m_resultFiles->saveXlsx(resultRecord());
}

void TForm1::ExportReport1Click()
{
    m_resultFiles->exportReport(resultRecord());
}

void TForm1::runStarted(const RunEntry &entry)
{
    m_book.runStarted(entry, m_records.count(), QDateTime::currentDateTime());
}

void TForm1::runFailed()
{
    m_book.runFailed();
}

bool TForm1::confirmAbortRun()
{
    if (!m_book.runInProgress())
        return true;
    if (!m_dialogs.question(this, QStringLiteral("A titration is running. Abort it?\n\nIts record keeps what the "
                                                 "titrator has printed so far and is marked \"Aborted\".")))
        return false;
    m_book.abortRun();
    recordsCompleted();
    return true;
}

bool TForm1::confirmQuit()
{
    if (!confirmAbortRun())
        return false;
    return !m_hasUnsavedMethodEdits || !m_hasUnsavedMethodEdits() ||
           m_dialogs.question(this, QStringLiteral("The method dialog holds changes that were not saved to a method "
                                                   "file. Quit anyway and lose them?"));
}

// The chosen record as the exports show it.
ResultRecord TForm1::resultRecord()
{
    showChosenRecord();
    updateResults();
    return currentRecord();
}

// The table as it stands, with what is known about where it came from and how it differs from
// what was received.
ResultRecord TForm1::currentRecord() const
{
    ResultRecord record;
    record.table = m_cells->rows();
    record.curve = readCurveColumns(m_cells->rows(), DataRowCount);
    record.unit = m_unit;
    record.points = m_points;
    record.recordNo = m_recordNo;
    if (m_recordNo > 0) {
        record.run = m_book.runOf(m_recordNo);
        record.received = m_book.receivedOf(m_recordNo);
    }
    if (record.received) {
        record.edits = cellEdits(record.received->tableRows(record.table.value(0)), record.table);
        record.textEdited = m_parsed.recordNo == m_recordNo && m_parsed.data != record.received->dataBlock();
    }
    record.method = methodDescription(MethodFolder());
    record.made = QDateTime::currentDateTime();
    return record;
}

// Record recordNo as shown when it is the chosen one, else as it was received.
ResultRecord TForm1::recordOf(int recordNo) const
{
    if (recordNo == m_recordNo)
        return currentRecord();
    ResultRecord record;
    record.recordNo = recordNo;
    record.run = m_book.runOf(recordNo);
    record.received = m_book.receivedOf(recordNo);
    record.table = {m_cells->rows().value(0)};
    if (record.received)
        record.table = record.received->tableRows(record.table.first());
    const QList<TitrationSample> samples = titrationSamples(record.table.mid(1));
    record.unit = guessSignalUnit(samples);
    record.points = findEquivalencePoints(samples);
    record.method = methodDescription(MethodFolder());
    record.made = QDateTime::currentDateTime();
    return record;
}
