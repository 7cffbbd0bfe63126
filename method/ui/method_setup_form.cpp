#include "method/ui/method_setup_form.h"

#include "common/message_boxes.h"
#include "method/method_error.h"
#include "method/mode_group.h"
#include "method/ui/drop_down_style.h"
#include "method/ui/group_page.h"
#include "method/ui/method_icons.h"
#include "method/ui/page_info.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The tree names two groups a little differently from their page titles.
constexpr std::array<const char *, ModeGroup::kCount> kTreeCaptions = {
    "1. Titrationtype",
    "2. Control and Data logging",
    "3. Predosage",
    "4. Bürette-/ Max. Volume",
    "5. Endpoint - Dosage - Barrier",
    "6. Agitation Time",
    "7. Result calculation and Demonstration",
    "8. System",
    "9. Serial Titration with Assaycharger",
    "A. Flushing Time",
    "B. Dosage RINSE",
    "C. Dosage DOSE",
};

const QLatin1String kNoNameMessage{"Method cannot be saved, until Method Name has been set."};
constexpr int kFirstPredefinedSlot = 36;
constexpr int kTreeItemGroupRole = Qt::UserRole;

/// White bold 10-point text on the highlight colour.
QLabel *addStrip(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    auto *strip = new QLabel(text, parent);
    strip->setObjectName(name);
    strip->setAccessibleName(text);
    strip->setGeometry(geometry);
    strip->setIndent(4);
    strip->setAutoFillBackground(true);
    QPalette colours = strip->palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Highlight));
    colours.setColor(QPalette::WindowText, Qt::white);
    strip->setPalette(colours);
    QFont font = strip->font();
    font.setBold(true);
    font.setPointSize(10);
    strip->setFont(font);
    return strip;
}

QFrame *addBevel(QWidget *parent, const QRect &geometry, int shape)
{
    auto *bevel = new QFrame(parent);
    bevel->setFrameStyle(shape | QFrame::Sunken);
    bevel->setGeometry(geometry);
    return bevel;
}

QLabel *addLabel(QWidget *parent, const QString &text, QPoint at, bool bold = false)
{
    auto *label = new QLabel(text, parent);
    label->setAccessibleName(text);
    QFont font = label->font();
    font.setBold(bold);
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

} // namespace

TMethodSetupForm::TMethodSetupForm(const MethodFolder &folder, MessageBoxes &boxes, QWidget *parent)
    : QDialog(parent), m_folder(folder), m_boxes(boxes)
{
    setObjectName(QStringLiteral("MethodSetupForm"));
    setWindowTitle(QStringLiteral("Mode (Method Setup)"));
    setAccessibleName(windowTitle());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"), 8);
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    setFont(font);
    resize(738, 392);

    buildTree();
    addStrip(this, QStringLiteral("TitratorControlLabel"), QStringLiteral("Titrator Control"), QRect(6, 166, 171, 25));
    buildTitratorPanel();
    m_header = addStrip(this, QStringLiteral("HeaderLabel"), QString(), QRect(183, 0, 551, 25));
    buildPages();
    showGroup(1);
    auto *dropDownStyle = new DropDownStyle;
    dropDownStyle->setParent(this);
    for (QComboBox *dropDown : findChildren<QComboBox *>())
        dropDown->setStyle(dropDownStyle);

    MethodSettings method;
    const int slot = method.loadAtCreation(m_folder);
    {
        const QSignalBlocker quiet(m_slots);
        m_slots->setCurrentIndex(slot);
    }
    showSettings(method);
    m_fileSettings = settings();
}

