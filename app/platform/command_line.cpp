#include "app/platform/command_line.h"

#include <QCommandLineParser>
#include <QDir>

namespace {

struct QtOption
{
    const char *name;
    bool takesValue;
};

// The options QGuiApplication and QApplication take out of the arguments themselves.
constexpr QtOption qtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"display", true},
    {"geometry", true},        {"name", true},
    {"title", true},           {"visual", true},
    {"style", true},           {"stylesheet", true},
    {"session", true},         {"reverse", false},
    {"widgetcount", false},    {"nograb", false},
    {"dograb", false},         {"sync", false},
};

} // namespace

CommandLine::CommandLine(const QStringList &arguments)
{
    parse(arguments);
}

void CommandLine::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    // "-platform" is one option, as Qt's own parsing reads it, not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Korvane drives a DL25 titrator over a serial line."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show these options."));
    const QCommandLineOption showVersion({QStringLiteral("v"), QStringLiteral("version")},
                                         QStringLiteral("Show the version."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("The device of the port COM1, for this start, e.g. /dev/ttyUSB0."),
                                  QStringLiteral("path"));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      QStringLiteral("Start a simulated titrator and use it as COM1."));
    const QCommandLineOption dataFolder(
        QStringLiteral("in-data-folder"),
        QStringLiteral("Work in the user's data folder (~/.local/share/Korvane), so that the method folder "
                       "Config is there; the desktop menu starts Korvane so."));
    parser.addOptions({help, showVersion, port, simulate, dataFolder});
    for (const QtOption &option : qtOptions) {
        QCommandLineOption passed(QString::fromLatin1(option.name));
        if (option.takesValue)
            passed.setValueName(QStringLiteral("value"));
        passed.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(passed);
    }

    // Before the application object exists the parser does not know the program's name.
    const QString helpText = parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("korvane"));
    if (!parser.parse(arguments))
        return fail(parser.errorText(), helpText);
    if (parser.isSet(help)) {
        m_finished = true;
        m_message = helpText;
        return;
    }
    if (parser.isSet(showVersion)) {
        m_finished = true;
        m_message = QStringLiteral("Korvane %1\n").arg(version());
        return;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("Unexpected argument '%1'.").arg(parser.positionalArguments().constFirst()),
                    helpText);
    m_simulate = parser.isSet(simulate);
    m_inDataFolder = parser.isSet(dataFolder);
    if (parser.isSet(port)) {
        const QString path = parser.value(port);
        if (path.isEmpty())
            return fail(QStringLiteral("--port needs the path of a device, e.g. /dev/ttyUSB0."), helpText);
        if (m_simulate)
            return fail(QStringLiteral("--port and --simulate both name COM1; give one of them."), helpText);
        // Absolute now, before a start in the data folder changes the working folder.
        m_port = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    }
}

QString CommandLine::version()
{
    return QStringLiteral(KORVANE_VERSION);
}

void CommandLine::fail(const QString &error, const QString &helpText)
{
    m_finished = true;
    m_exitStatus = usageError;
    const QString usage = helpText.section(QLatin1Char('\n'), 0, 0);
    m_message = QStringLiteral("korvane: %1\n%2\nTry 'korvane --help' for more information.\n").arg(error, usage);
}
