#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// A text's length as the program counts it: bytes of the GBK encoding (1 for ASCII, 2 for any other
// character of the Basic Multilingual Plane, 4 beyond it).
qsizetype gbkLength(QStringView text);

// Text files of this version are UTF-8; those of earlier versions are GBK. Bytes that are not valid
// UTF-8 are read as GBK. A leading UTF-8 byte-order mark is dropped.
QString decodeLocalText(const QByteArray &bytes);
