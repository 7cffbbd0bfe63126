#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

// Raw bytes in and out of files, so that tests see exactly what reaches the disk.
namespace test_files {

inline QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

/// A method file as Windows writes it: CR LF lines, Windows-1252 bytes, every setting changed.
inline const QByteArray kSampleMethod = "[0]\r\nMethod Name=S\xE4ure 1\r\n"
                                        "[1]\r\nSpecialModes=9\r\nMinimalIncrement=1\r\nMeasurement=1\r\nTitrationnature=5\r\n"
                                        "[2]\r\nMaxIncrement=3\r\nPotentialChange=2\r\nTimeControl=7\r\nBalance=-1\r\n"
                                        "[3]\r\nPredosageVolume=205\r\n"
                                        "[4]\r\nB\xFCretteVolume=2\r\nMaximalVolume=50\r\n"
                                        "[5]\r\nEndpointDosageBarrier=1.5\r\n"
                                        "[6]\r\nAgitationTime=\r\n"
                                        "[7]\r\nSpecialCountings=8\r\nResultUnit=6\r\nAdditionalData=3\r\nCurveDesign=1\r\n"
                                        "[8]\r\nExternDevice=1\r\nST20=2\r\nMasterSlave=1\r\nPlottingDevice=4\r\n"
                                        "[9]\r\nConditioningTime=12\r\nConditioningTimeAfterNSamples=3\r\n"
                                        "ConditioningTimeProductionRun=1\r\n"
                                        "[10]\r\nFlushingTime=0050\r\n"
                                        "[11]\r\nDosageRinse=30\r\n"
                                        "[12]\r\nDosageDose=9999\r\n";

} // namespace test_files
