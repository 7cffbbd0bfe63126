#include "results/result_record.h"

#include "method/method_folder.h"

QString ResultRecord::defaultFileName(const QString &suffix) const
{
    const QString source = recordNo > 0 ? QStringLiteral("record %1").arg(recordNo) : QStringLiteral("selection");
    return QStringLiteral("Titration %1 %2.%3")
        .arg(made.toString(QStringLiteral("yyyy-MM-dd HH-mm-ss")), source, suffix);
}

QList<QStringList> ResultRecord::resultRows() const
{
    const bool ph = unit == SignalUnit::pH;
    QList<QStringList> rows{{QStringLiteral("EQP"), QStringLiteral("Volume/ml"),
                             ph ? QStringLiteral("Signal/pH") : QStringLiteral("Signal/mV")}};
    for (qsizetype i = 0; i < points.size(); ++i)
        rows.append({QString::number(i + 1), QString::number(points[i].volume, 'f', 3),
                     QString::number(points[i].signal, 'f', ph ? 2 : 1)});
    if (points.isEmpty())
        rows.append({QStringLiteral("No clear equivalence point")});
    rows.append(QStringList());
    rows.append(
        {QStringLiteral("Data record"), recordNo > 0 ? QString::number(recordNo) : QStringLiteral("selected by hand")});
    if (run) {
        // A field the user left empty was not sent, and is not shown.
        if (!run->entry.weight.isEmpty())
            rows.append({QStringLiteral("Sample weight/g"), run->entry.weight});
        if (!run->entry.identification.isEmpty())
            rows.append({QStringLiteral("Identification"), run->entry.identification});
        rows.append({QStringLiteral("Titration started"), run->started.toString(Qt::ISODate)});
    }
    if (!method.isEmpty())
        rows.append({QStringLiteral("Method"), method});
    return rows;
}

QString methodDescription(const MethodFolder &folder)
{
    const int slot = folder.rememberedSlot();
    if (slot < 0)
        return {};
    const QString name = folder.slotName(slot);
    return name == MethodFolder::freeSlotName(slot) ? QStringLiteral("slot %1").arg(slot)
                                                    : QStringLiteral("%1 (slot %2)").arg(name).arg(slot);
}
