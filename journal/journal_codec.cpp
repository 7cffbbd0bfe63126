#include "journal/journal_codec.h"

#include "journal/journal_row.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QStringList stateNames = {"complete", "aborted", "edited", "rebuilt"};
const QStringList kindNames = {"edit", "reevaluation", "signature", "invalidation"};

QJsonArray pointsJson(const QList<EquivalencePoint> &points)
{
    QJsonArray array;
    for (const EquivalencePoint &point : points)
        array.append(QJsonArray{point.volume, point.signal});
    return array;
}

QList<EquivalencePoint> pointsFrom(const QJsonValue &value)
{
    QList<EquivalencePoint> points;
    for (const QJsonValue &point : value.toArray())
        points.append({point[0].toDouble(), point[1].toDouble()});
    return points;
}

// A table row as one text: cells apart by single spaces; a backslash, a space and an empty cell
// inside a cell are written \\, \s and \e, so every row reads back as it was.
QString rowText(const QStringList &cells)
{
    QStringList escaped;
    for (const QString &cell : cells) {
        if (cell.isEmpty()) {
            escaped.append(QStringLiteral("\\e"));
            continue;
        }
        QString text = cell;
        text.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        text.replace(QLatin1Char(' '), QLatin1String("\\s"));
        escaped.append(text);
    }
    return escaped.join(QLatin1Char(' '));
}

QStringList rowFrom(const QString &text)
{
    QStringList cells;
    if (text.isEmpty())
        return cells;
    for (const QString &part : text.split(QLatin1Char(' '))) {
        QString cell;
        for (qsizetype at = 0; at < part.size(); ++at) {
            if (part[at] != QLatin1Char('\\') || at + 1 == part.size()) {
                cell += part[at];
                continue;
            }
            const QChar code = part[++at];
            if (code == QLatin1Char('s'))
                cell += QLatin1Char(' ');
            else if (code != QLatin1Char('e'))
                cell += code;
        }
        cells.append(cell);
    }
    return cells;
}

// "1234 0001 ..."; an older row has an array of four-number arrays.
std::array<ModeCode, 12> modeCodesFrom(const QJsonValue &value)
{
    std::array<ModeCode, 12> codes{};
    const QStringList groups = value.toString().split(QLatin1Char(' '));
    for (std::size_t group = 0; group < codes.size(); ++group) {
        const QString text = groups.value(qsizetype(group));
        const QStringList digits =
            text.contains(QLatin1Char(',')) ? text.split(QLatin1Char(',')) : text.split(QString(), Qt::SkipEmptyParts);
        for (std::size_t digit = 0; digit < 4; ++digit)
            codes[group].digits[digit] = value.isString() ? digits.value(qsizetype(digit)).toInt()
                                                          : value[qsizetype(group)][qsizetype(digit)].toInt();
    }
    return codes;
}

QJsonObject rowHeader(const QString &kind, const QString &uuid, const QString &entryUuid, const QString &bench,
                      const QString &user, const QDateTime &recordedAt)
{
    return {{"kind", kind},   {"uuid", uuid}, {"entry", entryUuid}, {"bench", bench},
            {"user", user}, {"recordedAt", JournalCodec::timeText(recordedAt)}};
}

QByteArray canonical(const QJsonObject &object)
{
    // QJsonObject keeps its keys sorted, so the same values always give the same bytes.
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QJsonObject objectOf(const QByteArray &content)
{
    return QJsonDocument::fromJson(content).object();
}

QVariant optionalText(const QJsonObject &object, const char *key)
{
    return object.contains(key) ? QVariant(object[key].toString()) : QVariant();
}

QVariant optionalNumber(const QJsonValue &value)
{
    return value.isDouble() ? QVariant(value.toDouble()) : QVariant();
}

/// What the list's search looks in, lower case, one line per field so no match spans two.
QVariant searchText(const QStringList &fields)
{
    const QString text = fields.join(QLatin1Char('\n')).trimmed();
    return text.isEmpty() ? QVariant() : QVariant(text.toLower());
}

} // namespace

QString JournalCodec::timeText(const QDateTime &time)
{
    return time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString();
}

QDateTime JournalCodec::timeFrom(const QString &text)
{
    return QDateTime::fromString(text, Qt::ISODateWithMs);
}

QString JournalCodec::modeCodesText(const std::array<ModeCode, 12> &codes)
{
    QStringList groups;
    for (const ModeCode &code : codes) {
        QStringList digits;
        for (const std::int32_t digit : code.digits)
            digits.append(QString::number(digit));
        const bool single = std::all_of(code.digits.begin(), code.digits.end(), [](int d) { return d >= 0 && d <= 9; });
        groups.append(digits.join(single ? QString() : QStringLiteral(",")));
    }
    return groups.join(QLatin1Char(' '));
}

QString JournalCodec::kindName(JournalAmendment::Kind kind)
{
    return kindNames[int(kind)];
}

JournalEntry::State JournalCodec::stateFrom(const QString &name)
{
    return JournalEntry::State(qMax(0, stateNames.indexOf(name)));
}

