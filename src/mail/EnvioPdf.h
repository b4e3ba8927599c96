#pragma once

#include "mail/Correo.h"

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace store {
class Database;
class Statement;
} // namespace store
class RegistroEnvios;

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
    int conexiones = 4; // e-conexiones: messages sent at once
};
CuentaConstantes leerCuenta(store::Database& db);

// Names (without the folder) of the Quorvel_*.pdf files in `carpeta`, hidden ones included, by name.
QStringList ficherosPdf(const QString& carpeta);
// The centre code carried by a file name: the four characters after "Quorvel_" (fewer if the name is short).
QString codigoDeFichero(const QString& nombre);

// The subject a file goes out with: the screen's text, then the centre code and the file's month in Spanish
// ("Envío hojas de control horario mensual — 0101 — diciembre 2026"); a range names both months. `codigo`, when
// given, stands for the code in the name (the centre's code now).
QString asuntoDeFichero(const QString& asunto, const QString& nombre, const QString& codigo = {});

// What one file gave: its log lines, and whether its message went out or was left out as already sent.
struct ResultadoFichero
{
    QStringList lineas;
    bool enviado = false;
    bool yaEnviado = false;
};

// Whether a file need not go again, and since when.
struct EstadoFichero
{
    std::optional<QDateTime> enviadoEl; // set when these bytes already went to the centre's present addresses
};

// Mails PDF files to their centres, one message and one connection per file, and keeps the register of
// what was sent: the one place that writes it. Holds the centres lookup open for the life of one sending.
// The store is used only on the thread that made the object; with several connections, other threads carry
// the messages and hand the outcomes back.
class EnvioPdf
{
public:
    EnvioPdf(store::Database& db, CuentaCorreo cuenta, OpcionesCorreo opciones = {});
    ~EnvioPdf();
    EnvioPdf(const EnvioPdf&) = delete;
    EnvioPdf& operator=(const EnvioPdf&) = delete;

    // Sends the file to its centre. A file whose bytes already went to the same addresses is left out with a
    // "Ya enviado el" line unless `reenviar`.
    ResultadoFichero enviarFichero(const QString& carpeta, const QString& nombre, const QString& asunto,
                                   const QString& texto, bool reenviar = false);
    // The files in turn with up to `conexiones` messages on their way at once. `alTerminar` gets each file's
    // result on this thread, in the order of `nombres`, as soon as that file and all before it are done. With
    // one connection it is enviarFichero for each file, one after another.
    void enviarFicheros(const QString& carpeta, const QStringList& nombres, const QString& asunto, const QString& texto,
                        bool reenviar, int conexiones,
                        const std::function<void(int indice, const ResultadoFichero&)>& alTerminar);
    // Whether the file, as it is now, already went to its centre's addresses as they are now.
    EstadoFichero estado(const QString& carpeta, const QString& nombre);
    // One message to `destinatarios` with the file attached; the file must exist.
    ResultadoCorreo Enviar_correo(const QString& destinatarios, const QString& ruta, const QString& asunto,
                                  const QString& texto);

    static QString textoYaEnviado(const QDateTime& cuando); // "Ya enviado el dd/mm/aaaa hh:mm"

private:
    struct Preparado;
    // Everything up to the message leaving: the checks, the register's attempt row. `ocupadas` are the
    // files on their way (bytes and addresses); one of them again is left for later, so it is not sent twice.
    Preparado preparar(const QString& carpeta, const QString& nombre, const QString& asunto, const QString& texto,
                       bool reenviar, const QSet<QString>* ocupadas = nullptr);
    ResultadoFichero terminar(const Preparado& p, const ResultadoCorreo& resultado);

    struct Centro
    {
        bool encontrado = false;
        qint64 id = 0;
        QString codigo; // as stored now
        QString email;
        QString nota; // what happened to the centre the file was written for, when it was recoded or is gone
    };
    // The centre a file is for. A run noted which centre each file it wrote is for, and the register which
    // centre each file it sent went to: by the file's name and bytes, either finds the centre by id under
    // whatever code it has now. A file neither knows goes by the code in its name.
    Centro centroDeFichero(const QString& nombre, const std::optional<QString>& huella);

    store::Database& m_db;
    std::unique_ptr<store::Statement> m_centros;
    std::unique_ptr<store::Statement> m_porId;
    std::unique_ptr<RegistroEnvios> m_registro;
    CuentaCorreo m_cuenta;
    OpcionesCorreo m_opciones;
};
