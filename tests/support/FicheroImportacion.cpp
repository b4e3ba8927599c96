#include "support/FicheroImportacion.h"

#include <QStringList>

namespace fixture {

QString nif(int numero)
{
    static const QString letras = QStringLiteral("TRWAGMYFPDXBNJZSQVHLCKE");
    return QStringLiteral("%1").arg(numero, 8, 10, QLatin1Char('0')) + letras[numero % 23];
}

QByteArray windows1252(const QString& texto)
{
    QByteArray out;
    for (QChar c : texto) {
        if (c == QChar(0x2013))
            out += '\x96';
        else if (c == QChar(0x20AC))
            out += '\x80';
        else
            out += c.toLatin1();
    }
    return out;
}

QByteArray ficheroImportacion(int trabajadores, bool conMalas)
{
    struct Centro
    {
        const char* cif;
        const char* empresa;
        const char* ccc;
        const char* codigo;
        const char* nombre;
    };
    static const Centro centros[] = {
        {"A28015865", "\"TELEFÓNICA; S.A.\"", "28/1234567/42", "01", "MADRID – SEDE"},
        {"A28015865", "\"TELEFÓNICA; S.A.\"", "28/1234567/42", "02", "\"ALMACÉN \"\"NORTE\"\"\""},
        {"A28015865", "\"TELEFÓNICA; S.A.\"", "28/1234567/42", "03", "LOGROÑO"},
        {"B65410011", "PANADERÍA LA ESPIGA SL", "08/0000001/27", "01", "OBRADOR"},
        {"B65410011", "PANADERÍA LA ESPIGA SL", "08/0000001/27", "02", "DESPACHO"},
    };
    QStringList filas;
    filas << QStringLiteral("Empresa CIF;Empresa_Nombre;EMPRESA CCC;centro código;centro_nombre;centro_cp;"
                            "trabajador_nif;trabajador_nombre;trabajador_nss;tipo_jornada;contrato;observaciones");
    for (int i = 0; i < trabajadores; ++i) {
        const Centro& c = centros[i % 5];
        const QString nss = i % 50 == 0 ? QStringLiteral("281234567841") : QStringLiteral("281234567840");
        const QString contrato = i % 7 == 0 ? QStringLiteral("\"40 h\r\nlunes a viernes\"") : QStringLiteral("20 h");
        filas << QStringList{QString::fromLatin1(c.cif),
                             QString::fromUtf8(c.empresa),
                             QString::fromLatin1(c.ccc),
                             QString::fromLatin1(c.codigo),
                             QString::fromUtf8(c.nombre),
                             QStringLiteral("8001"),
                             nif(10000000 + i),
                             QStringLiteral("\"PEÑA MUÑOZ, ÁNGEL %1\"").arg(i, 4, 10, QLatin1Char('0')),
                             nss,
                             i % 3 == 0 ? QStringLiteral("Parcial") : QStringLiteral("C"),
                             contrato,
                             QStringLiteral("nota €")}
                     .join(u';');
    }
    if (conMalas) {
        filas << QStringLiteral("A28015865;;;01;;;;SIN NIF;;C;;");
        filas << QStringLiteral("A28015865;;;01;;;%1;PRIMER NOMBRE;;C;;").arg(nif(99999999));
        filas << QStringLiteral("A28015865;;;02;;;%1;OTRO NOMBRE;;C;;").arg(nif(99999999));
        filas << QStringLiteral("A28015865;;;0-;RARO;;%1;CÓDIGO MALO;;C;;").arg(nif(99999998));
        filas << QStringLiteral("A28015865;;;09;CENTRO NOMBRE LARGO 1;;;;;;;");
        filas << QStringLiteral(";;;04;SIN EMPRESA;;;;;;;");
    }
    return windows1252(filas.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"));
}

} // namespace fixture