void TMethodSetupForm::buildTree()
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("MainMenuTreeView"));
    m_tree->setAccessibleName(m_tree->objectName());
    m_tree->setGeometry(1, 1, 177, 160);
    m_tree->setHeaderHidden(true);
    m_tree->setRootIsDecorated(false);
    m_tree->setIndentation(33);
    m_tree->setIconSize(QSize(20, 20));
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setMouseTracking(true);
    QIcon icon(method_icons::treeItem(false));
    icon.addPixmap(method_icons::treeItem(true), QIcon::Selected);
    for (int group = 1; group <= ModeGroup::kCount; ++group) {
        auto *item = new QTreeWidgetItem(m_tree, {QString::fromUtf8(kTreeCaptions[group - 1])});
        item->setIcon(0, icon);
        item->setData(0, kTreeItemGroupRole, group);
    }
    connect(m_tree, &QTreeWidget::itemClicked, this, &TMethodSetupForm::MainMenuTreeViewClick);
    // Moving through the tree with the keyboard shows the pages as well.
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &TMethodSetupForm::MainMenuTreeViewClick);

    auto *info = new QToolButton(this);
    info->setObjectName(QStringLiteral("InfoButton"));
    info->setAccessibleName(QStringLiteral("Info"));
    info->setToolTip(QStringLiteral("Info"));
    info->setGeometry(160, 142, 16, 16);
    info->setIcon(method_icons::info());
    info->setIconSize(QSize(16, 16));
    info->setAutoRaise(true);
    connect(info, &QToolButton::clicked, this, &TMethodSetupForm::InfoButtonClick);
}

void TMethodSetupForm::buildTitratorPanel()
{
    auto *panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("TitratorPanel"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setGeometry(6, 192, 171, 193);

    const struct
    {
        const char *name;
        const char *caption;
        QPixmap glyph;
        int top;
        void (TMethodSetupForm::*handler)();
    } buttons[] = {
        {"TitratorUploadButton", "&Temporary Upload", method_icons::upload(), 8,
         &TMethodSetupForm::TitratorUploadButtonClick},
        {"TitratorLoadButton", "&Load Method", method_icons::load(), 64, &TMethodSetupForm::TitratorLoadButtonClick},
        {"TitratorSaveButton", "&Save 'n' Upload Method", method_icons::save(), 88,
         &TMethodSetupForm::TitratorSaveButtonClick},
    };
    for (const auto &entry : buttons) {
        QFrame *bevel = addBevel(panel, QRect(8, entry.top, 153, 24), QFrame::Panel);
        auto *button = new QToolButton(bevel);
        button->setObjectName(QLatin1String(entry.name));
        button->setText(QString::fromUtf8(entry.caption));
        button->setAccessibleName(button->text().remove(QLatin1Char('&')));
        button->setIcon(entry.glyph);
        button->setIconSize(QSize(20, 20));
        button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        button->setAutoRaise(true);
        button->setGeometry(1, 1, 151, 22);
        connect(button, &QToolButton::clicked, this, entry.handler);
    }
    addBevel(panel, QRect(8, 42, 153, 2), QFrame::HLine);
    addLabel(panel, QStringLiteral("Method Memory:"), QPoint(8, 48), true);
    addLabel(panel, QStringLiteral("Method Name:"), QPoint(6, 132));

    m_methodName = new QLineEdit(panel);
    m_methodName->setObjectName(QStringLiteral("MethodNameEdit"));
    m_methodName->setAccessibleName(QStringLiteral("Method Name:"));
    m_methodName->setGeometry(77, 129, 81, 21);

    m_slots = new QComboBox(panel);
    m_slots->setObjectName(QStringLiteral("TitratorControlComboBoxEx"));
    m_slots->setAccessibleName(m_slots->objectName());
    m_slots->setMaxVisibleItems(8);
    m_slots->setIconSize(QSize(20, 20));
    const QIcon user(method_icons::slot(false));
    const QIcon predefined(method_icons::slot(true));
    for (int slot = 0; slot < MethodFolder::kSlotCount; ++slot)
        m_slots->addItem(slot < kFirstPredefinedSlot ? user : predefined, QString());
    refreshSlotNames();
    m_slots->setGeometry(8, 156, 153, m_slots->sizeHint().height());
    connect(m_slots, &QComboBox::currentIndexChanged, this, &TMethodSetupForm::IniFileLoadPreview);
}

void TMethodSetupForm::buildPages()
{
    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("GroupPages"));
    m_pages->setGeometry(183, 25, 551, 361);
    for (int group = 1; group <= ModeGroup::kCount; ++group) {
        auto *page = new GroupPage(PageInfo::of(group), m_pages);
        m_pages->addWidget(page);
        m_groupPages[static_cast<std::size_t>(group - 1)] = page;
    }
    connect(pageOf(Setting::TimeControl).list(Setting::TimeControl), &QListWidget::itemSelectionChanged, this,
            &TMethodSetupForm::TimeControlListBoxClick);
}

void TMethodSetupForm::refreshSlotNames()
{
    const QStringList names = m_folder.slotNames();
    for (int slot = 0; slot < names.size(); ++slot)
        m_slots->setItemText(slot, names[slot]);
    reportFolderWarning();
}

