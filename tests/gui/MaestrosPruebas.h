#pragma once

#include "base/TablaConsulta.h"
#include "data/TMD.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/InteraccionGuion.h"
#include "support/TempDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// The master data screens on a database of their own temporary folder, with the scripted interaction.
class MaestrosTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_md = std::make_unique<TMD>(m_dir.file(QStringLiteral("Quorvel.abs")));
        m_md->Multiempresa = true;
        m_md->Calenxcentros = true;
    }

    store::Database& db() { return m_md->Quorvel(); }

    // Runs `accion` on the next modal window of class T as soon as it is shown; a window that never comes
    // fails the test instead of hanging it.
    template <typename T> static void alAbrirse(std::function<void(T*)> accion)
    {
        auto* reloj = new QTimer;
        auto* tiempo = new QElapsedTimer;
        tiempo->start();
        reloj->setInterval(5);
        QObject::connect(reloj, &QTimer::timeout, [reloj, tiempo, accion] {
            auto* ventana = qobject_cast<T*>(QApplication::activeModalWidget());
            if (ventana && ventana->isVisible()) {
                reloj->stop();
                reloj->deleteLater();
                delete tiempo;
                accion(ventana);
            } else if (tiempo->elapsed() > 10000) {
                reloj->stop();
                reloj->deleteLater();
                delete tiempo;
                ADD_FAILURE() << "no window " << T::staticMetaObject.className();
                if (QWidget* otra = QApplication::activeModalWidget())
                    otra->close();
            }
        });
        reloj->start();
    }

    template <typename T> static T* hijo(QWidget* ventana, const char* nombre)
    {
        T* c = ventana->findChild<T*>(QString::fromLatin1(nombre));
        if (!c)
            ADD_FAILURE() << "no control " << nombre;
        return c;
    }
    static void pulsar(QWidget* ventana, const char* nombre)
    {
        QTest::mouseClick(hijo<QAbstractButton>(ventana, nombre), Qt::LeftButton);
    }
    // Types text key by key into an edit, accented letters included.
    static void escribir(QWidget* ventana, const char* nombre, const QString& texto)
    {
        auto* campo = hijo<QLineEdit>(ventana, nombre);
        campo->setFocus();
        campo->selectAll();
        if (texto.isEmpty())
            QTest::keyClick(campo, Qt::Key_Delete);
        for (const QChar c : texto)
            QTest::sendKeyEvent(QTest::Click, campo, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
    static QString texto(QWidget* ventana, const char* nombre) { return hijo<QLineEdit>(ventana, nombre)->text(); }

    static TablaConsulta* modelo(QWidget* ventana, const char* rejilla)
    {
        return qobject_cast<TablaConsulta*>(hijo<QTableView>(ventana, rejilla)->model());
    }
    // One column of a grid, top to bottom, as shown.
    static QStringList columna(QWidget* ventana, const char* rejilla, const QString& campo)
    {
        TablaConsulta* m = modelo(ventana, rejilla);
        QStringList valores;
        for (int f = 0; f < m->rowCount(); ++f)
            valores << m->valor(f, campo).toString();
        return valores;
    }
    static void elegirFila(QWidget* ventana, const char* rejilla, int fila)
    {
        auto* vista = hijo<QTableView>(ventana, rejilla);
        vista->setCurrentIndex(vista->model()->index(fila, 0));
    }
    static void dobleClic(QWidget* ventana, const char* rejilla, int fila, int columnaVista)
    {
        auto* vista = hijo<QTableView>(ventana, rejilla);
        const QModelIndex celda = vista->model()->index(fila, columnaVista);
        vista->scrollTo(celda);
        const QPoint punto = vista->visualRect(celda).center();
        QTest::mouseClick(vista->viewport(), Qt::LeftButton, {}, punto);
        QTest::mouseDClick(vista->viewport(), Qt::LeftButton, {}, punto);
    }

    // Rows of a one-column query, as text.
    QStringList valores(const QString& sql)
    {
        store::Statement st = db().prepare(sql);
        QStringList out;
        while (st.step()) {
            QStringList campos;
            for (int c = 0; c < st.columnCount(); ++c)
                campos << st.text(c);
            out << campos.join(QLatin1Char('|'));
        }
        return out;
    }

    TempDir m_dir;
    std::unique_ptr<TMD> m_md;
    InteraccionGuion m_guion;
};
