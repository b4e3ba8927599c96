#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace store {
class Database;
}

namespace schema {

constexpr int kVersion = 1;

struct Field
{
    QString name;
    QString type;   // INTEGER or TEXT
    int width = 0;  // 0: no fixed width; longer texts are cut to it when stored
    bool autoId = false;
};

struct Index
{
    QString name;    // as the windows know it; stored with the table name in front
    QString fields;  // "fecha, num"
    bool unique = false;
};

struct Table
{
    QString name;
    std::vector<Field> fields;
    std::vector<Index> indexes;
};

const std::vector<Table>& tables();
// CREATE TABLE, CREATE INDEX and the width triggers of every table.
QStringList ddl();
// Creates the schema and the one settings row in one transaction, unless another copy already did.
void createDatabase(store::Database& db, const QString& rutaPdf);

} // namespace schema