void TMethodSetupForm::reportFolderWarning() const
{
    if (!OnFolderWarning)
        return;
    if (const QString warning = m_folder.oversizedWarning(); !warning.isEmpty())
        OnFolderWarning(warning);
}

void TMethodSetupForm::setInfoForm(QDialog *info)
{
    m_info = info;
}

void TMethodSetupForm::ResetTitratorSaveButtonState()
{
    m_saveFlag = 0;
}

void TMethodSetupForm::ResetTitratorLoadButtonState()
{
    m_loadFlag = 0;
}

void TMethodSetupForm::ResetTitratorUploadButtonState()
{
    m_uploadFlag = 0;
}

std::int32_t TMethodSetupForm::TitratorUploadButtonState() const
{
    return m_uploadFlag;
}

std::int32_t TMethodSetupForm::TitratorLoadButtonState() const
{
    return m_loadFlag;
}

std::int32_t TMethodSetupForm::TitratorSaveButtonState() const
{
    return m_saveFlag;
}

int TMethodSetupForm::selectedSlot() const
{
    return m_slots->currentIndex();
}

GroupPage &TMethodSetupForm::pageOf(Setting setting) const
{
    return *m_groupPages[static_cast<std::size_t>(SettingInfo::of(setting).group - 1)];
}

MethodSettings TMethodSetupForm::settings() const
{
    MethodSettings method;
    method.setName(m_methodName->text());
    for (const Setting setting : SettingInfo::all()) {
        const GroupPage &page = pageOf(setting);
        if (SettingInfo::of(setting).isChoice())
            method.setChoice(setting, page.choice(setting));
        else
            method.setText(setting, page.text(setting));
    }
    return method;
}

bool TMethodSetupForm::hasUnsavedEdits() const
{
    return settings() != m_fileSettings;
}

void TMethodSetupForm::showSettings(const MethodSettings &method)
{
    // Reading a method is not the user's selection: the time-control rule stays out of it.
    const QSignalBlocker quiet(pageOf(Setting::TimeControl).list(Setting::TimeControl));
    m_methodName->setText(method.name());
    for (const Setting setting : SettingInfo::all()) {
        GroupPage &page = pageOf(setting);
        if (SettingInfo::of(setting).isChoice())
            page.setChoice(setting, method.choice(setting));
        else
            page.setText(setting, method.text(setting));
    }
}

ModeCode TMethodSetupForm::TitrationtypeModeCode() const
{
    return m_codes[0];
}

ModeCode TMethodSetupForm::ControlModeCode() const
{
    return m_codes[1];
}

ModeCode TMethodSetupForm::PredosageModeCode() const
{
    return m_codes[2];
}

ModeCode TMethodSetupForm::BueretteModeCode() const
{
    return m_codes[3];
}

ModeCode TMethodSetupForm::EndpointDosageBarrierModeCode() const
{
    return m_codes[4];
}

ModeCode TMethodSetupForm::AgitationTimeModeCode() const
{
    return m_codes[5];
}

ModeCode TMethodSetupForm::ResultCalculationModeCode() const
{
    return m_codes[6];
}

ModeCode TMethodSetupForm::SystemModeCode() const
{
    return m_codes[7];
}

ModeCode TMethodSetupForm::ConditioningTimeModeCode() const
{
    return m_codes[8];
}

ModeCode TMethodSetupForm::FlushingTimeModeCode() const
{
    return m_codes[9];
}

ModeCode TMethodSetupForm::DosageRinseModeCode() const
{
    return m_codes[10];
}

ModeCode TMethodSetupForm::DosageDoseModeCode() const
{
    return m_codes[11];
}

void TMethodSetupForm::IniFileSave()
{
    const MethodSettings method = settings();
    if (!method.IniFileSave(m_folder, selectedSlot())) {
        m_boxes.message(this, MethodSettings::kSaveWithoutSlotMessage);
        return;
    }
    m_fileSettings = method;
}

void TMethodSetupForm::IniFileLoadPreview()
{
    MethodSettings method;
    if (!method.IniFileLoadPreview(m_folder, selectedSlot())) {
        m_boxes.message(this, MethodSettings::kPreviewWithoutSlotMessage);
        return;
    }
    showSettings(method);
    m_fileSettings = settings();
    reportFolderWarning();
}

