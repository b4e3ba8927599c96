#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace store {
class Database;
}

// One attempt to mail a file, as the register keeps it.
struct Envio
{
    qint64 id = 0;
    QString codcentro;
    qint64 idcentro = 0;
    QString fichero; // the file's name, without the folder
    qint64 tamano = 0;
    QString sha256; // hex
    QString messageId;
    QString destinatarios; // bare addresses as claveDestinatarios gives them
    QDateTime fecha;
    QString resultado; // the log line of the attempt
    bool aceptado = false;
};

// The bare addresses in lower case, sorted, each once, joined by ", ": the same set gives the same text.
QString claveDestinatarios(const QStringList& direcciones);
extern const QString kEnvioInterrumpido; // what an attempt says until its outcome is known

// The register of sent mail (table envios). Every attempt is written before the message leaves and its
// outcome right after, each on its own, so a sending killed halfway leaves the truth behind: what the server
// accepted, and what may or may not have arrived.
class RegistroEnvios
{
public:
    explicit RegistroEnvios(store::Database& db);

    // A row saying the attempt is under way; returns its id.
    qint64 anotarIntento(const Envio& envio);
    void anotarResultado(qint64 id, bool aceptado, const QString& messageId, const QString& resultado);
    // When the same bytes were accepted for the same addresses, the time of the first such acceptance.
    std::optional<QDateTime> yaEnviado(const QString& sha256, const QString& destinatarios);
    // The centre (id) that earlier sendings of a file of this name and these bytes went to; none when they went
    // to several.
    std::optional<qint64> centroDeFichero(const QString& fichero, const QString& sha256);
    // The code a centre named `codcentro` in an earlier sending has now, when it has another one.
    QString codigoActual(const QString& codcentro);
    // The attempts, newest first; an empty code means every centre, an invalid month every month.
    QList<Envio> lista(const QString& codcentro = {}, const QDate& mes = {});

private:
    store::Database& m_db;
};
