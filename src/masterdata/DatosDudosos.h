#pragma once

#include <QStringList>

namespace store {
class Database;
}

// Every company, centre and worker whose identifier fails its check, or is empty although the sheet prints it,
// one line each with what is wrong, so a clerk can mend them before a month's sheets go out.
QStringList datosDudosos(store::Database& db);
