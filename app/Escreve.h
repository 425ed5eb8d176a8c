#pragma once

#include <QString>

// Appends line and CR LF to fileName (Windows-1252), creating the file when
// it is missing. Every error is swallowed: the caller goes on regardless.
void Escreve(const QString &line, const QString &fileName);
