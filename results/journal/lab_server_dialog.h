#pragma once

#include "journal/lab_server_settings.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

/// Journal > Lab server...: where the lab's journal server is and this bench's name there. OK
/// turns the server on, "Use the local journal" off; settings() tells which.
class LabServerDialog : public QDialog
{
    Q_OBJECT

  public:
    explicit LabServerDialog(const LabServerSettings &settings, QWidget *parent = nullptr);

    LabServerSettings settings() const { return m_settings; }

  private:
    LabServerSettings shown() const;
    void testConnection();
    void useServer();
    void useLocalJournal();

    LabServerSettings m_settings;
    QLineEdit *m_host = nullptr;
    QSpinBox *m_port = nullptr;
    QLineEdit *m_database = nullptr;
    QLineEdit *m_user = nullptr;
    QLineEdit *m_bench = nullptr;
    QLabel *m_result = nullptr;
};
