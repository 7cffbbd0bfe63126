#include "method/ui/group_page.h"

#include "method/ui/choice_list.h"
#include "method/ui/page_info.h"
#include "method/ui/up_down.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include <algorithm>

namespace {

constexpr int kWidth = 551;
constexpr int kHeight = 361;
constexpr int kCaptionX = 15;
constexpr int kControlX = 107;
constexpr int kListWidth = 245;
constexpr int kFieldWidth = 121;
constexpr int kFieldHeight = 21;
constexpr int kSpinWidth = 17;
constexpr int kHintX = 360;
constexpr int kHintWidth = kWidth - kHintX - kCaptionX;
constexpr int kLineWidth = 513;
constexpr int kGap = 6;
constexpr int kDropDownRowHeight = 16;

QLabel *addLabel(QWidget *page, const QString &text, bool underlined, bool bold = false)
{
    auto *label = new QLabel(text, page);
    label->setTextFormat(Qt::PlainText);
    QFont font = label->font();
    font.setUnderline(underlined);
    font.setBold(bold);
    label->setFont(font);
    label->setAccessibleName(text);
    return label;
}

/// A label of the given width, as tall as its wrapped text.
QLabel *addWrapped(QWidget *page, const QString &text, int x, int y, int width)
{
    QLabel *label = addLabel(page, text, false);
    label->setWordWrap(true);
    label->setGeometry(x, y, width, label->heightForWidth(width));
    return label;
}

QString fromUtf8(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

GroupPage::GroupPage(const PageInfo &info, QWidget *parent) : QFrame(parent)
{
    setObjectName(QLatin1String(info.name));
    setAccessibleName(objectName());
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFixedSize(kWidth, kHeight);
    int top = kGap;
    for (const SectionInfo &section : info.sections) {
        if (top > kGap) {
            auto *line = new QFrame(this);
            line->setFrameStyle(QFrame::HLine | QFrame::Sunken);
            line->setGeometry(kCaptionX, top, kLineWidth, 2);
            top += 2 + kGap;
        }
        top = addSection(section, top);
    }
    if (!info.note.empty())
        addNote(info.note);
}

int GroupPage::addSection(const SectionInfo &section, int top)
{
    QLabel *caption = addLabel(this, fromUtf8(section.caption), true, true);
    caption->move(kCaptionX, top);
    caption->adjustSize();
    top += caption->height() + 2;

    int height = 0;
    if (section.kind == ControlKind::Numeric) {
        height = addNumericField(section, top);
    } else {
        QWidget *widget = addControl(section, top);
        widget->setAccessibleName(caption->text());
        height = widget->height();
    }
    QWidget *edited = m_controls.back().second;
    if (section.hint) {
        const QString hint = fromUtf8(section.hint);
        QLabel *label = addWrapped(this, hint, kHintX, top, kHintWidth);
        label->setAlignment(Qt::AlignCenter);
        label->setFixedHeight(std::max(label->height(), height));
        height = std::max(height, label->height());
        if (section.tooltip)
            edited->setToolTip(hint);
    }
    return top + height + kGap;
}

QWidget *GroupPage::addControl(const SectionInfo &section, int top)
{
    QStringList items;
    for (const char *item : section.items)
        items.append(fromUtf8(item));
    Q_ASSERT(items.size() == SettingInfo::of(section.setting).size);
    QWidget *widget = nullptr;
    if (section.kind == ControlKind::List) {
        auto *list = new ChoiceList(this);
        list->addItems(items);
        list->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        list->setGeometry(kControlX, top, kListWidth,
                          section.rows * list->sizeHintForRow(0) + 2 * list->frameWidth());
        widget = list;
    } else {
        auto *dropDown = new QComboBox(this);
        dropDown->addItems(items);
        for (int row = 0; row < dropDown->count(); ++row)
            dropDown->setItemData(row, QSize(0, kDropDownRowHeight), Qt::SizeHintRole);
        dropDown->setGeometry(kControlX, top, kListWidth, dropDown->sizeHint().height());
        widget = dropDown;
    }
    widget->setObjectName(QLatin1String(section.name));
    m_controls.emplace_back(section.setting, widget);
    return widget;
}

int GroupPage::addNumericField(const SectionInfo &section, int top)
{
    const SettingInfo &setting = SettingInfo::of(section.setting);
    auto *field = new QLineEdit(QStringLiteral("0"), this);
    field->setObjectName(QLatin1String(section.name));
    field->setAccessibleName(fromUtf8(section.caption));
    field->setMaxLength(setting.size);
    field->setGeometry(kControlX, top, kFieldWidth, kFieldHeight);
    auto *upDown = new TUpDown(field, setting.maximum(), this);
    upDown->setObjectName(QLatin1String(section.upDownName));
    upDown->setAccessibleName(upDown->objectName());
    upDown->setGeometry(kControlX + kFieldWidth, top, kSpinWidth, kFieldHeight);
    m_controls.emplace_back(section.setting, field);
    QLabel *legend = addLabel(this, fromUtf8(section.legend), false);
    legend->move(kControlX, top + kFieldHeight + 2);
    legend->adjustSize();
    return kFieldHeight + 2 + legend->height();
}

void GroupPage::addNote(const std::vector<const char *> &lines)
{
    QStringList texts;
    for (const char *line : lines)
        texts.append(fromUtf8(line));
    QLabel *text = addWrapped(this, texts.join(QLatin1Char('\n')), kCaptionX, 0, kLineWidth);
    text->move(kCaptionX, kHeight - kGap - text->height());
    QLabel *heading = addLabel(this, QStringLiteral("Note:"), true);
    heading->adjustSize();
    heading->move(kCaptionX, text->y() - heading->height() - 2);
}

QWidget *GroupPage::control(Setting setting) const
{
    const auto found = std::find_if(m_controls.begin(), m_controls.end(),
                                    [setting](const auto &entry) { return entry.first == setting; });
    return found != m_controls.end() ? found->second : nullptr;
}

int GroupPage::choice(Setting setting) const
{
    if (const QListWidget *box = list(setting)) {
        const QModelIndexList selected = box->selectionModel()->selectedRows();
        return selected.isEmpty() ? -1 : selected.first().row();
    }
    return static_cast<const QComboBox *>(control(setting))->currentIndex();
}

void GroupPage::setChoice(Setting setting, int index)
{
    if (QListWidget *box = list(setting)) {
        const bool inList = index >= 0 && index < box->count();
        box->setCurrentRow(inList ? index : -1);
        if (!inList)
            box->clearSelection();
        return;
    }
    auto *dropDown = static_cast<QComboBox *>(control(setting));
    dropDown->setCurrentIndex(index >= 0 && index < dropDown->count() ? index : -1);
}

QString GroupPage::text(Setting setting) const
{
    return static_cast<const QLineEdit *>(control(setting))->text();
}

void GroupPage::setText(Setting setting, const QString &text)
{
    static_cast<QLineEdit *>(control(setting))->setText(text);
}

QString GroupPage::caption(Setting setting) const
{
    // Every control carries its section's caption as its accessible name.
    return control(setting)->accessibleName();
}

QListWidget *GroupPage::list(Setting setting) const
{
    return qobject_cast<QListWidget *>(control(setting));
}
