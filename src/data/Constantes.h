#pragma once

#include <QString>
#include <QVariantMap>

namespace store {
class Database;
}

// The single settings row, typed.
struct Constantes
{
    qint64 empresa = 0;
    bool sabados = false;
    bool domingos = false;
    bool festivos = false;
    bool autocentros = false;
    bool diasemana = false;
    bool todostrabajadores = false;
    bool todoscentros = false;
    bool impresora = false;
    bool generarPDF = false;
    bool Multiempresa = false;
    bool Calenxcentros = false;
    bool VerHoras = false;
    bool eOK = false;
    QString RutaPDF;
    QString eNombreEnvio;
    QString eDireccionEnvio;
    QString eHost;
    QString ePuerto;
    QString eUsuario;
    QString ePassword;
    QString eCertificado; // e-certificado: PEM file of an authority the mail server's certificate may rely on
    int eConexiones = 4;  // e-conexiones: messages sent at once, each over its own connection
};

// The settings row as stored, read once; fields by name without regard to case. Reading an empty
// field as integer or boolean throws store::ConversionError, so a load stops at that field.
class FilaConstantes
{
public:
    // The row holds the mail password: from here on the process leaves no core file.
    explicit FilaConstantes(store::Database& db);
    ~FilaConstantes();
    FilaConstantes(const FilaConstantes&) = delete;
    FilaConstantes& operator=(const FilaConstantes&) = delete;
    qint64 entero(const QString& campo) const;
    bool logico(const QString& campo) const;
    QString texto(const QString& campo) const;

private:
    QVariantMap m_valores; // keys in lower case
};

// The PDF folder a RutaPDF value names: a relative value is taken from the database file's folder, never from
// the current directory, so the window and the batch tool started anywhere write to the same place. An empty
// value stays empty (no folder set).
QString rutaPdfResuelta(const QString& rutaBaseDatos, const QString& rutaPdf);
// What the first run stores: the folder "PDF" beside the database file.
inline const QString kRutaPdfInicial = QStringLiteral("PDF");

// Messages that may go out at once: 1 keeps one message after another; more is seldom of use to a mail server.
inline constexpr int kConexionesDefecto = 4;
inline constexpr int kConexionesMaximo = 8;
// The stored e-conexiones value as used: empty or out of range (a file an older copy wrote) gives the default.
int conexionesCorreo(const QVariant& valor);

// Reads every field in the row's order; throws at the first empty boolean or integer.
Constantes leerConstantes(store::Database& db);
// Writes the whole row back (the settings screen).
void grabarConstantes(store::Database& db, const Constantes& c);
