#pragma once

#include <QString>
#include <memory>

namespace store {
class Database;
}

// The data module: the one connection to the database file and the values every window consults.
class TMD
{
public:
    // DataModuleCreate: points the connection at the file; nothing is opened yet.
    explicit TMD(const QString& rutaBaseDatos = rutaPorDefecto());
    ~TMD();

    // The file used when none is named: "Quorvel.abs" beside the executable when that folder is writable (a
    // copied, portable install), otherwise in the user's data folder, which is then created.
    static QString rutaPorDefecto();
    static QString rutaPorDefecto(const QString& carpetaPrograma, const QString& carpetaDatos);

    // The connection, opened at the first call. A missing file is created with the schema; an existing
    // file that cannot be opened with the key throws store::StoreError and is left as it is.
    store::Database& Quorvel();
    const QString& rutaBaseDatos() const { return m_ruta; }

    static bool caracteresValidos(const QString& text);
    static bool emailValido(const QString& address);

    bool Multiempresa = false;
    bool Calenxcentros = false;
    bool VerHoras = true;
    bool CorreoOK = false;
    qint64 IdEmpresaActiva = 0;

private:
    QString m_ruta;
    std::unique_ptr<store::Database> m_db;
    bool m_abierta = false;
};
