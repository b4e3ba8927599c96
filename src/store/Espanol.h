#pragma once

#include <QString>
#include <string>
#include <vector>

namespace store {

// Registered on every connection when it opens. Use them in queries only, never in the schema, so that
// other SQLite tools still read the file:
//   ORDER BY nomtrabajador COLLATE ESPANOL
//   WHERE instr(PLEGAR(nomtrabajador), PLEGAR(:par1)) > 0
inline const QString kColacionEspanol = QStringLiteral("ESPANOL");
inline const QString kFuncionPlegar = QStringLiteral("PLEGAR");

// Spanish order: accented letters with their base letter, Ñ between N and O, case ignored.
int compararEspanol(const QString& a, const QString& b);
// compararEspanol() for many texts at once: sorts `orden` (positions into `textos`) by the texts in Spanish
// order, equal texts by position. A long list sorts much faster than through the SQL collation.
void ordenarEspanol(const std::vector<QString>& textos, std::vector<int>& orden);
// Lower case without accents (á→a, ü→u, ñ→n), for searches that ignore both.
QString plegar(const QString& texto);
// The same on UTF-8 text, appended to `destino`; fast for the Latin letters names are written in.
void plegarUtf8(const char* texto, int bytes, std::string& destino);

} // namespace store
