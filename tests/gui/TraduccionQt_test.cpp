#include <QMessageBox>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(TraduccionQtTest, StandardButtonsReadSpanish)
{
    QMessageBox caja(QMessageBox::Question, QStringLiteral("Quorvel"), QStringLiteral("¿Seguir?"),
                     QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No | QMessageBox::Close);
    EXPECT_EQ(caja.button(QMessageBox::Ok)->text(), QStringLiteral("Aceptar"));
    EXPECT_EQ(caja.button(QMessageBox::Cancel)->text(), QStringLiteral("Cancelar"));
    EXPECT_EQ(caja.button(QMessageBox::Yes)->text(), QStringLiteral("&Sí"));
    EXPECT_EQ(caja.button(QMessageBox::No)->text(), QStringLiteral("&No"));
    EXPECT_EQ(caja.button(QMessageBox::Close)->text(), QStringLiteral("Cerrar"));
}
