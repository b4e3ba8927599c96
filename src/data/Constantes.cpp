#include "data/Constantes.h"

#include "data/Secretos.h"
#include "store/Database.h"

#include <QDir>
#include <QFileInfo>

FilaConstantes::FilaConstantes(store::Database& db)
{
    protegerSecretos();
    store::Statement st = db.prepare(QStringLiteral("SELECT * FROM constantes LIMIT 1"));
    if (!st.step())
        throw store::StoreError(QStringLiteral("La tabla de configuración (constantes) no tiene ninguna fila"));
    for (int i = 0; i < st.columnCount(); ++i)
        m_valores.insert(st.columnName(i).toLower(), st.value(i));
    st.reset();
}

FilaConstantes::~FilaConstantes()
{
    const auto clave = m_valores.find(QStringLiteral("e-password"));
    if (clave != m_valores.end()) {
        QString texto = clave->toString();
        *clave = QVariant();
        borrarSecreto(texto);
    }
}

qint64 FilaConstantes::entero(const QString& campo) const
{
    return store::toInteger(m_valores.value(campo.toLower()), campo);
}

bool FilaConstantes::logico(const QString& campo) const
{
    return store::toBoolean(m_valores.value(campo.toLower()), campo);
}

QString FilaConstantes::texto(const QString& campo) const
{
    return m_valores.value(campo.toLower()).toString();
}

Constantes leerConstantes(store::Database& db)
{
    const FilaConstantes fila(db);
    Constantes c;
    c.empresa = fila.entero(QStringLiteral("empresa"));
    c.sabados = fila.logico(QStringLiteral("sabados"));
    c.domingos = fila.logico(QStringLiteral("domingos"));
    c.festivos = fila.logico(QStringLiteral("festivos"));
    c.autocentros = fila.logico(QStringLiteral("autocentros"));
    c.diasemana = fila.logico(QStringLiteral("diasemana"));
    c.todostrabajadores = fila.logico(QStringLiteral("todostrabajadores"));
    c.todoscentros = fila.logico(QStringLiteral("todoscentros"));
    c.impresora = fila.logico(QStringLiteral("impresora"));
    c.generarPDF = fila.logico(QStringLiteral("generarPDF"));
    c.RutaPDF = fila.texto(QStringLiteral("RutaPDF"));
    c.Multiempresa = fila.logico(QStringLiteral("Multiempresa"));
    c.Calenxcentros = fila.logico(QStringLiteral("Calenxcentros"));
    c.VerHoras = fila.logico(QStringLiteral("VerHoras"));
    c.eOK = fila.logico(QStringLiteral("E-OK"));
    c.eNombreEnvio = fila.texto(QStringLiteral("e-nombreenvio"));
    c.eDireccionEnvio = fila.texto(QStringLiteral("e-direccionenvio"));
    c.eHost = fila.texto(QStringLiteral("e-host"));
    c.ePuerto = fila.texto(QStringLiteral("e-puerto"));
    c.eUsuario = fila.texto(QStringLiteral("e-usuario"));
    c.ePassword = fila.texto(QStringLiteral("e-password"));
    c.eCertificado = fila.texto(QStringLiteral("e-certificado"));
    c.eConexiones = conexionesCorreo(fila.texto(QStringLiteral("e-conexiones")));
    return c;
}

void grabarConstantes(store::Database& db, const Constantes& c)
{
    store::Transaction tx(db);
    db.prepare(
          QStringLiteral("UPDATE constantes SET empresa = ?, sabados = ?, domingos = ?, festivos = ?, autocentros = ?, "
                         "diasemana = ?, todostrabajadores = ?, todoscentros = ?, impresora = ?, generarPDF = ?, "
                         "Multiempresa = ?, Calenxcentros = ?, VerHoras = ?, \"E-OK\" = ?, RutaPDF = ?, "
                         "\"e-nombreenvio\" = ?, \"e-direccionenvio\" = ?, \"e-host\" = ?, \"e-puerto\" = ?, "
                         "\"e-usuario\" = ?, \"e-password\" = ?, \"e-certificado\" = ?, \"e-conexiones\" = ?"))
        .bindAll(c.empresa, c.sabados, c.domingos, c.festivos, c.autocentros, c.diasemana, c.todostrabajadores,
                 c.todoscentros, c.impresora, c.generarPDF, c.Multiempresa, c.Calenxcentros, c.VerHoras, c.eOK,
                 c.RutaPDF, c.eNombreEnvio, c.eDireccionEnvio, c.eHost, c.ePuerto, c.eUsuario, c.ePassword,
                 c.eCertificado, conexionesCorreo(c.eConexiones))
        .run();
    if (db.changes() == 0)
        throw store::StoreError(QStringLiteral("La tabla de configuración (constantes) no tiene ninguna fila"));
    tx.commit();
}

int conexionesCorreo(const QVariant& valor)
{
    bool ok = false;
    const int n = valor.toString().trimmed().toInt(&ok);
    return ok && n >= 1 && n <= kConexionesMaximo ? n : kConexionesDefecto;
}

QString rutaPdfResuelta(const QString& rutaBaseDatos, const QString& rutaPdf)
{
    if (rutaPdf.trimmed().isEmpty())
        return rutaPdf;
    if (QDir::isAbsolutePath(rutaPdf))
        return QDir::cleanPath(rutaPdf);
    return QDir::cleanPath(QFileInfo(rutaBaseDatos).absoluteDir().filePath(rutaPdf));
}
