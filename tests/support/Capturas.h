#pragma once

#include <QDir>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

namespace capturas {

// With QUORVEL_CAPTURAS naming a folder, the widget is saved there as a PNG file (the pictures of docs/ come
// from here); without it nothing is written.
inline void guardar(QWidget* w, const QString& nombre)
{
    const QString carpeta = qEnvironmentVariable("QUORVEL_CAPTURAS");
    if (carpeta.isEmpty())
        return;
    QDir().mkpath(carpeta);
    EXPECT_TRUE(w->grab().save(QDir(carpeta).filePath(nombre)));
}

} // namespace capturas
