#include "results/journal/rebuild_period_dialog.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

namespace {

QDateEdit *dayEdit(const QDate &day, const QString &name)
{
    auto *edit = new QDateEdit(day);
    edit->setObjectName(name);
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    return edit;
}

} // namespace

RebuildPeriodDialog::RebuildPeriodDialog(const QDate &today, QWidget *parent)
    : QDialog(parent), m_from(dayEdit(today.addDays(-6), QStringLiteral("RebuildFrom"))),
      m_to(dayEdit(today, QStringLiteral("RebuildTo")))
{
    setObjectName(QStringLiteral("RebuildPeriodDialog"));
    setWindowTitle(QStringLiteral("Rebuild from capture logs"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("RebuildOk"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("RebuildCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QFormLayout(this);
    layout->addRow(new QLabel(QStringLiteral("Titrations of these days that the capture log holds and the journal "
                                             "does not are added to the journal, marked rebuilt.")));
    layout->addRow(QStringLiteral("&From:"), m_from);
    layout->addRow(QStringLiteral("&To:"), m_to);
    layout->addRow(buttons);
}

RebuildPeriod RebuildPeriodDialog::period() const
{
    return {std::min(m_from->date(), m_to->date()), std::max(m_from->date(), m_to->date())};
}
