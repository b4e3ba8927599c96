#include "store/Database.h"

#include "store/Espanol.h"
#include "store/Key.h"

#include "store/Formato4.h"

#include <QFileInfo>
#include <cstdlib>
#include <sqlite3.h>

namespace store {

namespace {

constexpr int kBusyTimeoutMs = 15000;

QString errorText(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

// The code goes with the text, so that the message table does not depend on the store's wording.
int errorCode(sqlite3* db)
{
    return db ? sqlite3_extended_errcode(db) : SQLITE_NOMEM;
}

QString textoDe(int longitud, const void* datos)
{
    return QString::fromUtf8(static_cast<const char*>(datos), longitud);
}

int colacionEspanol(void*, int longitudA, const void* a, int longitudB, const void* b)
{
    return compararEspanol(textoDe(longitudA, a), textoDe(longitudB, b));
}

void funcionPlegar(sqlite3_context* contexto, int, sqlite3_value** argumentos)
{
    if (sqlite3_value_type(argumentos[0]) == SQLITE_NULL) {
        sqlite3_result_null(contexto);
        return;
    }
    const auto* texto = reinterpret_cast<const char*>(sqlite3_value_text(argumentos[0]));
    // A search folds six fields of every worker: no allocation per call.
    thread_local std::string plegado;
    plegado.clear();
    plegarUtf8(texto, sqlite3_value_bytes(argumentos[0]), plegado);
    sqlite3_result_text(contexto, plegado.data(), int(plegado.size()), SQLITE_TRANSIENT);
}

// A statement naming a collation or function the connection lacks fails, so both come with every connection.
int registrarEspanol(sqlite3* db)
{
    int rc = sqlite3_create_collation_v2(db, kColacionEspanol.toUtf8().constData(), SQLITE_UTF8, nullptr,
                                         colacionEspanol, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, kFuncionPlegar.toUtf8().constData(), 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC,
                                        nullptr, funcionPlegar, nullptr, nullptr, nullptr);
    return rc;
}

} // namespace

qint64 toInteger(const QVariant& value, const QString& field)
{
    if (value.isNull())
        throw ConversionError(
            QStringLiteral("El campo '%1' está vacío y no se puede leer como número entero").arg(field));
    if (value.typeId() == QMetaType::LongLong || value.typeId() == QMetaType::Double)
        return value.toLongLong();
    bool ok = false;
    const qint64 number = value.toString().trimmed().toLongLong(&ok);
    if (!ok)
        throw ConversionError(
            QStringLiteral("'%1' no es un valor entero válido (campo '%2')").arg(value.toString(), field));
    return number;
}

bool toBoolean(const QVariant& value, const QString& field)
{
    if (value.isNull())
        throw ConversionError(
            QStringLiteral("El campo '%1' está vacío y no se puede leer como valor lógico").arg(field));
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed();
        if (text.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (text.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0)
            return false;
    }
    return toInteger(value, field) != 0;
}

Database::Database(QString path) : m_path(std::move(path)) {}

Database::~Database()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

void Database::open()
{
    if (!m_db)
        openHandle(true);
}

void Database::create()
{
    if (!m_db)
        openHandle(false);
}

namespace {

// Every copy of the program, on every release, shares one file, so it is kept in the format of the oldest
// supported SQLCipher (3.x). A 4.x library reads and writes that format with its compatibility setting.
enum class Formato {
    Compatible3,
    Propio4,
};

int versionPrincipal(sqlite3* db)
{
    int version = 0;
    sqlite3_exec(
        db, "PRAGMA cipher_version",
        [](void* destino, int, char** valores, char**) {
            if (valores[0])
                *static_cast<int*>(destino) = std::atoi(valores[0]);
            return 0;
        },
        &version, nullptr);
    return version;
}

struct Apertura
{
    sqlite3* db = nullptr;
    int rc = SQLITE_OK;
    int version = 0;
};

Apertura abrir(const QByteArray& file, int flags, Formato formato)
{
    Apertura a;
    a.rc = sqlite3_open_v2(file.constData(), &a.db, flags, nullptr);
    if (a.rc == SQLITE_OK) {
        const QByteArray key = databaseKey();
        a.rc = sqlite3_key(a.db, key.constData(), key.size());
    }
    if (a.rc == SQLITE_OK) {
        a.version = versionPrincipal(a.db);
        // Never cipher_migrate: that rewrites the file, and copies with SQLCipher 3 could no longer read it.
        if (a.version >= 4 && formato == Formato::Compatible3)
            a.rc = sqlite3_exec(a.db, "PRAGMA cipher_compatibility = 3", nullptr, nullptr, nullptr);
    }
    if (a.rc == SQLITE_OK)
        a.rc = sqlite3_busy_timeout(a.db, kBusyTimeoutMs);
    if (a.rc == SQLITE_OK)
        a.rc = registrarEspanol(a.db);
    // Work tables are TEMP tables of the connection; in memory, their unencrypted rows never reach the disk.
    if (a.rc == SQLITE_OK)
        a.rc = sqlite3_exec(a.db, "PRAGMA temp_store = MEMORY", nullptr, nullptr, nullptr);
    // Every page read from the file is decrypted and checked: the default 2,000 small pages held less than the
    // workers of a large office, so each search read them all again. Another copy's write still clears it.
    if (a.rc == SQLITE_OK)
        a.rc = sqlite3_exec(a.db, "PRAGMA cache_size = -32768", nullptr, nullptr, nullptr);
    // A wrong key only shows at the first real read.
    if (a.rc == SQLITE_OK)
        a.rc = sqlite3_exec(a.db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    return a;
}

} // namespace

void Database::openHandle(bool mustExist)
{
    const QByteArray file = QFileInfo(m_path).absoluteFilePath().toUtf8();
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX;
    if (!mustExist)
        flags |= SQLITE_OPEN_CREATE;
    Apertura a = abrir(file, flags, Formato::Compatible3);
    // A file written in SQLCipher 4's own format, by a build made before the shared format, still opens.
    if (a.rc == SQLITE_NOTADB && a.version >= 4) {
        const QString primerError = errorText(a.db);
        sqlite3_close_v2(a.db);
        a = abrir(file, flags & ~SQLITE_OPEN_CREATE, Formato::Propio4);
        if (a.rc == SQLITE_NOTADB) {
            sqlite3_close_v2(a.db);
            throw StoreError(primerError, SQLITE_NOTADB);
        }
    }
    if (a.rc == SQLITE_NOTADB && a.version > 0 && a.version < 4 && esFormatoSqlcipher4(m_path, databaseKey())) {
        sqlite3_close_v2(a.db);
        throw StoreError(kFormatoSqlcipher4);
    }
    if (a.rc != SQLITE_OK) {
        const QString message = errorText(a.db);
        const int code = a.db ? errorCode(a.db) : a.rc;
        sqlite3_close_v2(a.db);
        throw StoreError(message, code);
    }
    m_db = a.db;
}

sqlite3* Database::handle()
{
    open();
    return m_db;
}

Statement Database::prepare(const QString& sql)
{
    return Statement(*this, sql);
}

void Database::exec(const QString& sql)
{
    char* error = nullptr;
    const int rc = sqlite3_exec(handle(), sql.toUtf8().constData(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const QString message = error ? QString::fromUtf8(error) : errorText(m_db);
        sqlite3_free(error);
        throw StoreError(message, errorCode(m_db));
    }
}

qint64 Database::lastInsertId()
{
    return sqlite3_last_insert_rowid(handle());
}

int Database::changes()
{
    return sqlite3_changes(handle());
}

int Database::userVersion()
{
    Statement st = prepare(QStringLiteral("PRAGMA user_version"));
    return st.step() ? int(st.integer(0)) : 0;
}

Statement::Statement(Database& db, const QString& sql) : m_db(&db)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db.handle(), text.constData(), text.size() + 1, &m_stmt, nullptr) != SQLITE_OK)
        fail();
}

Statement::~Statement()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

Statement::Statement(Statement&& other) noexcept : m_db(other.m_db), m_stmt(other.m_stmt)
{
    other.m_stmt = nullptr;
}

void Statement::fail() const
{
    throw StoreError(errorText(m_db->handle()), errorCode(m_db->handle()));
}

Statement& Statement::bind(int index, const QVariant& value)
{
    int rc = SQLITE_OK;
    if (value.isNull() || !value.isValid()) {
        rc = sqlite3_bind_null(m_stmt, index);
    } else {
        switch (value.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Short:
            rc = sqlite3_bind_int64(m_stmt, index, value.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(m_stmt, index, value.toDouble());
            break;
        case QMetaType::QDate: {
            const QByteArray iso = value.toDate().toString(Qt::ISODate).toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, iso.constData(), iso.size(), SQLITE_TRANSIENT);
            break;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            rc = sqlite3_bind_blob(m_stmt, index, bytes.constData(), bytes.size(), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray utf8 = value.toString().toUtf8();
            rc = sqlite3_bind_text(m_stmt, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT);
        }
        }
    }
    if (rc != SQLITE_OK)
        fail();
    return *this;
}

Statement& Statement::bind(const QString& name, const QVariant& value)
{
    const int index = sqlite3_bind_parameter_index(m_stmt, name.toUtf8().constData());
    if (index == 0)
        throw StoreError(QStringLiteral("no such parameter: %1").arg(name));
    return bind(index, value);
}

bool Statement::step()
{
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE) {
        // Releases the read lock at once so that other copies can write.
        sqlite3_reset(m_stmt);
        return false;
    }
    const QString message = errorText(m_db->handle());
    const int code = errorCode(m_db->handle());
    sqlite3_reset(m_stmt);
    throw StoreError(message, code);
}

void Statement::run()
{
    while (step()) {
    }
    reset();
}

void Statement::reset()
{
    sqlite3_reset(m_stmt);
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString Statement::columnName(int index) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, index));
}

