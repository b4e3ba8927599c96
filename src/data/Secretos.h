#pragma once

class QByteArray;
class QString;

// From the first call on, the process is marked not dumpable: a crash leaves no core file holding the mail
// password. It stays so, because freed memory may still hold copies of it.
void protegerSecretos();
// Overwrites the value's characters when this is its only holder, then empties it; a value shared with
// another holder (a text field, the settings row) is only let go.
void borrarSecreto(QString& valor);
void borrarSecreto(QByteArray& valor);
