#include "results/journal/lab_server_dialog.h"

#include "journal/lab_server_check.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

namespace {

template <class Control> Control *named(Control *control, const char *name, const QString &accessibleName)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setAccessibleName(accessibleName);
    return control;
}

} // namespace

LabServerDialog::LabServerDialog(const LabServerSettings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_host(named(new QLineEdit(settings.host), "LabServerHost", "Host")),
      m_port(named(new QSpinBox, "LabServerPort", "Port")),
      m_database(named(new QLineEdit(settings.database), "LabServerDatabase", "Database")),
      m_user(named(new QLineEdit(settings.user), "LabServerUser", "User")),
      m_bench(named(new QLineEdit(settings.bench), "LabServerBench", "Bench name")),
      m_result(named(new QLabel, "LabServerResult", "Test result"))
{
    setObjectName(QStringLiteral("LabServerDialog"));
    setWindowTitle(QStringLiteral("Lab server"));
    m_port->setRange(1, 65535);
    m_port->setValue(settings.port);
    m_user->setPlaceholderText(QStringLiteral("the login name"));
    m_bench->setPlaceholderText(LabServerSettings().benchName());
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_result->setText(settings.enabled ? QStringLiteral("Entries now go to the lab server.")
                                       : QStringLiteral("Entries now go to this bench's own journal."));

    auto *test = named(new QPushButton(QStringLiteral("&Test connection")), "LabServerTest", "Test connection");
    test->setAutoDefault(false);
    connect(test, &QPushButton::clicked, this, &LabServerDialog::testConnection);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("LabServerOk"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("LabServerCancel"));
    auto *local = buttons->addButton(QStringLiteral("Use the &local journal"), QDialogButtonBox::ResetRole);
    local->setObjectName(QStringLiteral("LabServerLocal"));
    local->setAutoDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &LabServerDialog::useServer);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(local, &QPushButton::clicked, this, &LabServerDialog::useLocalJournal);

    auto *layout = new QFormLayout(this);
    layout->addRow(new QLabel(QStringLiteral("Keep this bench's journal on the lab's PostgreSQL server.")));
    layout->addRow(QStringLiteral("&Host:"), m_host);
    layout->addRow(QStringLiteral("&Port:"), m_port);
    layout->addRow(QStringLiteral("&Database:"), m_database);
    layout->addRow(QStringLiteral("&User:"), m_user);
    layout->addRow(QStringLiteral("&Bench name:"), m_bench);
    layout->addRow(new QLabel(QStringLiteral("No password is stored: it comes from ~/.pgpass or PGPASSWORD, as for psql.")));
    layout->addRow(test);
    layout->addRow(m_result);
    layout->addRow(buttons);
    const QList<QWidget *> order{m_host, m_port, m_database, m_user, m_bench, test, buttons};
    for (qsizetype index = 1; index < order.size(); ++index)
        setTabOrder(order[index - 1], order[index]);
    m_host->setFocus();
}

LabServerSettings LabServerDialog::shown() const
{
    LabServerSettings settings;
    settings.host = m_host->text().trimmed();
    settings.port = m_port->value();
    settings.database = m_database->text().trimmed();
    settings.user = m_user->text().trimmed();
    settings.bench = m_bench->text().trimmed();
    return settings;
}

void LabServerDialog::testConnection()
{
    m_result->setText(QStringLiteral("Connecting..."));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_result->repaint();
    m_result->setText(LabServerCheck::run(shown().connection()).text);
    QApplication::restoreOverrideCursor();
}

void LabServerDialog::useServer()
{
    LabServerSettings settings = shown();
    if (const QString missing = settings.incomplete(); !missing.isEmpty()) {
        m_result->setText(missing);
        return;
    }
    settings.enabled = true;
    m_settings = settings;
    accept();
}

void LabServerDialog::useLocalJournal()
{
    m_settings = shown();
    m_settings.enabled = false;
    accept();
}