int Statement::columnIndex(const QString& name) const
{
    const int count = columnCount();
    for (int i = 0; i < count; ++i) {
        if (columnName(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

int Statement::column(const QString& name) const
{
    const int index = columnIndex(name);
    if (index < 0)
        throw StoreError(QStringLiteral("no such column: %1").arg(name));
    return index;
}

bool Statement::isNull(int index) const
{
    return sqlite3_column_type(m_stmt, index) == SQLITE_NULL;
}

Statement::Tipo Statement::tipo(int index) const
{
    switch (sqlite3_column_type(m_stmt, index)) {
    case SQLITE_INTEGER:
        return Tipo::Entero;
    case SQLITE_FLOAT:
        return Tipo::Real;
    case SQLITE_NULL:
        return Tipo::Nulo;
    case SQLITE_BLOB:
        return Tipo::Binario;
    default:
        return Tipo::Texto;
    }
}

QByteArrayView Statement::bytes(int index) const
{
    // The text call comes first: it may convert the value, and the length is that of the result.
    const auto* data = sqlite3_column_type(m_stmt, index) == SQLITE_BLOB
                           ? static_cast<const char*>(sqlite3_column_blob(m_stmt, index))
                           : reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
    return data ? QByteArrayView(data, sqlite3_column_bytes(m_stmt, index)) : QByteArrayView();
}

double Statement::real(int index) const
{
    return sqlite3_column_double(m_stmt, index);
}

QString Statement::text(int index) const
{
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, index));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(m_stmt, index)) : QString();
}

std::optional<qint64> Statement::unicoEntero()
{
    if (!step())
        return std::nullopt;
    const qint64 valor = integer(0);
    if (step())
        return std::nullopt;
    return valor;
}

qint64 Statement::integer(int index) const
{
    return toInteger(value(index), columnName(index));
}

bool Statement::boolean(int index) const
{
    return toBoolean(value(index), columnName(index));
}

QDate Statement::date(int index) const
{
    if (isNull(index))
        return {};
    return QDate::fromString(text(index).left(10), Qt::ISODate);
}

QVariant Statement::value(int index) const
{
    switch (sqlite3_column_type(m_stmt, index)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_stmt, index)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_stmt, index));
    case SQLITE_NULL:
        return {};
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(m_stmt, index)),
                          sqlite3_column_bytes(m_stmt, index));
    default:
        return text(index);
    }
}

