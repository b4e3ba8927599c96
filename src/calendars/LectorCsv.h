#pragma once

#include "store/ErrorQuorvel.h"

#include <QByteArray>
#include <QStringList>
#include <stdexcept>
#include <vector>

// Holiday tables in CSV, read with libcsv: quoting, quoted separators and line ends inside fields as any
// spreadsheet writes them.
namespace csv {

class ErrorCsv : public ErrorQuorvel
{
public:
    using ErrorQuorvel::ErrorQuorvel;
};

struct Fila
{
    int numero = 0; // 1 for the first row of the file
    QStringList campos;
};

// The rows of `datos`, fields trimmed, rows with no text skipped. A leading UTF-8 mark is dropped; a file
// that is not UTF-8 is read as Latin-1 (a spreadsheet saved in the Windows encoding). Throws ErrorCsv.
std::vector<Fila> leer(const QByteArray& datos, char separador);

// ';' when the first line holds one (spreadsheets in Spanish write that), else ','.
char separadorProbable(const QByteArray& datos);

} // namespace csv
