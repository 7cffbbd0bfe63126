#include "commands/input_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QVBoxLayout>

InputDialog::InputDialog(const QString &name)
    : m_fields(new QVBoxLayout), m_ok(new QPushButton("OK", this)), m_cancel(new QPushButton("Cancel", this))
{
    setObjectName(name);
    setWindowTitle("Dialog");
    QPalette skyBlue = palette();
    skyBlue.setColor(QPalette::Window, QColor(0xA6, 0xCA, 0xF0));
    setPalette(skyBlue);
    setAutoFillBackground(true);

    m_ok->setObjectName("OKBtn");
    m_ok->setAccessibleName("OK");
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);
    m_cancel->setObjectName("CancelBtn");
    m_cancel->setAccessibleName("Cancel");
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addStretch();

    auto *main = new QHBoxLayout(this);
    main->addLayout(m_fields);
    main->addSpacing(12);
    main->addLayout(buttons);
    main->setSizeConstraint(QLayout::SetFixedSize);
}

void InputDialog::addText(const QString &text, bool small)
{
    auto *label = new QLabel(text, this);
    if (small) {
        QFont font = label->font();
        font.setPointSizeF(font.pointSizeF() * 0.8);
        label->setFont(font);
    }
    m_fields->addWidget(label);
}

QLineEdit *InputDialog::addEdit(const QString &fieldName, const QString &accessibleName, const QString &unit)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName("Edit1");
    edit->setAccessibleName(accessibleName);
    if (unit.isEmpty()) {
        m_fields->addWidget(edit);
    } else {
        auto *row = new QHBoxLayout;
        row->addWidget(edit);
        row->addWidget(new QLabel(unit, this));
        m_fields->addLayout(row);
    }
    addField(edit);
    m_numberFields.append({edit, fieldName});
    return edit;
}

QComboBox *InputDialog::addChoice(const QString &accessibleName, const QStringList &entries, const QString &placeholder)
{
    auto *choice = new QComboBox(this);
    choice->setObjectName("ComboBox1");
    choice->setAccessibleName(accessibleName);
    choice->addItems(entries);
    choice->setPlaceholderText(placeholder);
    choice->setCurrentIndex(-1);
    m_fields->addWidget(choice);
    addField(choice);
    return choice;
}

void InputDialog::addField(QWidget *field)
{
    if (!m_firstField)
        m_firstField = field;
    setTabOrder(field, m_ok);
    setTabOrder(m_ok, m_cancel);
}

void InputDialog::setVisible(bool visible)
{
    // Centred on the screen rather than over the main window; moving first keeps Qt from placing it.
    // Each showing starts with typing into the first field, or with "OK" where there is none.
    if (visible) {
        (m_firstField ? m_firstField : m_ok)->setFocus();
        adjustSize();
        move(screen()->availableGeometry().center() - rect().center());
    }
    QDialog::setVisible(visible);
}

void InputDialog::accept()
{
    static const QRegularExpression number(QStringLiteral("^([0-9]+\\.?[0-9]*|\\.[0-9]+)?$"));
    for (const auto &[edit, fieldName] : m_numberFields) {
        if (number.match(edit->text()).hasMatch())
            continue;
        QMessageBox refusal(QMessageBox::Warning, QApplication::applicationDisplayName(),
                            QStringLiteral("%1: \"%2\" is not a number.\nType digits with at most one \".\".")
                                .arg(fieldName, edit->text()),
                            QMessageBox::Ok, this);
        refusal.exec();
        edit->setFocus();
        edit->selectAll();
        return;
    }
    QDialog::accept();
}
