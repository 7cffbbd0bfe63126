#pragma once

#include <QString>

class TSerialPort;

/// The port at a glance: its name, line settings and state, as "COM1 2400 7E2 open"; the state
/// is "open", "lost" (the device went away) or "closed".
QString connectionSummary(const TSerialPort &port);

/// What the status bar says when the lost device's port name leads to another device now.
QString reconnectRefusedMessage(const TSerialPort &port);

/// What a command that needs the port says when the port is not open.
QString notOpenMessage(const QString &portName);
