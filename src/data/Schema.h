#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace store {
class Database;
}

namespace schema {

// 1: the first schema. 2: the register of sent mail and the account's own authority file. 3: Calendarios.comunidad,
// the community whose official holidays a calendar takes. 4: the register of written PDF files.
// 5: constantes.e-conexiones, messages sent at once.
constexpr int kVersion = 5;

struct Field
{
    QString name;
    QString type;  // INTEGER or TEXT
    int width = 0; // 0: no fixed width; longer texts are cut to it when stored
    bool autoId = false;
};

struct Index
{
    QString name;   // as the windows know it; stored with the table name in front
    QString fields; // "fecha, num"
    bool unique = false;
};

struct Table
{
    QString name;
    std::vector<Field> fields;
    std::vector<Index> indexes;
};

const std::vector<Table>& tables();
// The table of that name; throws when there is none.
const Table& tabla(const QString& name);
// CREATE TABLE, CREATE INDEX and the width triggers of one table.
QStringList ddl(const Table& table);
// CREATE TABLE, CREATE INDEX and the width triggers of every table.
QStringList ddl();
// Gives the connection its own TEMP copy of a work table (Listado, PlanFestivos), with the same columns and
// indexes, unless it has one already. Unqualified, the table's name then means the copy, so runs of several
// copies of the program at once never see each other's rows. Kept in memory (the store sets temp_store), so
// the unencrypted rows never reach the disk.
void usarTablaPropia(store::Database& db, const QString& tabla);
// Creates the schema and the one settings row in one transaction, unless another copy already did.
void createDatabase(store::Database& db, const QString& rutaPdf);
// Brings a file made by an earlier version up to kVersion, one step per version, in one transaction. Steps only
// add, so copies of an older release keep working on the file.
void actualizar(store::Database& db);

} // namespace schema
