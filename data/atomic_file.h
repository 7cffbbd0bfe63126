#pragma once

#include <QByteArray>
#include <QString>

/// Writes the bytes beside the file and renames them over it, so a failed write leaves an old
/// file whole. Returns an empty text on success, else the message for the user.
QString writeFileAtomically(const QString &fileName, const QByteArray &bytes);

/// The same with the bytes of a file made elsewhere (by a library that writes only to a name).
QString copyFileAtomically(const QString &builtFile, const QString &fileName);
