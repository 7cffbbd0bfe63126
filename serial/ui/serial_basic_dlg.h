#pragma once

#include <QDialog>
#include <QStringList>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLineEdit;
class QPushButton;
class TSerialPort;

/// "Serial Basic Settings": port, framing, flow control, time allowances, cluster and queue
/// sizes of a serial port component. It keeps no settings of its own: PortToDialog fills the
/// controls from the component, DialogToPort writes them back through the component's setters,
/// which act on an open port at once.
class TSerialBasicDLG : public QDialog
{
  public:
    explicit TSerialBasicDLG(QWidget *parent = nullptr);

    void PortToDialog(const TSerialPort &port);
    /// Sets the properties in a fixed order (port name first, so a new name reopens the port
    /// before the line settings follow), then opens the port if it is closed. Returns the list
    /// items of the line settings the device refused (the port has taken them back).
    QStringList DialogToPort(TSerialPort &port) const;

  protected:
    void showEvent(QShowEvent *event) override;

  private:
    QGroupBox *buildLists();
    QGroupBox *buildEdits();
    QComboBox *addList(QGridLayout *grid, int row, int column, const char *name, const QString &label,
                       const QStringList &items);
    QLineEdit *addEdit(QGridLayout *grid, int row, const char *name, const QString &label, const QString &shown);
    void orderTabs();

    QPushButton *m_okBtn = nullptr;
    QPushButton *m_cancelBtn = nullptr;
    QComboBox *m_cbPort = nullptr;
    QComboBox *m_cbBaud = nullptr;
    QComboBox *m_cbParity = nullptr;
    QComboBox *m_cbFlow = nullptr;
    QComboBox *m_cbData = nullptr;
    QComboBox *m_cbStop = nullptr;
    QList<QLineEdit *> m_edits;
};