QByteArray JournalCodec::encode(const JournalEntry &entry, const QDateTime &recordedAt)
{
    QJsonObject object = rowHeader("entry", entry.uuid, entry.uuid, entry.bench, entry.osUser, recordedAt);
    // An entry is its own entry: "entry" would only repeat "uuid".
    object.remove("entry");
    QJsonArray table;
    for (const QStringList &row : entry.table)
        table.append(rowText(row));
    object.insert("receivedSha256", JournalRow::sha256Hex(entry.received));
    object.insert("table", table);
    object.insert("points", pointsJson(entry.equivalencePoints));
    object.insert("results", entry.resultsBlock);
    object.insert("weight", entry.sampleWeight);
    object.insert("sample", entry.sampleId);
    object.insert("slot", entry.methodSlot);
    object.insert("method", entry.methodName);
    object.insert("modeCodes", modeCodesText(entry.modeCodes));
    object.insert("runStart", timeText(entry.runStart));
    object.insert("firstByte", timeText(entry.firstByte));
    object.insert("lastByte", timeText(entry.lastByte));
    object.insert("line", entry.lineSettings);
    object.insert("version", entry.programVersion);
    object.insert("state", stateNames[int(entry.state)]);
    if (!entry.note.isEmpty())
        object.insert("note", entry.note);
    return canonical(object);
}

QByteArray JournalCodec::encode(const JournalAmendment &amendment)
{
    QJsonObject object = rowHeader(kindName(amendment.kind), amendment.uuid, amendment.entryUuid, amendment.bench,
                                   amendment.user, amendment.time);
    switch (amendment.kind) {
    case JournalAmendment::Kind::Edit:
        if (amendment.sampleWeight)
            object.insert("weight", *amendment.sampleWeight);
        if (amendment.sampleId)
            object.insert("sample", *amendment.sampleId);
        object.insert("note", amendment.note);
        break;
    case JournalAmendment::Kind::Reevaluation:
        object.insert("points", pointsJson(amendment.equivalencePoints));
        object.insert("settings", amendment.settings);
        break;
    case JournalAmendment::Kind::Signature:
        object.insert("meaning", amendment.meaning);
        object.insert("comment", amendment.comment);
        object.insert("covers", amendment.coversSha256);
        break;
    case JournalAmendment::Kind::Invalidation:
        object.insert("note", amendment.note);
        break;
    }
    return canonical(object);
}

JournalEntry JournalCodec::decodeEntry(const QByteArray &content, const QByteArray &received)
{
    const QJsonObject object = objectOf(content);
    JournalEntry entry;
    entry.uuid = object["uuid"].toString();
    entry.received = received;
    for (const QJsonValue &row : object["table"].toArray())
        entry.table.append(row.isString() ? rowFrom(row.toString()) : row.toVariant().toStringList());
    entry.equivalencePoints = pointsFrom(object["points"]);
    entry.resultsBlock = object["results"].toString();
    entry.sampleWeight = object["weight"].toDouble();
    entry.sampleId = object["sample"].toString();
    entry.methodSlot = object["slot"].toInt();
    entry.methodName = object["method"].toString();
    entry.modeCodes = modeCodesFrom(object["modeCodes"]);
    entry.runStart = timeFrom(object["runStart"].toString());
    entry.firstByte = timeFrom(object["firstByte"].toString());
    entry.lastByte = timeFrom(object["lastByte"].toString());
    entry.lineSettings = object["line"].toString();
    entry.programVersion = object["version"].toString();
    entry.osUser = object["user"].toString();
    entry.state = stateFrom(object["state"].toString());
    entry.bench = object["bench"].toString();
    entry.note = object["note"].toString();
    return entry;
}

JournalAmendment JournalCodec::decodeAmendment(const QByteArray &content)
{
    const QJsonObject object = objectOf(content);
    JournalAmendment amendment;
    amendment.kind = JournalAmendment::Kind(qMax(0, kindNames.indexOf(object["kind"].toString())));
    amendment.uuid = object["uuid"].toString();
    amendment.entryUuid = object["entry"].toString();
    amendment.user = object["user"].toString();
    amendment.bench = object["bench"].toString();
    amendment.time = timeFrom(object["recordedAt"].toString());
    if (object.contains("weight"))
        amendment.sampleWeight = object["weight"].toDouble();
    if (object.contains("sample"))
        amendment.sampleId = object["sample"].toString();
    amendment.note = object["note"].toString();
    amendment.equivalencePoints = pointsFrom(object["points"]);
    amendment.settings = object["settings"].toString();
    amendment.meaning = object["meaning"].toString();
    amendment.comment = object["comment"].toString();
    amendment.coversSha256 = object["covers"].toString();
    return amendment;
}

const QStringList &JournalCodec::columnNames()
{
    static const QStringList names = {"kind",      "uuid",        "entry_uuid",      "recorded_at",     "bench",
                                      "run_start", "sample_id",   "sample_weight",   "method_name",     "first_ep_volume",
                                      "first_ep_signal", "result_line", "search_text", "state", "received_sha256"};
    return names;
}

QList<QVariant> JournalCodec::columnsOf(const QByteArray &content)
{
    const QJsonObject object = objectOf(content);
    if (!object.contains("kind"))
        return {};
    const QJsonValue firstPoint = object["points"].toArray().at(0);
    const bool isEntry = object["kind"].toString() == QLatin1String("entry");
    const QString resultLine = JournalEntry::resultLineOf(object["results"].toString());
    return {object["kind"].toString(),
            object["uuid"].toString(),
            object.contains("entry") ? object["entry"].toString() : object["uuid"].toString(),
            object["recordedAt"].toString(),
            object["bench"].toString(),
            optionalText(object, "runStart"),
            optionalText(object, "sample"),
            optionalNumber(object["weight"]),
            optionalText(object, "method"),
            isEntry ? optionalNumber(firstPoint[0]) : QVariant(),
            isEntry ? optionalNumber(firstPoint[1]) : QVariant(),
            isEntry ? QVariant(resultLine) : QVariant(),
            searchText({object["sample"].toString(), object["method"].toString(), resultLine}),
            optionalText(object, "state"),
            optionalText(object, "receivedSha256")};
}
