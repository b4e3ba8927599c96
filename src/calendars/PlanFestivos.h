#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace store {
class Database;
}

// The monthly holiday plan: one row per centre of a company, one mark per day ("X" closed, "A" open
// holiday, empty for a working day).
//
// Its work table PlanFestivos is private to the connection (a TEMP table kept in memory), so plans built
// at the same time by other copies of the program, window or batch, never see or empty each other's rows.
namespace plan {

struct FilaPlan
{
    QString codcentro; // the centre's two-character short code
    QString nomcentro;
    QString calendario;
    std::array<QString, 31> dias; // D01..D31
};

// Creates the connection's own PlanFestivos table when it is first needed.
void prepararTabla(store::Database& db);

// Empties PlanFestivos and fills it for the centres of company `idempresa`, for the month of `mes`.
// Each centre's own calendar applies, with its Saturday and Sunday closing; its holiday flag does not.
// All centres are read in one state of the file. A centre whose row cannot be read (see data/FilaCentro.h) is
// left out; the result holds one log line naming each such centre.
QStringList GenerarPlanFestivos(store::Database& db, qint64 idempresa, QDate mes);

// The rows of the last plan, in centre-code order.
std::vector<FilaPlan> leerPlan(store::Database& db);

// "PlanFestivos_<empresa>_<yyyymm>.pdf"
QString nombreFichero(qint64 idempresa, QDate mes);

} // namespace plan
