#include "data/TMD.h"

#include "data/Constantes.h"
#include "data/Schema.h"
#include "store/Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

TMD::TMD(const QString& rutaBaseDatos) : m_ruta(rutaBaseDatos), m_db(std::make_unique<store::Database>(rutaBaseDatos))
{
}

TMD::~TMD() = default;

QString TMD::rutaPorDefecto()
{
    return rutaPorDefecto(QCoreApplication::applicationDirPath(),
                          QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

QString TMD::rutaPorDefecto(const QString& carpetaPrograma, const QString& carpetaDatos)
{
    const QString fichero = QStringLiteral("Quorvel.abs");
    // The store writes its journal beside the file, so the folder, not only the file, must be writable.
    const QFileInfo programa(carpetaPrograma);
    if (programa.isDir() && programa.isWritable())
        return QDir(carpetaPrograma).filePath(fichero);
    QDir().mkpath(carpetaDatos);
    return QDir(carpetaDatos).filePath(fichero);
}

store::Database& TMD::Quorvel()
{
    if (m_abierta)
        return *m_db;
    if (QFileInfo::exists(m_ruta)) {
        m_db->open();
        if (m_db->userVersion() < 1)
            throw store::StoreError(store::kNoEsBaseQuorvel);
        schema::actualizar(*m_db);
    } else {
        // Relative, so that the file and its PDF folder can move together.
        schema::createDatabase(*m_db, kRutaPdfInicial);
    }
    m_abierta = true;
    return *m_db;
}

bool TMD::caracteresValidos(const QString& text)
{
    for (const QChar c : text) {
        const bool ok = c == u'-' || c == u'.' || c == u'_' || (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') ||
                        (c >= u'a' && c <= u'z');
        if (!ok)
            return false;
    }
    return true;
}

bool TMD::emailValido(const QString& address)
{
    const qsizetype at = address.indexOf(u'@');
    if (at < 0)
        return false;
    if (address.contains(QStringLiteral("..")))
        return false;
    const QString local = address.left(at);
    const QString domain = address.mid(at + 1);
    if (domain.size() < 4 || !domain.contains(u'.') || domain.startsWith(u'.') || domain.endsWith(u'.') ||
        domain.at(domain.size() - 2) == u'.')
        return false;
    // A mail server refuses these before the message is sent, so the account test would fail anyway.
    if (local.isEmpty() || local.startsWith(u'.') || local.endsWith(u'.'))
        return false;
    for (const QString& etiqueta : domain.split(u'.')) {
        if (etiqueta.startsWith(u'-') || etiqueta.endsWith(u'-'))
            return false;
    }
    return caracteresValidos(local) && caracteresValidos(domain);
}
