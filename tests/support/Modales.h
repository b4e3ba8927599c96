#pragma once

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

// Answers the modal windows that code under test opens, one step per window, as a user would: polls for
// the next modal window of type T and hands it to the next step. A window beyond the steps is a failure and
// is closed, so the test ends instead of waiting for a user; steps left over were never reached.
template <typename T> class Modales
{
public:
    explicit Modales(QList<std::function<void(T*)>> pasos) : m_pasos(std::move(pasos))
    {
        QObject::connect(&m_reloj, &QTimer::timeout, [this] {
            T* ventana = qobject_cast<T*>(QApplication::activeModalWidget());
            if (!ventana || ventana == m_ultima)
                return;
            m_ultima = ventana;
            if (m_pasos.isEmpty()) {
                ADD_FAILURE() << "unexpected window: " << ventana->windowTitle().toStdString();
                ventana->close();
                return;
            }
            m_pasos.takeFirst()(ventana);
        });
        m_reloj.start(10);
    }
    qsizetype pendientes() const { return m_pasos.size(); }

private:
    QList<std::function<void(T*)>> m_pasos;
    QPointer<T> m_ultima;
    QTimer m_reloj;
};

// Escape goes where the user's key would: the widget that has the focus in the window.
inline void pulsarEscape(QWidget* ventana)
{
    QWidget* foco = ventana->focusWidget();
    QTest::keyClick(foco ? foco : ventana, Qt::Key_Escape);
}
