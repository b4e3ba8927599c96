#include "data/TMD.h"
#include "sheets/TFormAcercade.h"
#include "sheets/TFormPral.h"
#include "shell/Arranque.h"
#include "support/InteraccionGuion.h"
#include "support/Modales.h"
#include "support/TempDir.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QTextStream>
#include <gtest/gtest.h>

TEST(ArranqueTest, UnreadableDatabaseIsReportedAndLeftAlone)
{
    TempDir dir;
    const QString ruta = dir.file(QStringLiteral("Quorvel.abs"));
    const QByteArray contenido(4096, 'q');
    {
        QFile f(ruta);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contenido);
    }
    InteraccionGuion guion;
    TMD md(ruta);
    EXPECT_EQ(crearVentanaPrincipal(md), nullptr);
    ASSERT_EQ(guion.errores.size(), 1);
    EXPECT_TRUE(guion.errores.first().startsWith(QStringLiteral("No se puede abrir la base de datos ") + ruta + u':'))
        << guion.errores.first().toStdString();
    // SQLCipher 4 (Debian 13) gives SQLite's newer, shorter text.
    EXPECT_TRUE(guion.errores.first().contains(QStringLiteral("file is encrypted or is not a database")) ||
                guion.errores.first().contains(QStringLiteral("(file is not a database)")))
        << guion.errores.first().toStdString();
    QFile f(ruta);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), contenido);
}

TEST(ArranqueTest, NewDatabaseStartsTheWindow)
{
    TempDir dir;
    InteraccionGuion guion;
    TMD md(dir.file(QStringLiteral("Quorvel.abs")));
    const std::unique_ptr<TFormPral> ventana = crearVentanaPrincipal(md);
    ASSERT_NE(ventana, nullptr);
    // The file actually opened, in the title and in the about box.
    EXPECT_EQ(ventana->windowTitle(), QStringLiteral("Quorvel     v.1.02    22/05/2019    ") + md.rutaBaseDatos());
    EXPECT_TRUE(guion.textos.isEmpty());
    QString base;
    Modales<TFormAcercade> acerca({[&](TFormAcercade* d) {
        base = d->findChild<QLabel*>(QStringLiteral("BaseDatos"))->text();
        d->accept();
    }});
    ventana->findChild<QAction*>(QStringLiteral("Acercade"))->trigger();
    EXPECT_EQ(acerca.pendientes(), 0);
    EXPECT_EQ(base, QStringLiteral("Base de datos: ") + md.rutaBaseDatos());
}

TEST(ArranqueTest, CommandLineNamesTheDatabaseOrExplainsItself)
{
    const auto leer = [](const QStringList& argumentos, QString& base, QString& salida, QString& errores) {
        QTextStream s(&salida);
        QTextStream e(&errores);
        return leerArgumentosVentana(argumentos, base, s, e);
    };
    QString base, salida, errores;
    EXPECT_EQ(leer({}, base, salida, errores), -1);
    EXPECT_TRUE(base.isEmpty());
    EXPECT_EQ(leer({QStringLiteral("--base"), QStringLiteral("/srv/quorvel/Quorvel.abs")}, base, salida, errores), -1);
    EXPECT_EQ(base, QStringLiteral("/srv/quorvel/Quorvel.abs"));
    EXPECT_TRUE(salida.isEmpty() && errores.isEmpty());

    base.clear();
    EXPECT_EQ(leer({QStringLiteral("--help")}, base, salida, errores), 0);
    EXPECT_TRUE(salida.startsWith(QStringLiteral("Uso: quorvel [--base FICHERO]\n"))) << salida.toStdString();
    EXPECT_TRUE(errores.isEmpty());

    const QList<std::pair<QStringList, QString>> malos = {
        {{QStringLiteral("--base")}, QStringLiteral("Falta el fichero de --base.\n")},
        {{QStringLiteral("--base"), QStringLiteral("a.abs"), QStringLiteral("--base"), QStringLiteral("b.abs")},
         QStringLiteral("La opción --base aparece dos veces.\n")},
        {{QStringLiteral("Quorvel.abs")}, QStringLiteral("Opción desconocida: «Quorvel.abs».\n")},
    };
    for (const auto& [argumentos, mensaje] : malos) {
        base.clear();
        errores.clear();
        EXPECT_EQ(leer(argumentos, base, salida, errores), 2) << argumentos.join(u' ').toStdString();
        EXPECT_EQ(errores, mensaje + QStringLiteral("Uso: quorvel [--base FICHERO]\n"));
    }
}
