#include "base/ArgumentosLote.h"

#include "base/Meses.h"
#include "data/TMD.h"
#include "store/Database.h"

#include <QFileInfo>
#include <QTextStream>

namespace lote {

QHash<QString, QString> leerArgumentos(const QStringList& argumentos, const QStringList& conValor,
                                       const QStringList& saltar, const QString& desconocida)
{
    QHash<QString, QString> opciones;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        QString arg = argumentos.at(i);
        if (saltar.contains(arg))
            continue;
        if (arg == QStringLiteral("--help") || arg == QStringLiteral("-h") || arg == QStringLiteral("--ayuda")) {
            opciones.insert(QStringLiteral("help"), QString());
            continue;
        }
        if (!arg.startsWith(QStringLiteral("--")))
            throw ErrorArgumentos{QStringLiteral("Argumento no reconocido: «%1».").arg(arg)};
        arg.remove(0, 2);
        QString valor;
        const qsizetype igual = arg.indexOf(u'=');
        if (igual >= 0) {
            valor = arg.mid(igual + 1);
            arg.truncate(igual);
        } else if (conValor.contains(arg)) {
            if (i + 1 >= argumentos.size())
                throw ErrorArgumentos{QStringLiteral("Falta el valor de --%1.").arg(arg)};
            valor = argumentos.at(++i);
        }
        if (!conValor.contains(arg))
            throw ErrorArgumentos{desconocida.arg(arg)};
        if (opciones.contains(arg))
            throw ErrorArgumentos{QStringLiteral("La opción --%1 aparece dos veces.").arg(arg)};
        opciones.insert(arg, valor);
    }
    return opciones;
}

QDate mes(const QString& texto, const QString& nombre)
{
    const QDate fecha = QDate::fromString(texto + QStringLiteral("01"), QStringLiteral("yyyyMMdd"));
    if (texto.size() != 6 || !fecha.isValid())
        throw ErrorArgumentos{QStringLiteral("El mes de --%1 debe tener la forma AAAAMM (por ejemplo 201905), no «%2».")
                                  .arg(nombre, texto)};
    if (!meses::permitido(fecha))
        throw ErrorArgumentos{
            QStringLiteral("El mes de --%1 debe estar entre 190001 y 999912, no «%2».").arg(nombre, texto)};
    return fecha;
}

std::unique_ptr<TMD> abrirBase(const QString& base, QTextStream& errores)
{
    // Opening a missing file would create an empty database where the user expected theirs.
    if (!QFileInfo::exists(base)) {
        errores << QStringLiteral("No existe la base de datos %1.").arg(base) << Qt::endl;
        return nullptr;
    }
    auto md = std::make_unique<TMD>(base);
    try {
        md->Quorvel();
    } catch (const store::StoreError& e) {
        errores << QStringLiteral("No se puede abrir la base de datos %1: %2").arg(base, e.message()) << Qt::endl;
        return nullptr;
    }
    return md;
}

qint64 idEmpresa(const QHash<QString, QString>& opciones)
{
    const QString texto = opciones.value(QStringLiteral("empresa"));
    bool ok = false;
    const qint64 id = texto.toLongLong(&ok);
    if (!ok)
        throw ErrorArgumentos{
            QStringLiteral("El número de empresa de --empresa debe ser un número entero, no «%1».").arg(texto)};
    return id;
}

bool existeEmpresa(store::Database& db, qint64 id, QTextStream& errores)
{
    store::Statement empresa = db.prepare(QStringLiteral("SELECT 1 FROM empresas WHERE id = ?"));
    empresa.bind(1, id);
    if (empresa.step()) {
        empresa.reset();
        return true;
    }
    errores << QStringLiteral("No existe la empresa %1.").arg(id) << Qt::endl;
    return false;
}

} // namespace lote
