#include "data/RegistroFicheros.h"

#include "store/Database.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

namespace ficheros {

QString huella(const QByteArray& bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

void anotar(store::Database& db, const QString& ruta, qint64 idcentro)
{
    QFile f(ruta);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QString nombre = QFileInfo(ruta).fileName();
    const QString sha = huella(f.readAll());
    store::Transaction tx(db);
    db.prepare(QStringLiteral("DELETE FROM ficheros WHERE idcentro = ? AND fichero = ?"))
        .bindAll(idcentro, nombre)
        .run();
    db.prepare(QStringLiteral("INSERT INTO ficheros (fichero, sha256, idcentro, fecha) VALUES (?, ?, ?, ?)"))
        .bindAll(nombre, sha, idcentro, QDateTime::currentDateTime().toString(Qt::ISODate))
        .run();
    tx.commit();
}

std::optional<qint64> centroDe(store::Database& db, const QString& nombre, const QString& sha)
{
    store::Statement st =
        db.prepare(QStringLiteral("SELECT DISTINCT idcentro FROM ficheros WHERE sha256 = ? AND fichero = ? LIMIT 2"));
    st.bindAll(sha, nombre);
    return st.unicoEntero();
}

} // namespace ficheros
