#pragma once

#include <QByteArray>

// The n-th field (from 1) of a text split at a one-byte separator, as the
// recorder's status replies are read. Its corner cases are relied on by the
// poll: an n past the last field gives the last field, and field 1 of a
// text of two or more bytes without the separator is empty.
QByteArray fieldSplitter(const QByteArray &text, char separator, int n);
