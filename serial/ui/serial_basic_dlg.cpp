#include "serial/ui/serial_basic_dlg.h"

#include "serial/serial_port.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

const QStringList comPorts = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8"};

// FlowControl masks in the order of the flow-control list.
constexpr std::array<int32_t, 4> flowMasks = {0, 896, 8196, 40};

// Edit fields in order: RTO char delay, RTO extra, WTO char delay, WTO extra, cluster size,
// TX queue size, RX queue size.
enum Field { RtoChar, RtoExtra, WtoChar, WtoExtra, Cluster, TxQueue, RxQueue, FieldCount };

struct EditField
{
    const char *name;
    const char *label;
    const char *shown;
    int32_t fallback;
};

constexpr std::array<EditField, FieldCount> editFields = {{
    {"Edit1", "RTOCharDelayTime", "4500 us", 4500},
    {"Edit2", "RTOCharExtraTime", "250 us", 250},
    {"Edit3", "WTOCharDelayTime", "4500 us", 4500},
    {"Edit4", "WTOCharExtraTime", "250 us", 250},
    {"Edit5", "ClusterSize", "4096", 4096},
    {"Edit6", "TXQueueSize", "3072", 3072},
    {"Edit7", "RXQueueSize", "4096", 4096},
}};

/// A signed 32-bit whole number, else the fallback; callers cut it to their property's width.
int32_t wholeNumber(const QString &text, int32_t fallback)
{
    bool ok = false;
    const int32_t value = text.toInt(&ok);
    return ok ? value : fallback;
}

void selectText(QComboBox *list, const QString &text, int fallback, Qt::MatchFlags match = Qt::MatchExactly)
{
    const int index = list->findText(text, match);
    list->setCurrentIndex(index >= 0 ? index : fallback);
}

/// The selected index, or `current` when nothing is selected, so that the setter keeps the value.
int selectedOr(const QComboBox *list, int current)
{
    return list->currentIndex() >= 0 ? list->currentIndex() : current;
}

QString withoutAccelerator(QString label)
{
    return label.remove(QLatin1Char('&'));
}

} // namespace

TSerialBasicDLG::TSerialBasicDLG(QWidget *parent) : QDialog(parent)
{
    setObjectName("SerialBasicDLG");
    setWindowTitle("Serial Basic Settings");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(473, 367);
    QPalette skyBlue = palette();
    skyBlue.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
    setPalette(skyBlue);
    setAutoFillBackground(true);

    m_okBtn = new QPushButton("OK", this);
    m_okBtn->setObjectName("OKBtn");
    m_okBtn->setDefault(true);
    m_cancelBtn = new QPushButton("Cancel", this);
    m_cancelBtn->setObjectName("CancelBtn");
    for (QPushButton *button : {m_okBtn, m_cancelBtn})
        button->setAccessibleName(button->text());
    connect(m_okBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto *groups = new QVBoxLayout;
    groups->addWidget(buildLists());
    groups->addWidget(buildEdits());
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_okBtn);
    buttons->addWidget(m_cancelBtn);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addLayout(buttons);
    orderTabs();
}

void TSerialBasicDLG::PortToDialog(const TSerialPort &port)
{
    m_cbPort->clear();
    m_cbPort->addItems(comPorts);
    m_cbPort->addItems(port.AvailablePorts());
    selectText(m_cbPort, port.CommPort(), 1, Qt::MatchFixedString);
    // A device path that is not there now (unplugged, or typed earlier) stays as it is.
    if (m_cbPort->currentText().compare(port.CommPort(), Qt::CaseInsensitive) != 0 &&
        port.CommPort().startsWith(QLatin1Char('/')))
        m_cbPort->setEditText(port.CommPort());
    selectText(m_cbBaud, QString::number(port.BaudRate()), 6);
    selectText(m_cbData, QString::number(port.DataBits()) + " Bit", 4);
    m_cbStop->setCurrentIndex(port.StopBits());
    m_cbParity->setCurrentIndex(port.ParityType());
    const auto flow = std::find(flowMasks.begin(), flowMasks.end(), port.FlowControl());
    m_cbFlow->setCurrentIndex(flow != flowMasks.end() ? static_cast<int>(flow - flowMasks.begin()) : 0);

    const std::array<uint32_t, FieldCount> values = {
        port.RTOCharDelayTime(), port.RTOExtraDelayTime(), port.WTOCharDelayTime(), port.WTOExtraDelayTime(),
        port.ClusterSize(),      port.TxQueueSize(),       port.RxQueueSize()};
    for (int f = 0; f < FieldCount; ++f)
        m_edits[f]->setText(QString::number(values[f]));
}