Transaction::Transaction(Database& db, Alcance alcance) : m_db(db)
{
    m_anidada = sqlite3_get_autocommit(m_db.handle()) == 0;
    if (m_anidada)
        m_db.exec(QStringLiteral("SAVEPOINT anidada"));
    else
        m_db.exec(alcance == Alcance::Compartido ? QStringLiteral("BEGIN IMMEDIATE") : QStringLiteral("BEGIN"));
}

Transaction::~Transaction()
{
    if (!m_done) {
        try {
            m_db.exec(m_anidada ? QStringLiteral("ROLLBACK TO anidada; RELEASE anidada") : QStringLiteral("ROLLBACK"));
        } catch (const StoreError&) {
            // Already rolled back by the store after a failed statement.
        }
    }
}

void Transaction::commit()
{
    m_db.exec(m_anidada ? QStringLiteral("RELEASE anidada") : QStringLiteral("COMMIT"));
    m_done = true;
}

Lectura::Lectura(Database& db) : m_db(db)
{
    m_db.exec(QStringLiteral("BEGIN"));
    // A deferred transaction takes its snapshot at its first read, not at BEGIN.
    m_db.exec(QStringLiteral("SELECT count(*) FROM sqlite_master"));
}

Lectura::~Lectura()
{
    if (!m_done) {
        try {
            m_db.exec(QStringLiteral("ROLLBACK"));
        } catch (const StoreError&) {
        }
    }
}

void Lectura::terminar()
{
    m_db.exec(QStringLiteral("COMMIT"));
    m_done = true;
}

} // namespace store
