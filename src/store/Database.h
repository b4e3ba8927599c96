#pragma once

#include "store/StoreError.h"

#include <QByteArrayView>
#include <QDate>
#include <QString>
#include <QVariant>
#include <memory>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

namespace store {

class Statement;

// Conversions shared by statements and in-memory rows; both throw ConversionError naming the field.
qint64 toInteger(const QVariant& value, const QString& field);
bool toBoolean(const QVariant& value, const QString& field);

// One connection to an encrypted database file, opened at the first access and kept until destroyed.
class Database
{
public:
    explicit Database(QString path);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const QString& path() const { return m_path; }
    bool isOpen() const { return m_db != nullptr; }
    // Opens the file with the fixed key and checks the key; a wrong key or a non-database throws.
    void open();
    // Creates the file when missing; never called on an existing file.
    void create();

    Statement prepare(const QString& sql);
    // Runs one or more statements that take no parameters.
    void exec(const QString& sql);
    qint64 lastInsertId();
    int changes();
    int userVersion();

    sqlite3* handle();

private:
    void openHandle(bool mustExist);

    QString m_path;
    sqlite3* m_db = nullptr;
};

// A prepared statement. Parameters are positional (1-based) or named (":par1"); columns by index or by
// name without regard to case.
class Statement
{
public:
    Statement(Database& db, const QString& sql);
    ~Statement();
    Statement(Statement&& other) noexcept;
    Statement& operator=(Statement&&) = delete;
    Statement(const Statement&) = delete;

    Statement& bind(int index, const QVariant& value);
    Statement& bind(const QString& name, const QVariant& value);
    // Dates are bound as ISO text, booleans as 0/1, a null QVariant as NULL.
    template <typename... Args> Statement& bindAll(const Args&... args)
    {
        int i = 0;
        (bind(++i, QVariant::fromValue(args)), ...);
        return *this;
    }

    // Advances to the next row; false when done. Statements without rows run at the first step.
    bool step();
    // Runs a statement that returns no rows, then resets it for the next use.
    void run();
    void reset();
    // The first column of the only row: none when there is no row, or more than one (an answer that is not
    // one value is no answer).
    std::optional<qint64> unicoEntero();

    int columnCount() const;
    QString columnName(int index) const;
    int columnIndex(const QString& name) const; // -1 when absent

    bool isNull(int index) const;
    QString text(int index) const;
    qint64 integer(int index) const; // throws ConversionError on null or non-number
    bool boolean(int index) const;   // throws ConversionError on null
    QDate date(int index) const;     // invalid QDate on null
    QVariant value(int index) const;
    // The column as the store holds it, before any conversion: NULL, integer, real, text or blob. For text
    // and blobs `bytes` gives the stored bytes (UTF-8 for text), valid until the next step.
    enum class Tipo { Nulo, Entero, Real, Texto, Binario };
    Tipo tipo(int index) const;
    QByteArrayView bytes(int index) const;
    double real(int index) const;

    bool isNull(const QString& name) const { return isNull(column(name)); }
    QString text(const QString& name) const { return text(column(name)); }
    qint64 integer(const QString& name) const { return integer(column(name)); }
    bool boolean(const QString& name) const { return boolean(column(name)); }
    QDate date(const QString& name) const { return date(column(name)); }
    QVariant value(const QString& name) const { return value(column(name)); }

private:
    int column(const QString& name) const; // throws when absent
    [[noreturn]] void fail() const;

    Database* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

// BEGIN IMMEDIATE on creation; rolls back unless committed. Inside another transaction it is a savepoint, so
// a store operation can be one step of a larger change that succeeds or fails as a whole.
class Transaction
{
public:
    enum class Alcance {
        Compartido,     // writes the shared file: BEGIN IMMEDIATE
        SoloTemporales, // writes only this connection's TEMP tables: a plain BEGIN takes no write lock on the file
    };
    explicit Transaction(Database& db, Alcance alcance = Alcance::Compartido);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    Database& m_db;
    bool m_done = false;
    bool m_anidada = false;
};

// A deferred transaction that only reads the shared file (it may write this connection's TEMP tables): what
// it reads is one state of the file. Keep it short: while it lasts, another copy's write cannot commit.
class Lectura
{
public:
    explicit Lectura(Database& db);
    ~Lectura();
    Lectura(const Lectura&) = delete;
    Lectura& operator=(const Lectura&) = delete;
    void terminar();

private:
    Database& m_db;
    bool m_done = false;
};

} // namespace store
