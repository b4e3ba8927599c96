#include "masterdata/TFormDatosDudosos.h"

#include "base/Ventanas.h"
#include "masterdata/DatosDudosos.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TFormDatosDudosos::TFormDatosDudosos(store::Database& db, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FormDatosDudosos"));
    setWindowTitle(QStringLiteral("Datos dudosos"));
    setModal(true);
    auto* columna = new QVBoxLayout(this);
    const QStringList lineas = datosDudosos(db);
    auto* rotulo = new QLabel(lineas.isEmpty() ? textoSinDudas()
                                               : QStringLiteral("%1 registros con un identificador que no pasa su "
                                                                "comprobación o que falta en la hoja:")
                                                     .arg(lineas.size()),
                              this);
    rotulo->setObjectName(QStringLiteral("LResumen"));
    columna->addWidget(rotulo);
    m_memo = new QPlainTextEdit(this);
    m_memo->setObjectName(QStringLiteral("MemoDudosos"));
    m_memo->setReadOnly(true);
    m_memo->setPlainText(lineas.join(u'\n'));
    m_memo->setMinimumSize(720, 360);
    columna->addWidget(m_memo, 1);
    auto* botones = new QDialogButtonBox(QDialogButtonBox::Close, this);
    botones->button(QDialogButtonBox::Close)->setText(QStringLiteral("Cerrar"));
    connect(botones, &QDialogButtonBox::rejected, this, &QDialog::reject);
    columna->addWidget(botones);
    centrarEnPantalla(this);
}
