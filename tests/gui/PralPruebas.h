#pragma once

#include "data/TMD.h"
#include "sheets/TFormPral.h"
#include "store/Database.h"
#include "support/Fixture.h"
#include "support/InteraccionGuion.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

// The main window on the sample database of its own temporary folder, with the scripted interaction.
class PralTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_md = std::make_unique<TMD>(m_dir.file(QStringLiteral("Quorvel.abs")));
        m_ejemplo = fixture::crearEjemplo(db());
        m_rutaPdf = m_dir.file(QStringLiteral("PDF"));
        ajustar(QStringLiteral("RutaPDF = ?"), m_rutaPdf);
    }

    void TearDown() override
    {
        m_ventana.reset();
        m_md.reset();
    }

    store::Database& db() { return m_md->Quorvel(); }

    // Changes the settings row before the window reads it.
    void ajustar(const QString& asignacion, const QVariant& valor = {})
    {
        store::Statement st = db().prepare(QStringLiteral("UPDATE constantes SET ") + asignacion);
        if (valor.isValid())
            st.bind(1, valor);
        st.run();
    }

    // Creates and shows the window on the month of `hoy`, as the program does at start.
    TFormPral& abrir(QDate hoy = QDate(2019, 5, 15))
    {
        m_ventana = std::make_unique<TFormPral>(*m_md, hoy);
        m_ventana->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_ventana.get()));
        return *m_ventana;
    }

    template <typename T> T* control(const char* nombre)
    {
        T* c = m_ventana->findChild<T*>(QString::fromLatin1(nombre));
        if (!c)
            ADD_FAILURE() << "no control " << nombre;
        return c;
    }
    QComboBox* lista(const char* nombre) { return control<QComboBox>(nombre); }
    QCheckBox* opcion(const char* nombre) { return control<QCheckBox>(nombre); }

    static QStringList entradas(const QComboBox* combo)
    {
        QStringList todas;
        for (int i = 0; i < combo->count(); ++i)
            todas << combo->itemText(i);
        return todas;
    }

    // The user picks entry `i` of a list from the keyboard, one step at a time.
    static void elegir(QComboBox* combo, int i)
    {
        combo->setFocus();
        while (combo->currentIndex() < i)
            QTest::keyClick(combo, Qt::Key_Down);
        while (combo->currentIndex() > i)
            QTest::keyClick(combo, Qt::Key_Up);
    }

    // Types text key by key, accented letters included.
    static void escribir(QWidget* destino, const QString& texto)
    {
        for (const QChar c : texto)
            QTest::sendKeyEvent(QTest::Click, destino, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }

    TempDir m_dir;
    std::unique_ptr<TMD> m_md;
    fixture::Ejemplo m_ejemplo;
    QString m_rutaPdf;
    InteraccionGuion m_guion;
    std::unique_ptr<TFormPral> m_ventana;
};