void TMethodSetupForm::showGroup(int group)
{
    m_header->setText(ModeGroup::at(group).titleText());
    m_header->setAccessibleName(m_header->text());
    m_pages->setCurrentIndex(group - 1);
}

void TMethodSetupForm::MainMenuTreeViewClick()
{
    const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
    if (!selected.isEmpty())
        showGroup(selected.first()->data(0, kTreeItemGroupRole).toInt());
}

void TMethodSetupForm::TimeControlListBoxClick()
{
    GroupPage &page = pageOf(Setting::TimeControl);
    const bool fixedTime = MethodSettings::isFixedTimeControl(page.choice(Setting::TimeControl));
    page.list(Setting::Balance)->setEnabled(!fixedTime);
    const int balance = page.choice(Setting::Balance);
    if (fixedTime && balance >= 0)
        m_balanceBeforeFixedTime = balance;
    // An enabled list always holds a choice: the one it had before it was switched off.
    page.setChoice(Setting::Balance, fixedTime ? -1 : (balance >= 0 ? balance : m_balanceBeforeFixedTime));
}

void TMethodSetupForm::storeGroup(int group)
{
    showGroup(group);
    m_codes[static_cast<std::size_t>(group - 1)].store(group, settings());
}

bool TMethodSetupForm::storeAll()
{
    try {
        for (int group = 1; group <= ModeGroup::kCount; ++group)
            storeGroup(group);
    } catch (const MethodError &error) {
        m_boxes.error(this, errorText(error));
        return false;
    }
    return true;
}

QString TMethodSetupForm::errorText(const MethodError &error) const
{
    const std::optional<Setting> setting = error.setting();
    return setting ? pageOf(*setting).caption(*setting) + QLatin1Char(' ') + error.message() : error.message();
}

// The flags are set only once every group could be stored, so that closing the dialog after a
// refused store sends nothing.
void TMethodSetupForm::TitratorUploadButtonClick()
{
    if (!storeAll())
        return;
    m_uploadFlag = -1;
    accept();
}

void TMethodSetupForm::TitratorLoadButtonClick()
{
    m_loadFlag = -1;
    accept();
}

void TMethodSetupForm::TitratorSaveButtonClick()
{
    try {
        m_folder.rememberSlot(selectedSlot());
    } catch (const MethodError &error) {
        m_boxes.error(this, error.message());
        return;
    }
    if (m_methodName->text().isEmpty()) {
        m_boxes.message(this, kNoNameMessage);
        return;
    }
    if (!storeAll())
        return;
    m_uploadFlag = -1;
    m_saveFlag = -1;
    accept();
}

void TMethodSetupForm::InfoButtonClick()
{
    if (!m_info)
        return;
    m_info->exec();
    raise();
    activateWindow();
}

void TMethodSetupForm::TitrationtypeSaveButtonClick()
{
    storeGroup(1);
}

void TMethodSetupForm::ControlSaveButtonClick()
{
    storeGroup(2);
}

void TMethodSetupForm::PredosageSaveButtonClick()
{
    storeGroup(3);
}

void TMethodSetupForm::BueretteSaveButtonClick()
{
    storeGroup(4);
}

void TMethodSetupForm::EndpointDosageBarrierSaveButtonClick()
{
    storeGroup(5);
}

void TMethodSetupForm::AgitationTimeSaveButtonClick()
{
    storeGroup(6);
}

void TMethodSetupForm::ResultCalculationSaveButtonClick()
{
    storeGroup(7);
}

void TMethodSetupForm::SystemSaveButtonClick()
{
    storeGroup(8);
}

void TMethodSetupForm::ConditioningTimeSaveButtonClick()
{
    storeGroup(9);
}

void TMethodSetupForm::FlushingTimeSaveButtonClick()
{
    storeGroup(10);
}

void TMethodSetupForm::DosageRinseSaveButtonClick()
{
    storeGroup(11);
}

void TMethodSetupForm::DosageDoseSaveButtonClick()
{
    storeGroup(12);
}

void TMethodSetupForm::showEvent(QShowEvent *event)
{
    refreshSlotNames();
    MainMenuTreeViewClick();
    if (const QScreen *shown = screen())
        move(shown->availableGeometry().center() - rect().center());
    QDialog::showEvent(event);
}

void TMethodSetupForm::keyPressEvent(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
