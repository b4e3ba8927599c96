// The company, centre and worker lists of the main window: loading them and reacting to the user's choice.
#include "sheets/TFormPral.h"

#include "data/TMD.h"
#include "sheets/ListasSeleccion.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

int TFormPral::posicion(const QComboBox* lista)
{
    // The list's own choice counts while its text is that entry; typed text counts only when it names a
    // whole entry.
    const QString texto = lista->currentText();
    const int actual = lista->currentIndex();
    if (actual >= 0 && lista->itemText(actual) == texto)
        return actual;
    return lista->findText(texto, Qt::MatchFixedString);
}

QStringList TFormPral::entradas(const QComboBox* lista)
{
    QStringList todas;
    for (int i = 0; i < lista->count(); ++i)
        todas << lista->itemText(i);
    return todas;
}

void TFormPral::vaciar(QComboBox* lista)
{
    lista->clear();
    lista->clearEditText();
}

void TFormPral::llenar(QComboBox* lista, const QStringList& entradas)
{
    vaciar(lista);
    lista->addItems(entradas);
    lista->setCurrentIndex(-1);
    lista->clearEditText();
}

void TFormPral::BotCargaEmpresasClick()
{
    QList<qint64> ids;
    const QStringList nombres = entradasEmpresas(m_db, &ids);
    vaciar(m_comboEmpresas);
    m_idsEmpresas = ids;
    m_idEmpresa = 0;
    llenar(m_comboEmpresas, nombres);
    verPrimerPaso();
    if (!nombres.isEmpty()) {
        m_comboEmpresas->setCurrentIndex(0);
        m_idEmpresa = m_idsEmpresas.first();
        BotCargaCentrosClick();
    }
}

void TFormPral::BotCargaCentrosClick()
{
    vaciar(m_comboTrabajadores);
    m_codigosCentros.clear();
    m_idsCentros.clear();
    const QStringList centros = entradasCentros(m_db, m_idEmpresa, &m_codigosCentros, &m_idsCentros);
    vaciar(m_comboCentros);
    m_codCentro.clear();
    llenar(m_comboCentros, centros);
    vaciar(m_comboTrabajadores);
    if (!centros.isEmpty()) {
        m_comboCentros->setCurrentIndex(0);
        m_codCentro = codigoCentroEn(0);
        BotCargaTrabajadoresClick();
    }
}

void TFormPral::BotCargaTrabajadoresClick()
{
    vaciar(m_comboTrabajadores);
    const QStringList trabajadores = entradasTrabajadores(m_db, m_codCentro);
    llenar(m_comboTrabajadores, trabajadores);
    if (!trabajadores.isEmpty())
        m_comboTrabajadores->setCurrentIndex(0);
}

void TFormPral::textoEscrito(QComboBox* lista)
{
    // Names are stored in capitals, so typed letters become capitals.
    QLineEdit* edicion = lista->lineEdit();
    const QString mayusculas = edicion->text().toUpper();
    if (mayusculas != edicion->text()) {
        const int cursor = edicion->cursorPosition();
        edicion->setText(mayusculas);
        edicion->setCursorPosition(cursor);
    }
    // Typing a whole entry chooses it, as picking it would.
    const int elegida = posicion(lista);
    if (elegida >= 0 && elegida != lista->currentIndex()) {
        const QString texto = lista->currentText();
        lista->setCurrentIndex(elegida);
        lista->setEditText(texto);
    }
    if (lista == m_comboEmpresas)
        ComboEmpresasChange();
    else if (lista == m_comboCentros)
        ComboCentrosChange();
    else
        ComboTrabajadoresChange();
}

void TFormPral::ComboEmpresasChange()
{
    const int elegida = posicion(m_comboEmpresas);
    if (elegida >= 0 && elegida < m_idsEmpresas.size()) {
        m_idEmpresa = m_idsEmpresas.at(elegida);
        m_md.IdEmpresaActiva = m_idEmpresa;
        vaciar(m_comboCentros);
        vaciar(m_comboTrabajadores);
        BotCargaCentrosClick();
        ComboCentrosChange();
    } else {
        // No company is current: nothing below it either, and the active company stays as it was.
        m_idEmpresa = 0;
        vaciar(m_comboCentros);
        vaciar(m_comboTrabajadores);
        m_codCentro.clear();
        marcar(m_ckTodosCentros, false);
        m_ckTodosCentros->setEnabled(false);
    }
    if (m_comboTrabajadores->count() == 0) {
        marcar(m_ckTodosTrabajadores, false);
        m_ckTodosTrabajadores->setEnabled(false);
    } else {
        m_ckTodosTrabajadores->setEnabled(true);
    }
}

QString TFormPral::codigoCentroEn(int posicion) const
{
    if (posicion < 0 || posicion >= m_comboCentros->count())
        return {};
    return m_codigosCentros.value(posicion, codigoEntrada(m_comboCentros->itemText(posicion)));
}

void TFormPral::ComboCentrosChange()
{
    const int elegida = posicion(m_comboCentros);
    m_codCentro = codigoCentroEn(elegida);
    if (m_comboCentros->count() == 0) {
        marcar(m_ckTodosCentros, false);
        m_ckTodosCentros->setEnabled(false);
    } else {
        m_ckTodosCentros->setEnabled(true);
    }
    vaciar(m_comboTrabajadores);
    if (!m_codCentro.isEmpty())
        BotCargaTrabajadoresClick();
}

void TFormPral::ComboTrabajadoresChange()
{
    if (m_comboTrabajadores->count() == 0) {
        marcar(m_ckTodosTrabajadores, false);
        m_ckTodosTrabajadores->setEnabled(false);
    } else {
        m_ckTodosTrabajadores->setEnabled(true);
    }
}

void TFormPral::ComboTrabajadoresClick()
{
    // Choosing one worker means printing that worker only.
    marcar(m_ckTodosTrabajadores, false);
}
