#pragma once

#include "mail/Correo.h"

#include <QString>
#include <QStringList>
#include <memory>

namespace store {
class Database;
class Statement;
} // namespace store

extern const QString kAsuntoCorreo;       // "Envío hojas de control horario mensual"
extern const QString kTextoCorreo;        // the three lines of the message's text
extern const QString kCuentaNoComprobada; // the main window's and the batch's refusal
extern const QString kCuentaSinComprobar; // the sending screen's refusal
extern const QString kNingunFicheroSeleccionado;

// The account as the settings row holds it, with its verified flag (e-ok).
struct CuentaConstantes
{
    CuentaCorreo cuenta;
    bool ok = false;
};
CuentaConstantes leerCuenta(store::Database& db);

// Names (without the folder) of the Quorvel_*.pdf files in `carpeta`, hidden ones included, by name.
QStringList ficherosPdf(const QString& carpeta);
// The centre code carried by a file name: the four characters after "Quorvel_" (fewer if the name is short).
QString codigoDeFichero(const QString& nombre);

// What one file gave: its log lines, and whether its message went out.
struct ResultadoFichero
{
    QStringList lineas;
    bool enviado = false;
};

// Mails PDF files to their centres, one message and one connection per file. Holds the centres lookup
// open for the life of one sending.
class EnvioPdf
{
public:
    EnvioPdf(store::Database& db, CuentaCorreo cuenta, OpcionesCorreo opciones = {});
    ~EnvioPdf();
    EnvioPdf(const EnvioPdf&) = delete;
    EnvioPdf& operator=(const EnvioPdf&) = delete;

    ResultadoFichero enviarFichero(const QString& carpeta, const QString& nombre, const QString& asunto,
                                   const QString& texto);
    // One message to `destinatarios` with the file attached; the file must exist.
    ResultadoCorreo Enviar_correo(const QString& destinatarios, const QString& ruta, const QString& asunto,
                                  const QString& texto);

private:
    std::unique_ptr<store::Statement> m_centros;
    CuentaCorreo m_cuenta;
    OpcionesCorreo m_opciones;
};
