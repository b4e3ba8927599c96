#pragma once

#include <QString>

// The control digits and letters of Spanish identifiers. Each check returns the empty text when the value
// passes (or is empty) and otherwise the warning a clerk reads, such as "NIF no válido: la letra debería ser K".
// They warn, never refuse: a number copied from a paper form is still better stored than lost.
namespace identificadores {

// Upper case without spaces, dots, dashes or slashes: the form in which two identifiers are compared.
QString compactar(const QString& valor);

// A DNI number with its letter, or an NIE (X, Y or Z, seven digits and the letter).
QString avisoNif(const QString& nif);
// A company's CIF; the NIF or NIE of a self-employed employer is accepted too.
QString avisoCif(const QString& cif);
// The 12-digit social security number: province, number and two control digits.
QString avisoNss(const QString& nss);
// The 11-digit contribution account code: province, number and two control digits.
QString avisoCcc(const QString& ccc);

} // namespace identificadores
