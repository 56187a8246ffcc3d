#pragma once

#include "strip/StripLayout.h"

#include <QByteArray>
#include <QTest>

// Readable rectangles in failure messages.
inline char* toString(const StripRect& r) {
    return qstrdup(QByteArray("StripRect(" + QByteArray::number(r.Left) + ", " + QByteArray::number(r.Top) +
                              ", " + QByteArray::number(r.Right) + ", " + QByteArray::number(r.Bottom) + ")")
                       .constData());
}
