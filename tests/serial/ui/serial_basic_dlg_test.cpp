#include "serial/ui/serial_basic_dlg.h"
#include "tests/serial/serial_fixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <functional>

namespace {

/// The dialog over a component on the fake device, the component set up as the main window
/// sets it up at start-up.
class SerialBasicDlg : public SerialFixture
{
  protected:
    static void SetUpTestSuite()
    {
        ensureTestApplication<QApplication>();
        ASSERT_TRUE(qobject_cast<QApplication *>(QCoreApplication::instance())) << "the dialog needs a QApplication";
    }

    void SetUp() override
    {
        SerialFixture::SetUp();
        port->SetCommPort("COM1");
        port->SetBaudRate(2400);
        port->SetDataBits(7);
        port->SetParityType(comm::EvenParity);
        port->SetStopBits(comm::TwoStopBits);
        port->SetRTOCharDelayTime(4500);
        port->SetWTOCharDelayTime(4500);
        port->SetWTOExtraDelayTime(1000);
        port->SetClusterSize(4096);
        port->SetRxQueueSize(2048);
        reports.clear();
    }

    QComboBox *list(const char *name) const { return dialog.findChild<QComboBox *>(name); }
    QLineEdit *edit(const char *name) const { return dialog.findChild<QLineEdit *>(name); }
    void choose(const char *name, const QString &item) const
    {
        ASSERT_GE(list(name)->findText(item), 0) << item.toStdString();
        list(name)->setCurrentIndex(list(name)->findText(item));
    }

    /// What "Com Port Settings" does when the user presses OK after `edit` changed the controls.
    void confirm(const std::function<void()> &change = {})
    {
        dialog.PortToDialog(*port);
        if (change)
            change();
        dialog.DialogToPort(*port);
    }

    std::vector<uint32_t> places() const
    {
        std::vector<uint32_t> found;
        for (const Report &report : reports)
            found.push_back(report.place);
        return found;
    }