QStringList TSerialBasicDLG::DialogToPort(TSerialPort &port) const
{
    const auto field = [this](Field f) { return wholeNumber(m_edits[f]->text(), editFields[f].fallback); };
    const auto baud = static_cast<uint32_t>(wholeNumber(m_cbBaud->currentText(), 9600));
    const auto dataBits = static_cast<uint8_t>(wholeNumber(m_cbData->currentText().left(1), 8));
    const auto stopBits = static_cast<uint8_t>(selectedOr(m_cbStop, port.StopBits()));
    const auto parity = static_cast<uint8_t>(selectedOr(m_cbParity, port.ParityType()));
    const int flow = std::max(0, m_cbFlow->currentIndex());
    port.SetCommPort(m_cbPort->currentText().left(255));
    port.SetBaudRate(baud);
    port.SetDataBits(dataBits);
    port.SetStopBits(stopBits);
    port.SetParityType(parity);
    port.SetFlowControl(flowMasks[flow]);
    port.SetRTOCharDelayTime(static_cast<uint32_t>(field(RtoChar)));
    port.SetRTOExtraDelayTime(static_cast<uint16_t>(field(RtoExtra)));
    port.SetWTOCharDelayTime(static_cast<uint32_t>(field(WtoChar)));
    port.SetWTOExtraDelayTime(static_cast<uint16_t>(field(WtoExtra)));
    port.SetClusterSize(static_cast<uint16_t>(field(Cluster)));
    port.SetTxQueueSize(static_cast<uint16_t>(field(TxQueue)));
    port.SetRxQueueSize(static_cast<uint16_t>(field(RxQueue)));
    port.SetActive(true);

    // A setting the device refused has been taken back by the port.
    QStringList refused;
    const auto check = [&refused](bool kept, const QComboBox *list) {
        if (!kept)
            refused.append(list->currentText());
    };
    check(port.BaudRate() == baud, m_cbBaud);
    check(port.DataBits() == dataBits, m_cbData);
    check(port.StopBits() == stopBits, m_cbStop);
    check(port.ParityType() == parity, m_cbParity);
    check(port.FlowControl() == flowMasks[flow], m_cbFlow);
    return refused;
}

void TSerialBasicDLG::showEvent(QShowEvent *event)
{
    if (const QScreen *shown = screen())
        move(shown->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

QGroupBox *TSerialBasicDLG::buildLists()
{
    auto *group = new QGroupBox(this);
    auto *grid = new QGridLayout(group);
    // Labels beside their lists, two lists a row: the fixed client area then leaves the edit
    // fields below their full height.
    m_cbPort = addList(grid, 0, 0, "CBPort", "&Port", comPorts);
    // Any device path may be typed; long by-id names must not widen the dialog.
    m_cbPort->setEditable(true);
    m_cbPort->setInsertPolicy(QComboBox::NoInsert);
    m_cbPort->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cbPort->setMinimumContentsLength(8);
    m_cbPort->view()->setMinimumWidth(m_cbPort->fontMetrics().horizontalAdvance(QString(48, QLatin1Char('x'))));
    m_cbBaud = addList(grid, 0, 1, "CBBaud", "&Baudrate",
                       {"110", "300", "600", "1200", "2400", "4800", "9600", "14400", "19200", "38400", "56000",
                        "57600", "115000", "128000", "256000"});
    m_cbParity = addList(grid, 1, 0, "CBParity", "Pari&ty", {"None (*)", "Odd", "Even", "Mark", "Space"});
    m_cbFlow = addList(grid, 1, 1, "CBFlow", "&Flowcontrol", {"None (*)", "XOn-XOff", "RTS-CTS", "DSR-DTR"});
    m_cbData = addList(grid, 2, 0, "CBData", "&Databits", {"4 Bit", "5 Bit", "6 Bit", "7 Bit", "8 Bit"});
    m_cbStop = addList(grid, 2, 1, "CBStop", "&Stop", {"1 Bit (*)", "1,5 Bits", "2 Bits"});
    return group;
}

QGroupBox *TSerialBasicDLG::buildEdits()
{
    auto *group = new QGroupBox(this);
    auto *grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel("Defaults", group), 0, 2);
    for (int f = 0; f < FieldCount; ++f)
        m_edits.append(addEdit(grid, f + 1, editFields[f].name, editFields[f].label, editFields[f].shown));
    return group;
}

QComboBox *TSerialBasicDLG::addList(QGridLayout *grid, int row, int column, const char *name, const QString &label,
                                    const QStringList &items)
{
    auto *list = new QComboBox(grid->parentWidget());
    list->setObjectName(name);
    list->setAccessibleName(withoutAccelerator(label));
    list->addItems(items);
    auto *caption = new QLabel(label, grid->parentWidget());
    caption->setBuddy(list);
    grid->addWidget(caption, row, 2 * column);
    grid->addWidget(list, row, 2 * column + 1);
    return list;
}

QLineEdit *TSerialBasicDLG::addEdit(QGridLayout *grid, int row, const char *name, const QString &label,
                                    const QString &shown)
{
    auto *edit = new QLineEdit(grid->parentWidget());
    edit->setObjectName(name);
    edit->setAccessibleName(label);
    grid->addWidget(new QLabel(label, grid->parentWidget()), row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(new QLabel(shown, grid->parentWidget()), row, 2);
    return edit;
}

void TSerialBasicDLG::orderTabs()
{
    QList<QWidget *> order = {m_okBtn, m_cancelBtn, m_cbData, m_cbStop, m_cbParity, m_cbFlow, m_cbPort, m_cbBaud};
    for (QLineEdit *edit : m_edits)
        order.append(edit);
    for (int i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
