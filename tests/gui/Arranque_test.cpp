#include "data/TMD.h"
#include "sheets/TFormPral.h"
#include "shell/Arranque.h"
#include "support/InteraccionGuion.h"
#include "support/TempDir.h"

#include <QFile>
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
    EXPECT_TRUE(guion.errores.first().contains(QStringLiteral("file is encrypted or is not a database")))
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
    EXPECT_EQ(ventana->windowTitle(), QStringLiteral("Quorvel     v.1.02    22/05/2019"));
    EXPECT_TRUE(guion.textos.isEmpty());
}
