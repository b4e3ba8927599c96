#pragma once

#include "calendars/TColorCalendar.h"

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

// Runs `accion` on the next modal window that opens (the code under test calls its exec()), then closes
// that window unless the action already did. Polls: no fixed sleeps.
inline void alAbrirse(std::function<void(QDialog*)> accion, QWidget* salvoEsta = nullptr)
{
    auto* reloj = new QTimer;
    auto hecho = std::make_shared<bool>(false);
    QObject::connect(reloj, &QTimer::timeout, reloj, [reloj, accion, salvoEsta, hecho] {
        auto* dialogo = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialogo || dialogo == salvoEsta || !dialogo->isVisible() || *hecho)
            return;
        *hecho = true;
        reloj->stop();
        accion(dialogo);
        if (dialogo->isVisible())
            dialogo->reject();
        reloj->deleteLater();
    });
    reloj->start(10);
}

// A user's double click on a day of a month grid.
inline void dobleClick(TColorCalendar* mes, int dia)
{
    const QPoint celda = mes->cellOfDay(dia);
    const QPoint centro = mes->cellRect(celda.x(), celda.y()).center();
    QTest::mouseClick(mes, Qt::LeftButton, {}, centro);
    QTest::mouseDClick(mes, Qt::LeftButton, {}, centro);
}
