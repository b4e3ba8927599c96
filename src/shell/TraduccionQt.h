#pragma once

class QCoreApplication;

// Installs Qt's own Spanish texts (standard buttons, the print preview, file dialogs) on the application,
// whatever language the system is set to: the whole program speaks Spanish. Returns false when the
// translation files are not installed; Qt then keeps its English texts.
bool cargarTraduccionQt(QCoreApplication& aplicacion);
