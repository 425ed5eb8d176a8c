#pragma once

#include <QString>

// Statement texts of the ten searches. Typed values enter as quoted literals
// (SqlQuote); dates and times always travel as bound parameters.
namespace SearchStatement {

enum Kind {
    PorDataGeral = 0,
    PorDataRamal,
    PorDataHoraGeral,
    PorDataHoraRamal,
    PorRamalGeral,
    PorTelefone,
    PorTelefoneData,
    TodasGravacoes,
    PorComentario,
    NaoBilhetadaData,
    KindCount
};

// The item texts of cbSelcRelat, in the order of Kind.
QString kindName(int kind);

// Encloses text in single quotes, doubling quotes and escaping backslashes so
// that a typed value can never end the literal early.
QString SqlQuote(const QString &text);

QString selectList();
QString fromClause();

// The full statement of one kind; fallback picks kind 0's second attempt.
QString statement(int kind, const QString &value, bool fallback = false);

bool usesDates(int kind);
bool usesTimes(int kind);

} // namespace SearchStatement