    TSerialBasicDLG dialog;
};

TEST_F(SerialBasicDlg, ShowsThePortsSettingsOrTheListsFallbacks)
{
    struct Case
    {
        std::function<void(TSerialPort &)> set;
        const char *list;
        QString shown;
    };
    const QList<Case> cases = {
        {[](TSerialPort &) {}, "CBPort", "COM1"},
        {[](TSerialPort &p) { p.SetCommPort("com3"); }, "CBPort", "COM3"},
        {[](TSerialPort &p) { p.SetCommPort("COM9"); }, "CBPort", "COM2"},
        {[](TSerialPort &p) { p.SetCommPort("/dev/ttyUSB0"); }, "CBPort", "/dev/ttyUSB0"},
        {[](TSerialPort &) {}, "CBBaud", "2400"},
        {[](TSerialPort &p) { p.SetBaudRate(115200); }, "CBBaud", "9600"},
        {[](TSerialPort &p) { p.SetBaudRate(115000); }, "CBBaud", "115000"},
        {[](TSerialPort &) {}, "CBData", "7 Bit"},
        {[](TSerialPort &p) { p.SetDataBits(8); }, "CBData", "8 Bit"},
        {[](TSerialPort &p) { p.SetDataBits(9); }, "CBData", "8 Bit"},
        {[](TSerialPort &) {}, "CBStop", "2 Bits"},
        {[](TSerialPort &p) { p.SetStopBits(1); }, "CBStop", "1,5 Bits"},
        {[](TSerialPort &) {}, "CBParity", "Even"},
        {[](TSerialPort &p) { p.SetParityType(3); }, "CBParity", "Mark"},
        {[](TSerialPort &) {}, "CBFlow", "None (*)"},
        {[](TSerialPort &p) { p.SetFlowControl(896); }, "CBFlow", "XOn-XOff"},
        {[](TSerialPort &p) { p.SetFlowControl(8196); }, "CBFlow", "RTS-CTS"},
        {[](TSerialPort &p) { p.SetFlowControl(40); }, "CBFlow", "DSR-DTR"},
        {[](TSerialPort &p) { p.SetFlowControl(1); }, "CBFlow", "None (*)"},
    };
    for (const Case &c : cases) {
        SetUp();
        c.set(*port);
        dialog.PortToDialog(*port);
        EXPECT_EQ(list(c.list)->currentText(), c.shown) << c.list << " should show " << c.shown.toStdString();
    }
}

TEST_F(SerialBasicDlg, ShowsTheNumbersInTheEditFields)
{
    port->SetRTOExtraDelayTime(300);
    port->SetTxQueueSize(1024);
    dialog.PortToDialog(*port);
    const QStringList expected = {"4500", "300", "4500", "1000", "4096", "1024", "2048"};
    for (int i = 0; i < expected.size(); ++i) {
        const QByteArray name = "Edit" + QByteArray::number(i + 1);
        EXPECT_EQ(edit(name)->text(), expected[i]) << name.constData();
    }
}

TEST_F(SerialBasicDlg, WritesWhatTheControlsHoldWithFallbacksAndCutToWidth)
{
    struct Case
    {
        std::function<void()> change;
        std::function<uint32_t(const TSerialPort &)> property;
        uint32_t expected;
        const char *what;
        bool beforeShowing = false; ///< change the port before the dialog shows it, not the controls
    };
    const auto choice = [this](const char *name, const char *item) { return [=, this] { choose(name, item); }; };
    const auto text = [this](const char *name, const char *t) { return [=, this] { edit(name)->setText(t); }; };
    const QList<Case> cases = {
        {[this] { port->SetBaudRate(115200); }, [](auto &p) { return p.BaudRate(); }, 9600, "unlisted speed", true},
        {choice("CBBaud", "115000"), [](auto &p) { return p.BaudRate(); }, 115000, "listed speed"},
        {choice("CBData", "7 Bit"), [](auto &p) { return p.DataBits(); }, 7, "data bits"},
        {choice("CBStop", "1 Bit (*)"), [](auto &p) { return p.StopBits(); }, 0, "stop bits"},
        {choice("CBParity", "Space"), [](auto &p) { return p.ParityType(); }, 4, "parity"},
        {choice("CBFlow", "DSR-DTR"), [](auto &p) { return uint32_t(p.FlowControl()); }, 40, "flow"},
        {[this] { port->SetFlowControl(1); }, [](auto &p) { return uint32_t(p.FlowControl()); }, 0, "unlisted flow",
         true},
        {text("Edit5", ""), [](auto &p) { return p.ClusterSize(); }, 4096, "empty cluster size"},
        {text("Edit7", "70000"), [](auto &p) { return p.RxQueueSize(); }, 4464, "queue size cut to 16 bits"},
        {text("Edit6", "x12"), [](auto &p) { return p.TxQueueSize(); }, 3072, "queue size not a number"},
        {text("Edit1", "4.5"), [](auto &p) { return p.RTOCharDelayTime(); }, 4500, "delay not whole"},
        {text("Edit3", "-1"), [](auto &p) { return p.WTOCharDelayTime(); }, 4294967295u, "delay cut to 32 bits"},
        {text("Edit2", "65536"), [](auto &p) { return p.RTOExtraDelayTime(); }, 0, "extra time cut"},
        {text("Edit4", "99999999999"), [](auto &p) { return p.WTOExtraDelayTime(); }, 250, "beyond 32 bits"},
        {text("Edit2", " 17"), [](auto &p) { return p.RTOExtraDelayTime(); }, 17, "leading blank"},
    };
    for (const Case &c : cases) {
        SetUp();
        if (c.beforeShowing)
            c.change();
        confirm(c.beforeShowing ? std::function<void()>() : c.change);
        EXPECT_EQ(c.property(*port), c.expected) << c.what;
    }
}

TEST_F(SerialBasicDlg, AnUnlistedPortNameBecomesCOM2)
{
    port->SetCommPort("COM9");
    confirm();
    EXPECT_EQ(port->CommPort(), "COM2");
    EXPECT_EQ(driver->openedNames(), QStringList{"COM2"});
}

TEST_F(SerialBasicDlg, UnchangedValuesLeaveAnOpenPortAlone)
{
    open();
    const int states = device.calls(FakeCall::SetCommState);
    const int queues = device.calls(FakeCall::SetupComm);
    confirm();
    EXPECT_TRUE(port->Active());
    EXPECT_EQ(driver->openedNames(), QStringList{"COM1"});
    EXPECT_EQ(device.calls(FakeCall::SetCommState), states);
    EXPECT_EQ(device.calls(FakeCall::SetupComm), queues);
    EXPECT_EQ(reports, std::vector<Report>{});
}

TEST_F(SerialBasicDlg, OpensAClosedPortWithTheDialogsSettingsAfterTheQueueSizes)
{
    confirm([this] {
        choose("CBPort", "COM3");
        choose("CBBaud", "19200");
        choose("CBData", "8 Bit");
        choose("CBParity", "None (*)");
        choose("CBStop", "1 Bit (*)");
        edit("Edit6")->setText("3072");
        edit("Edit7")->setText("4096");
    });
    EXPECT_TRUE(port->Active());
    EXPECT_EQ(driver->openedNames(), QStringList{"COM3"});
    const comm::Dcb dcb = device.dcb();
    EXPECT_EQ(dcb.baudRate, 19200u);
    EXPECT_EQ(dcb.byteSize, 8);
    EXPECT_EQ(dcb.parity, comm::NoParity);
    EXPECT_EQ(dcb.stopBits, comm::OneStopBit);
    EXPECT_EQ(device.rxQueueSize(), 4096u);
    EXPECT_EQ(device.txQueueSize(), 3072u);
    // The closed port refuses the queue sizes, transmit first; the port opens last.
    EXPECT_EQ(places(), (std::vector<uint32_t>{102, 101, 110}));
}

TEST_F(SerialBasicDlg, ANewPortNameReopensThePortBeforeTheLineSettingsFollow)
{
    open();
    confirm([this] {
        choose("CBPort", "COM4");
        choose("CBBaud", "9600");
    });
    EXPECT_EQ(driver->openedNames(), (QStringList{"COM1", "COM4"}));
    EXPECT_EQ(places(), (std::vector<uint32_t>{100, 110}));
    EXPECT_EQ(device.dcb().baudRate, 9600u);
    EXPECT_EQ(device.dcb().byteSize, 7);
}

TEST_F(SerialBasicDlg, TheEditFieldsOverrideTheTimesAnewSpeedSetsAutomatically)
{
    open();
    confirm([this] {
        choose("CBBaud", "19200");
        edit("Edit3")->setText("3000");
    });
    EXPECT_EQ(device.dcb().baudRate, 19200u);
    // The speed table gives 570 for 19200; the fields, written after the speed, win.
    EXPECT_EQ(port->RTOCharDelayTime(), 4500u);
    EXPECT_EQ(port->WTOCharDelayTime(), 3000u);
}

TEST_F(SerialBasicDlg, AListWithNothingSelectedKeepsThePortsValue)
{
    port->SetStopBits(7);
    port->SetParityType(9);
    confirm();
    EXPECT_EQ(list("CBStop")->currentIndex(), -1);
    EXPECT_EQ(port->StopBits(), 7);
    EXPECT_EQ(port->ParityType(), 9);
}

TEST_F(SerialBasicDlg, TabOrderAndAccelerators)
{
    QStringList chain;
    QWidget *widget = dialog.findChild<QWidget *>("OKBtn");
    do {
        // The typing field of the port list hands its focus to the list.
        if ((widget->focusPolicy() & Qt::TabFocus) && !widget->focusProxy())
            chain.append(widget->objectName());
        widget = widget->nextInFocusChain();
    } while (widget->objectName() != "OKBtn");
    EXPECT_EQ(chain, (QStringList{"OKBtn", "CancelBtn", "CBData", "CBStop", "CBParity", "CBFlow", "CBPort", "CBBaud",
                                  "Edit1", "Edit2", "Edit3", "Edit4", "Edit5", "Edit6", "Edit7"}));

    QMap<QString, QString> buddies;
    for (const QLabel *label : dialog.findChildren<QLabel *>())
        if (label->buddy())
            buddies[label->text()] = label->buddy()->objectName();
    EXPECT_EQ(buddies, (QMap<QString, QString>{{"&Port", "CBPort"},
                                               {"&Baudrate", "CBBaud"},
                                               {"Pari&ty", "CBParity"},
                                               {"&Flowcontrol", "CBFlow"},
                                               {"&Databits", "CBData"},
                                               {"&Stop", "CBStop"}}));
}

} // namespace

namespace {

TEST_F(SerialBasicDlg, ListsTheDevicesPresentAndTakesATypedPath)
{
    driver->setAvailablePorts({"/dev/ttyUSB0", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"});
    open();
    confirm([this] { choose("CBPort", "/dev/ttyUSB0"); });
    QStringList items;
    for (int i = 0; i < list("CBPort")->count(); ++i)
        items.append(list("CBPort")->itemText(i));
    EXPECT_EQ(items, (QStringList{"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "/dev/ttyUSB0",
                                  "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"}));
    EXPECT_EQ(driver->openedNames().last(), "/dev/ttyUSB0");
    EXPECT_TRUE(port->Active());

    confirm([this] { list("CBPort")->setEditText("/dev/ttyACM3"); });
    EXPECT_EQ(port->CommPort(), "/dev/ttyACM3");
    EXPECT_EQ(driver->openedNames().last(), "/dev/ttyACM3");
}

} // namespace
