#include "mail/EnvioPdf.h"

#include "data/Constantes.h"
#include "store/Database.h"

#include <QDir>
#include <QFileInfo>

const QString kAsuntoCorreo = QStringLiteral("Envío hojas de control horario mensual");
const QString kTextoCorreo = QStringLiteral("Adjunto se envía el pdf con el control de horario mensual.\n\nUn saludo.");
const QString kCuentaNoComprobada =
    QStringLiteral("La cuenta de correo de envío no está comprobada\n    configúrela y compruébela en Constantes");
const QString kCuentaSinComprobar = QStringLiteral(
    "No está comprobada la cuenta de envío de correo\nConfigúrela en Mantenimiento de Constantes, y pruébela");
const QString kNingunFicheroSeleccionado = QStringLiteral("No hay ningún fichero seleccionado");

CuentaConstantes leerCuenta(store::Database& db)
{
    const FilaConstantes fila(db);
    CuentaConstantes c;
    c.cuenta.nombreEnvio = fila.texto(QStringLiteral("e-nombreenvio"));
    c.cuenta.direccionEnvio = fila.texto(QStringLiteral("e-direccionenvio"));
    c.cuenta.host = fila.texto(QStringLiteral("e-host"));
    c.cuenta.puerto = fila.texto(QStringLiteral("e-puerto"));
    c.cuenta.usuario = fila.texto(QStringLiteral("e-usuario"));
    c.cuenta.password = fila.texto(QStringLiteral("e-password"));
    c.ok = fila.logico(QStringLiteral("e-ok"));
    return c;
}

QStringList ficherosPdf(const QString& carpeta)
{
    if (carpeta.trimmed().isEmpty())
        return {};
    const QDir dir(carpeta);
    // The pattern alone would also take "quorvel_x.PDF" on a case-blind match; the names are ours, exact.
    QStringList nombres;
    for (const QString& n :
         dir.entryList({QStringLiteral("Quorvel_*.pdf")}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (n.startsWith(QStringLiteral("Quorvel_")) && n.endsWith(QStringLiteral(".pdf")))
            nombres << n;
    }
    return nombres;
}

QString codigoDeFichero(const QString& nombre)
{
    return nombre.mid(8, 4);
}

EnvioPdf::EnvioPdf(store::Database& db, CuentaCorreo cuenta, OpcionesCorreo opciones)
    : m_centros(std::make_unique<store::Statement>(
          db, QStringLiteral("SELECT email FROM centros WHERE codcentro = :par1 ORDER BY id LIMIT 1"))),
      m_cuenta(std::move(cuenta)), m_opciones(std::move(opciones))
{
}

EnvioPdf::~EnvioPdf() = default;

ResultadoCorreo EnvioPdf::Enviar_correo(const QString& destinatarios, const QString& ruta, const QString& asunto,
                                        const QString& texto)
{
    return enviarCorreo(m_cuenta, MensajeCorreo{destinatarios, asunto, texto, ruta}, m_opciones);
}

ResultadoFichero EnvioPdf::enviarFichero(const QString& carpeta, const QString& nombre, const QString& asunto,
                                         const QString& texto)
{
    ResultadoFichero r;
    const QString codigo = codigoDeFichero(nombre);
    m_centros->bind(QStringLiteral(":par1"), codigo);
    const bool encontrado = m_centros->step();
    const QString email = encontrado ? m_centros->text(0) : QString();
    m_centros->reset();
    if (!encontrado) {
        r.lineas << QStringLiteral("No encuentro centro: ") + codigo;
        return r;
    }
    if (email.trimmed().isEmpty()) {
        r.lineas << QStringLiteral("Mail centro ") + codigo + QStringLiteral(" vacío");
        return r;
    }
    const QString ruta = carpeta.isEmpty() ? nombre : QDir(carpeta).filePath(nombre);
    // A message without the file it exists for is of no use to the centre, and "OK" would hide the loss.
    if (!QFileInfo(ruta).isFile()) {
        r.lineas << QStringLiteral("No encontrado el anexo: ") + ruta;
        return r;
    }
    const ResultadoCorreo envio = Enviar_correo(email, ruta, asunto, texto);
    if (envio.ok()) {
        r.lineas << QStringLiteral("Envio a: ") + codigo + QStringLiteral("  OK");
        r.enviado = true;
    } else {
        r.lineas << QStringLiteral("Error al enviar: ") + codigo + QStringLiteral(" a ") + email +
                        QStringLiteral("  ") + ruta + QStringLiteral(" (") + envio.causa() + QStringLiteral(")");
    }
    return r;
}
