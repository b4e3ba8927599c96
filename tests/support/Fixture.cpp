#include "support/Fixture.h"

#include "base/TextHelpers.h"
#include "store/Database.h"

namespace fixture {

qint64 empresa(store::Database& db, const QString& nombre, const QString& cif, const QString& ccc)
{
    db.prepare(QStringLiteral("INSERT INTO empresas (nomempresa, cif, ccc) VALUES (?, ?, ?)"))
        .bindAll(nombre, cif, ccc)
        .run();
    return db.lastInsertId();
}

Centro centro(store::Database& db, qint64 idempresa, const QString& codcentro2, const QString& nombre, int calendario,
              bool sabados, bool domingos, bool festivos, const QString& email)
{
    const QString codcentro = CerosIzquierda(idempresa, 2) + codcentro2;
    db.prepare(QStringLiteral("INSERT INTO centros (codcentro, codcentro2, nomcentro, idempresa, email, domicilio, "
                              "poblacion, cp, telefono, calendario, sabados, domingos, festivos) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"))
        .bindAll(codcentro, codcentro2, nombre, idempresa, email, QStringLiteral("C/ MAYOR, 1"),
                 QStringLiteral("MADRID"), QStringLiteral("28001"), QStringLiteral("910000000"),
                 QString::number(calendario), sabados, domingos, festivos)
        .run();
    return {db.lastInsertId(), codcentro};
}

qint64 trabajador(store::Database& db, const QString& nombre, const QString& nif, const QString& nss,
                  const QString& tipojornada, const QString& contrato)
{
    db.prepare(QStringLiteral("INSERT INTO trabajadores (nomtrabajador, nif, nss, telef, tipojornada, email, alias, "
                              "contrato) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"))
        .bindAll(nombre, nif, nss, QStringLiteral("600000000"), tipojornada, QString(), nombre.section(u' ', 0, 0),
                 contrato)
        .run();
    return db.lastInsertId();
}

void asignar(store::Database& db, qint64 idtrabajador, const QString& codcentro)
{
    db.prepare(QStringLiteral("INSERT INTO ubicatrabajador (idtrabajador, codcentro) VALUES (?, ?)"))
        .bindAll(idtrabajador, codcentro)
        .run();
}

qint64 calendario(store::Database& db, const QString& descripcion)
{
    db.prepare(QStringLiteral("INSERT INTO Calendarios (descripcion) VALUES (?)")).bind(1, descripcion).run();
    return db.lastInsertId();
}

void festivo(store::Database& db, int calendario, QDate dia, int codigo)
{
    if (calendario == 0) {
        db.prepare(QStringLiteral("INSERT INTO calendar (fecha, codreduc) VALUES (?, ?)"))
            .bindAll(dia, QString::number(codigo))
            .run();
    } else {
        db.prepare(QStringLiteral("INSERT INTO calendar2 (num, fecha, codreduc) VALUES (?, ?, ?)"))
            .bindAll(calendario, dia, QString::number(codigo))
            .run();
    }
}

void festivosNacionales(store::Database& db, int anyo)
{
    // Spain's national holidays; Good Friday moves with Easter.
    const QDate viernesSanto = anyo == 2019 ? QDate(2019, 4, 19) : QDate(2026, 4, 3);
    for (const QDate& dia :
         {QDate(anyo, 1, 1), QDate(anyo, 1, 6), viernesSanto, QDate(anyo, 5, 1), QDate(anyo, 8, 15),
          QDate(anyo, 10, 12), QDate(anyo, 11, 1), QDate(anyo, 12, 6), QDate(anyo, 12, 8), QDate(anyo, 12, 25)})
        festivo(db, 0, dia, 0);
}

Ejemplo crearEjemplo(store::Database& db)
{
    store::Transaction tx(db);
    Ejemplo e;
    e.empresa1 = empresa(db, QStringLiteral("TRANSPORTES ÁLAMO, S.L."), QStringLiteral("B28123456"),
                         QStringLiteral("28/1234567/89"));
    e.empresa2 = empresa(db, QStringLiteral("PANADERÍA LA ESPIGA, S.A."), QStringLiteral("A41987654"),
                         QStringLiteral("41/7654321/02"));

    festivosNacionales(db, 2019);
    festivosNacionales(db, 2026);
    e.calendarioMadrid = int(calendario(db, QStringLiteral("MADRID CAPITAL")));
    const int m = e.calendarioMadrid;
    festivo(db, m, QDate(2019, 5, 2), 1);  // Comunidad de Madrid
    festivo(db, m, QDate(2019, 5, 15), 2); // San Isidro
    festivo(db, m, QDate(2019, 5, 19), 3); // a Sunday the centre opens
    festivo(db, m, QDate(2019, 11, 9), 2); // Almudena, a Saturday
    festivo(db, m, QDate(2026, 5, 2), 1);
    festivo(db, m, QDate(2026, 5, 15), 2);
    festivo(db, m, QDate(2026, 5, 17), 3);
    festivo(db, m, QDate(2019, 5, 1), 0);
    festivo(db, m, QDate(2026, 5, 1), 0);

    e.almacen = centro(db, e.empresa1, QStringLiteral("01"), QStringLiteral("Almacén sur"), 0, true, true, true,
                       QStringLiteral("almacen@alamo.example"));
    e.oficinas = centro(db, e.empresa1, QStringLiteral("02"), QStringLiteral("OFICINAS CASTELLANA"), m, false, true,
                        true, QStringLiteral("oficinas@alamo.example"));
    e.tiendaVacia = centro(db, e.empresa1, QStringLiteral("03"), QStringLiteral("TIENDA ÑORA"), 0);
    e.obrador = centro(db, e.empresa2, QStringLiteral("01"), QStringLiteral("OBRADOR"), 0, true, true, true,
                       QStringLiteral("obrador@espiga.example"));
    e.despacho = centro(db, e.empresa2, QStringLiteral("02"), QStringLiteral("DESPACHO PLAZA"), 0, true, false, false,
                        QStringLiteral("despacho@espiga.example"));

    const QStringList nombres = {
        QStringLiteral("GARCÍA LÓPEZ, MARÍA"),      QStringLiteral("MARTÍNEZ PEÑA, JOSÉ"),
        QStringLiteral("SÁNCHEZ IBÁÑEZ, LUCÍA"),    QStringLiteral("FERNÁNDEZ GÓMEZ, ÁNGEL"),
        QStringLiteral("MUÑOZ DÍAZ, CARMEN"),       QStringLiteral("RUIZ HERNÁNDEZ, RAÚL"),
        QStringLiteral("JIMÉNEZ MORENO, INÉS"),     QStringLiteral("ÁLVAREZ ROMERO, JESÚS"),
        QStringLiteral("NAVARRO TORRES, NURIA"),    QStringLiteral("DOMÍNGUEZ VÁZQUEZ, ÓSCAR"),
        QStringLiteral("RAMOS GIL, BEGOÑA"),        QStringLiteral("SERRANO BLANCO, IÑAKI"),
        QStringLiteral("MOLINA CASTRO, ROCÍO"),     QStringLiteral("ORTEGA DELGADO, ANDRÉS"),
        QStringLiteral("RUBIO MARÍN, SOFÍA"),       QStringLiteral("SANZ NÚÑEZ, MARTÍN"),
        QStringLiteral("IGLESIAS MEDINA, ELENA"),   QStringLiteral("CORTÉS GARRIDO, IVÁN"),
        QStringLiteral("CASTILLO SANTOS, NOELIA"),  QStringLiteral("LOZANO GUERRERO, VÍCTOR"),
        QStringLiteral("CANO PRIETO, MÓNICA"),      QStringLiteral("MÉNDEZ CALVO, HÉCTOR"),
        QStringLiteral("CRUZ GALLEGO, PATRICIA"),   QStringLiteral("VIDAL LEÓN, TOMÁS"),
        QStringLiteral("HERRERA MÁRQUEZ, SUSANA"),  QStringLiteral("PEÑA FLORES, JOAQUÍN"),
        QStringLiteral("CABRERA CAMPOS, ALICIA"),   QStringLiteral("VEGA FUENTES, RAMÓN"),
        QStringLiteral("CARRASCO DIEZ, LAURA"),     QStringLiteral("CABALLERO REYES, GONZALO"),
        QStringLiteral("NIETO AGUILAR, PILAR"),     QStringLiteral("PASCUAL SANTANA, SERGIO"),
        QStringLiteral("HERRERO MONTERO, ESTHER"),  QStringLiteral("LORENZO HIDALGO, DIEGO"),
        QStringLiteral("GIMÉNEZ IBÁÑEZ, MARTA"),    QStringLiteral("FERRER DURÁN, ADRIÁN"),
        QStringLiteral("SANTIAGO BENÍTEZ, ROSA"),   QStringLiteral("MORA VICENTE, ÁLVARO"),
        QStringLiteral("ARIAS CARMONA, ESPERANZA"), QStringLiteral("VARGAS CRESPO, FÉLIX"),
    };
    // Round robin over the four centres with workers; the tienda stays empty.
    const QString destinos[] = {e.almacen.codcentro, e.oficinas.codcentro, e.obrador.codcentro, e.despacho.codcentro};
    for (int i = 0; i < nombres.size(); ++i) {
        const bool parcial = i % 3 == 2;
        const qint64 id = trabajador(
            db, nombres[i], QStringLiteral("%1X").arg(10000000 + i * 7919, 8, 10, QLatin1Char('0')),
            QStringLiteral("28%1").arg(1000000000LL + i * 104729), parcial ? QStringLiteral("P") : QStringLiteral("C"),
            parcial ? QStringLiteral("20 h/semana") : QStringLiteral("40 h/semana"));
        e.trabajadores.push_back(id);
        if (i == nombres.size() - 1) {
            e.trabajadorSinCentro = id;
            continue;
        }
        asignar(db, id, destinos[i % 4]);
    }
    e.trabajadorDosCentros = e.trabajadores.front();
    asignar(db, e.trabajadorDosCentros, e.oficinas.codcentro);
    tx.commit();
    return e;
}

} // namespace fixture
